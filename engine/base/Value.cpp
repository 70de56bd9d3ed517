#include "engine/base/Value.h"

#include <cstdlib>
#include <iomanip>
#include <sstream>

namespace engine {

const Value Value::Null;

double Value::asDouble() const {
    switch (getType()) {
        case Type::NONE:
            return 0.0;
        case Type::INTEGER:
            return std::get<int>(m_value);
        case Type::FLOAT:
            return std::get<float>(m_value);
        case Type::DOUBLE:
            return std::get<double>(m_value);
        case Type::BOOLEAN:
            return std::get<bool>(m_value) ? 1.0 : 0.0;
        case Type::STRING:
            return std::strtod(std::get<std::string>(m_value).c_str(), nullptr);
    }
    return 0.0;
}

int Value::asInt() const {
    switch (getType()) {
        case Type::INTEGER:
            return std::get<int>(m_value);
        case Type::STRING:
            return static_cast<int>(
                std::strtol(std::get<std::string>(m_value).c_str(), nullptr, 10));
        default:
            return static_cast<int>(asDouble());
    }
}

float Value::asFloat() const {
    return static_cast<float>(asDouble());
}

bool Value::asBool() const {
    if (getType() == Type::STRING) {
        const std::string& s = std::get<std::string>(m_value);
        return !(s.empty() || s == "0" || s == "false");
    }
    return asDouble() != 0.0;
}

std::string Value::asString() const {
    std::ostringstream out;
    switch (getType()) {
        case Type::NONE:
            return {};
        case Type::INTEGER:
            return std::to_string(std::get<int>(m_value));
        case Type::FLOAT:
            out << std::fixed << std::setprecision(7) << std::get<float>(m_value);
            return out.str();
        case Type::DOUBLE:
            out << std::fixed << std::setprecision(7) << std::get<double>(m_value);
            return out.str();
        case Type::BOOLEAN:
            return std::get<bool>(m_value) ? "true" : "false";
        case Type::STRING:
            return std::get<std::string>(m_value);
    }
    return {};
}

}  // namespace engine

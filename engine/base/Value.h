#pragma once
// One scalar configuration value: nothing, an integer, a float, a double, a bool or a string.
// `Value::Null` is the empty value; converting it gives 0, false or the empty string.

#include <string>
#include <variant>

namespace engine {

class Value {
public:
    enum class Type { NONE, INTEGER, FLOAT, DOUBLE, BOOLEAN, STRING };

    static const Value Null;

    Value() = default;
    explicit Value(int v) : m_value(v) {}
    explicit Value(float v) : m_value(v) {}
    explicit Value(double v) : m_value(v) {}
    explicit Value(bool v) : m_value(v) {}
    explicit Value(const char* v) : m_value(std::string(v)) {}
    explicit Value(std::string v) : m_value(std::move(v)) {}

    Type getType() const { return static_cast<Type>(m_value.index()); }
    bool isNull() const { return getType() == Type::NONE; }

    // Conversions between the kinds; a string converts by its leading number ("12abc" is 12).
    int asInt() const;
    float asFloat() const;
    double asDouble() const;
    bool asBool() const;
    // Integers in decimal, floats and doubles with seven decimals, bools as "true"/"false".
    std::string asString() const;

    bool operator==(const Value& other) const { return m_value == other.m_value; }

private:
    std::variant<std::monostate, int, float, double, bool, std::string> m_value;
};

}  // namespace engine

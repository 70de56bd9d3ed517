#include "tests/server/ServerFields.h"

#include <rapidjson/document.h>

namespace {

std::string stringAt(const rapidjson::Value& object, const char* key) {
    if (!object.IsObject()) {
        return "";
    }
    const auto member = object.FindMember(key);
    if (member == object.MemberEnd() || !member->value.IsString()) {
        return "";
    }
    return std::string(member->value.GetString(), member->value.GetStringLength());
}

}  // namespace

std::string fieldOf(const std::string& text, const char* key) {
    rapidjson::Document doc;
    doc.Parse(text.data(), text.size());
    return doc.HasParseError() ? "" : stringAt(doc, key);
}

std::string infoOf(const std::string& text, int index, const char* key) {
    rapidjson::Document doc;
    doc.Parse(text.data(), text.size());
    if (doc.HasParseError() || !doc.IsObject()) {
        return "";
    }
    const auto info = doc.FindMember("info");
    if (info == doc.MemberEnd() || !info->value.IsArray() ||
        static_cast<int>(info->value.Size()) <= index) {
        return "";
    }
    return stringAt(info->value[index], key);
}

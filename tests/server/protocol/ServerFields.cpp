#include "tests/server/protocol/ServerFields.h"

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
    return itemOf(text, "info", index, key);
}

std::string itemOf(const std::string& text, const char* array, int index, const char* key) {
    rapidjson::Document doc;
    doc.Parse(text.data(), text.size());
    if (doc.HasParseError() || !doc.IsObject()) {
        return "";
    }
    const auto items = doc.FindMember(array);
    if (items == doc.MemberEnd() || !items->value.IsArray() ||
        static_cast<int>(items->value.Size()) <= index) {
        return "";
    }
    return stringAt(items->value[index], key);
}

int itemCount(const std::string& text, const char* array) {
    rapidjson::Document doc;
    doc.Parse(text.data(), text.size());
    if (doc.HasParseError() || !doc.IsObject()) {
        return -1;
    }
    const auto items = doc.FindMember(array);
    return items == doc.MemberEnd() || !items->value.IsArray()
               ? -1
               : static_cast<int>(items->value.Size());
}

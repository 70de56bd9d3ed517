#include "tests/server/protocol/WireCheck.h"

#include <rapidjson/document.h>

#include "net/MessageDecoder.h"

namespace {

// Objects and arrays are walked; anything else must be a string.
bool leavesAreStrings(const rapidjson::Value& value) {
    if (value.IsObject()) {
        for (const auto& member : value.GetObject()) {
            if (!leavesAreStrings(member.value)) {
                return false;
            }
        }
        return true;
    }
    if (value.IsArray()) {
        for (const auto& element : value.GetArray()) {
            if (!element.IsObject() || !leavesAreStrings(element)) {
                return false;
            }
        }
        return true;
    }
    return value.IsString();
}

}  // namespace

testing::AssertionResult decodesForClient(const std::string& text, stMsg& out) {
    rapidjson::Document doc;
    doc.Parse(text.data(), text.size());
    if (doc.HasParseError() || !doc.IsObject()) {
        return testing::AssertionFailure() << "not a JSON object: " << text;
    }
    if (!leavesAreStrings(doc)) {
        return testing::AssertionFailure() << "a value is not a JSON string: " << text;
    }
    out = stMsg{};
    if (decodeMessage(text, out) != DecodeStatus::Ok) {
        return testing::AssertionFailure() << "the client cannot decode: " << text;
    }
    if (out.opt == "query" && !versionAccepted(out)) {
        return testing::AssertionFailure() << "the client refuses the version: " << text;
    }
    return testing::AssertionSuccess();
}

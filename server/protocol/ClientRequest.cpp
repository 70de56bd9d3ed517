#include "server/protocol/ClientRequest.h"

#include <rapidjson/document.h>

#include "cards/CardCode.h"

namespace server {

namespace {

// Iterative: the default parser recurses once per nesting level, so one frame of a few hundred
// thousand '[' overflowed the event loop's stack and brought the whole server down. This one
// keeps its stack on the heap; what it accepts is the same.
constexpr unsigned kParseFlags = rapidjson::kParseIterativeFlag;

bool readInt(const rapidjson::Value& object, const char* key, int& out) {
    auto member = object.FindMember(key);
    if (member == object.MemberEnd() || !member->value.IsInt()) {
        return false;
    }
    out = member->value.GetInt();
    return true;
}

const rapidjson::Value* findString(const rapidjson::Value& object, const char* key) {
    auto member = object.FindMember(key);
    if (member == object.MemberEnd() || !member->value.IsString()) {
        return nullptr;
    }
    return &member->value;
}

std::string_view view(const rapidjson::Value& string) {
    return {string.GetString(), string.GetStringLength()};
}

// The string at `key` into `out`; false when it is missing or not a string.
bool readText(const rapidjson::Value& object, const char* key, std::string& out) {
    const rapidjson::Value* found = findString(object, key);
    if (found != nullptr) {
        out = view(*found);
    }
    return found != nullptr;
}

}  // namespace

std::optional<ClientRequest> parseClientRequest(std::string_view text) {
    rapidjson::Document doc;
    doc.Parse<kParseFlags>(text.data(), text.size());
    if (doc.HasParseError() || !doc.IsObject()) {
        return std::nullopt;
    }
    const rapidjson::Value* opt = findString(doc, "opt");
    if (opt == nullptr) {
        return std::nullopt;
    }
    ClientRequest request;
    const std::string_view kind = view(*opt);
    if (kind == "query") {
        request.kind = ClientRequest::Kind::Query;
        return request;
    }
    if (kind == "add") {
        request.kind = ClientRequest::Kind::Add;
        return request;
    }
    if (kind == "record") {
        request.kind = ClientRequest::Kind::Record;
        return request;
    }
    if (kind == "leaderboard") {
        request.kind = ClientRequest::Kind::Leaderboard;
        return request;
    }
    if (kind == "create") {
        request.kind = ClientRequest::Kind::Create;
        return request;
    }
    if (kind == "desks") {
        request.kind = ClientRequest::Kind::Desks;
        return request;
    }
    if (kind == "unwatch") {
        request.kind = ClientRequest::Kind::Unwatch;
        return request;
    }
    if (kind == "sit") {
        request.kind = ClientRequest::Kind::Sit;
        return request;
    }
    if (kind == "watch") {
        request.kind = ClientRequest::Kind::Watch;
        if (doc.HasMember("desk")) {
            return readInt(doc, "desk", request.desk) ? std::optional(request) : std::nullopt;
        }
        request.byCode = true;
        return readText(doc, "code", request.code) ? std::optional(request) : std::nullopt;
    }
    if (kind == "hello") {
        const rapidjson::Value* token = findString(doc, "token");
        if (token == nullptr) {
            return std::nullopt;
        }
        request.kind = ClientRequest::Kind::Hello;
        request.token = view(*token);
        if (const rapidjson::Value* name = findString(doc, "name")) {
            request.name = std::string(view(*name));
        }
        return request;
    }
    if (kind == "name") {
        const rapidjson::Value* name = findString(doc, "name");
        if (name == nullptr) {
            return std::nullopt;
        }
        request.kind = ClientRequest::Kind::Name;
        request.name = std::string(view(*name));
        return request;
    }
    if (kind == "join") {
        request.kind = ClientRequest::Kind::Join;
        return readText(doc, "code", request.code) ? std::optional(request) : std::nullopt;
    }
    if (!readInt(doc, "desk", request.desk) || !readInt(doc, "site", request.seat)) {
        return std::nullopt;
    }
    if (kind == "change") {
        const rapidjson::Value* type = findString(doc, "type");
        if (type == nullptr) {
            return std::nullopt;
        }
        if (view(*type) == "ready") {
            request.kind = ClientRequest::Kind::Ready;
        } else if (view(*type) == "leave") {
            request.kind = ClientRequest::Kind::Leave;
        } else {
            return std::nullopt;
        }
        return request;
    }
    if (kind == "game") {
        const rapidjson::Value* cards = findString(doc, "cards");
        if (cards == nullptr) {
            return std::nullopt;
        }
        request.kind = ClientRequest::Kind::Play;
        request.cards = parseCardList(view(*cards));
        return request;
    }
    if (kind == "auto") {
        int on = 0;
        if (!readInt(doc, "on", on)) {
            return std::nullopt;
        }
        request.kind = ClientRequest::Kind::Auto;
        request.on = on != 0;
        return request;
    }
    if (kind == "bots") {
        request.kind = ClientRequest::Kind::Bots;
        return readText(doc, "level", request.level) ? std::optional(request) : std::nullopt;
    }
    if (kind == "talk") {
        request.kind = ClientRequest::Kind::Talk;
        if (!readInt(doc, "say", request.say)) {
            request.say = -1;
        }
        return request;
    }
    return std::nullopt;
}

}  // namespace server

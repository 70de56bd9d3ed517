#include "net/MessageDecoder.h"

#include <rapidjson/document.h>
#include <rapidjson/memorystream.h>

#include <climits>

namespace {

using rapidjson::Value;

// Iterative: the default parser recurses once per nesting level, so a frame of a few hundred
// thousand '[' overflowed the receiver thread's stack; this one keeps its stack on the heap.
constexpr unsigned kParseFlags = rapidjson::kParseIterativeFlag;

bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// atoi's reading of a decimal text, saturating instead of overflowing.
int toInt(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && isSpace(text[at])) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    long long magnitude = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        magnitude = magnitude * 10 + (text[at] - '0');
        if (magnitude >= limit) {
            magnitude = limit;
        }
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

const Value* stringMember(const Value& object, const char* key) {
    const auto it = object.FindMember(key);
    if (it == object.MemberEnd() || !it->value.IsString()) {
        return nullptr;
    }
    return &it->value;
}

void readText(const Value& object, const char* key, std::string& field) {
    if (const Value* v = stringMember(object, key)) {
        field.assign(v->GetString(), v->GetStringLength());
    }
}

void readInt(const Value& object, const char* key, int& field) {
    if (const Value* v = stringMember(object, key)) {
        field = toInt(std::string_view(v->GetString(), v->GetStringLength()));
    }
}

// Reads `key` of each of the first four objects of "info" into the matching seat; `intField`
// names the per-seat number this kind carries (ready or result).
void readSeats(const Value& object, const char* key, int st_seat_info::*intField, stMsg& out) {
    const auto it = object.FindMember("info");
    if (it == object.MemberEnd() || !it->value.IsArray()) {
        return;
    }
    const Value& info = it->value;
    for (rapidjson::SizeType k = 0; k < info.Size() && k < out.info.size(); ++k) {
        if (info[k].IsObject()) {
            readText(info[k], "name", out.info[k].name);
            readInt(info[k], key, out.info[k].*intField);
        }
    }
}

void decodeObject(const Value& object, stMsg& out) {
    readText(object, "opt", out.opt);
    const std::string& opt = out.opt;
    if (opt == "query") {
        readText(object, "online", out.online);
        readText(object, "version", out.version);
    } else if (opt == "add") {
        readInt(object, "desk", out.desk);
        readInt(object, "site", out.site);
        readText(object, "name", out.name);
    } else if (opt == "change") {
        readSeats(object, "ready", &st_seat_info::ready, out);
    } else if (opt == "start") {
        readText(object, "cards", out.cards);
    } else if (opt == "over") {
        readSeats(object, "result", &st_seat_info::result, out);
    } else if (opt == "game") {
        readInt(object, "per", out.per);
        readText(object, "surplus", out.surplus);
        readInt(object, "now", out.now);
        readText(object, "cards", out.cards);
        readInt(object, "score", out.score);
        readInt(object, "must", out.must);
    } else if (opt == "score") {
        readText(object, "p0", out.p0);
        readText(object, "p1", out.p1);
    } else if (opt == "run") {
        readInt(object, "site", out.site);
        readText(object, "name", out.name);
    }
}

DecodeStatus decodeDocument(const rapidjson::Document& document, stMsg& out) {
    if (document.HasParseError()) {
        return DecodeStatus::NotJson;
    }
    if (!document.IsObject()) {
        return DecodeStatus::NotObject;
    }
    decodeObject(document, out);
    return DecodeStatus::Ok;
}

}  // namespace

DecodeStatus decodeMessage(std::string_view text, stMsg& out) {
    // A plain memory stream: Document::Parse(text, length) would also skip stray byte-order
    // mark bytes at the start, which the in-place parse does not.
    rapidjson::MemoryStream stream(text.data(), text.size());
    rapidjson::Document document;
    document.ParseStream<kParseFlags>(stream);
    return decodeDocument(document, out);
}

DecodeStatus decodeMessageInPlace(std::string& text, stMsg& out) {
    rapidjson::Document document;
    document.ParseInsitu<kParseFlags>(text.data());
    return decodeDocument(document, out);
}

bool versionAccepted(const stMsg& msg) {
    return msg.opt != "query" || msg.version == kClientVersion;
}

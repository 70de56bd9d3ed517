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

// Calls `read` with each of the first four objects of "info" and the matching seat's entry.
template <typename Read>
void readSeats(const Value& object, stMsg& out, Read read) {
    const auto it = object.FindMember("info");
    if (it == object.MemberEnd() || !it->value.IsArray()) {
        return;
    }
    const Value& info = it->value;
    for (rapidjson::SizeType k = 0; k < info.Size() && k < out.info.size(); ++k) {
        if (info[k].IsObject()) {
            read(info[k], out.info[k]);
        }
    }
}

void readPresence(const Value& seat, st_seat_info& entry) {
    readInt(seat, "away", entry.away);
    readInt(seat, "auto", entry.auto_play);
}

void readResume(const Value& object, stMsg& out) {
    readInt(object, "desk", out.desk);
    readInt(object, "site", out.site);
    readText(object, "name", out.name);
    readInt(object, "playing", out.playing);
    readSeats(object, out, [](const Value& seat, st_seat_info& entry) {
        readText(seat, "name", entry.name);
        readInt(seat, "ready", entry.ready);
        readPresence(seat, entry);
        readText(seat, "surplus", entry.surplus);
        readText(seat, "cards", entry.cards);
        readInt(seat, "pass", entry.pass);
    });
    readText(object, "cards", out.cards);
    readText(object, "seen", out.seen);
    readText(object, "last", out.last);
    readInt(object, "lastsite", out.lastsite);
    readInt(object, "score", out.score);
    readText(object, "p0", out.p0);
    readText(object, "p1", out.p1);
    readInt(object, "now", out.now);
    readInt(object, "must", out.must);
    readInt(object, "left", out.left);
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
        readSeats(object, out, [](const Value& seat, st_seat_info& entry) {
            readText(seat, "name", entry.name);
            readInt(seat, "ready", entry.ready);
        });
    } else if (opt == "start") {
        readText(object, "cards", out.cards);
    } else if (opt == "over") {
        readSeats(object, out, [](const Value& seat, st_seat_info& entry) {
            readText(seat, "name", entry.name);
            readInt(seat, "result", entry.result);
        });
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
    } else if (opt == "hello") {
        readText(object, "status", out.status);
        readText(object, "reason", out.reason);
        readInt(object, "retry", out.retry);
        readInt(object, "resume", out.resume);
    } else if (opt == "resume") {
        readResume(object, out);
    } else if (opt == "presence") {
        readSeats(object, out, readPresence);
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

#include "net/MessageDecoder.h"

#include <rapidjson/document.h>
#include <rapidjson/memorystream.h>

#include <cstdint>
#include <limits>
#include <type_traits>
#include <vector>

namespace {

using rapidjson::Value;

// Iterative: the default parser recurses once per nesting level, so a frame of a few hundred
// thousand '[' overflowed the receiver thread's stack; this one keeps its stack on the heap.
constexpr unsigned kParseFlags = rapidjson::kParseIterativeFlag;

bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// atoi's reading of a decimal text, saturating at the range of Int instead of overflowing.
template <typename Int>
Int toInteger(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && isSpace(text[at])) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    // Counted in the unsigned type, where the magnitude of the lowest value still fits.
    using Magnitude = std::uint64_t;
    const Magnitude limit = negative
                                ? Magnitude{static_cast<Magnitude>(std::numeric_limits<Int>::max())} + 1
                                : static_cast<Magnitude>(std::numeric_limits<Int>::max());
    Magnitude magnitude = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        const Magnitude digit = static_cast<Magnitude>(text[at] - '0');
        magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
    }
    if (!negative) {
        return static_cast<Int>(magnitude);
    }
    return magnitude == limit ? std::numeric_limits<Int>::min()
                              : static_cast<Int>(-static_cast<Int>(magnitude));
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

template <typename Int>
void readInt(const Value& object, const char* key, Int& field) {
    if (const Value* v = stringMember(object, key)) {
        field = toInteger<Int>(std::string_view(v->GetString(), v->GetStringLength()));
    }
}

// Calls `read` with each object element of the array `key` and a new entry of `out`, until
// `out` holds `bound` entries. A `read` that returns bool drops the entry when it returns false.
template <typename Entry, typename Read>
void readList(const Value& object, const char* key, std::vector<Entry>& out, int bound,
              Read read) {
    const auto it = object.FindMember(key);
    if (it == object.MemberEnd() || !it->value.IsArray()) {
        return;
    }
    for (const Value& element : it->value.GetArray()) {
        if (out.size() >= static_cast<std::size_t>(bound)) {
            return;
        }
        if (!element.IsObject()) {
            continue;
        }
        Entry& entry = out.emplace_back();
        if constexpr (std::is_same_v<decltype(read(element, entry)), bool>) {
            if (!read(element, entry)) {
                out.pop_back();
            }
        } else {
            read(element, entry);
        }
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

// The answer to a name asked for, in "hello" and "name": the name shown, or why it was refused.
void readNameAnswer(const Value& object, stMsg& out) {
    readText(object, "name", out.name);
    readText(object, "nameError", out.nameError);
}

// The answer to a request the server may refuse: "ok" or "refused", why, and when to try again.
void readAnswer(const Value& object, stMsg& out) {
    readText(object, "status", out.status);
    readText(object, "reason", out.reason);
    readInt(object, "retry", out.retry);
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
    readText(object, "code", out.code);
    readInt(object, "creator", out.creator);
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

void readRecord(const Value& object, stMsg& out) {
    readText(object, "status", out.status);
    st_record& record = out.record;
    readInt(object, "games", record.games);
    readInt(object, "wins", record.wins);
    readInt(object, "draws", record.draws);
    readInt(object, "losses", record.losses);
    readInt(object, "points", record.points);
    readInt(object, "rating", record.rating);
    readList(object, "last", record.last, kLastGames, [](const Value& game, st_record_game& entry) {
        readInt(game, "when", entry.when);
        readInt(game, "result", entry.result);
        readInt(game, "points", entry.points);
        readText(game, "partner", entry.partner);
        readText(game, "opponents", entry.opponents);
    });
}

void readLeaderboard(const Value& object, stMsg& out) {
    readText(object, "status", out.status);
    readInt(object, "place", out.place);
    readList(object, "top", out.top, kLeaderboardSize, [](const Value& row, st_leader_row& entry) {
        readInt(row, "place", entry.place);
        readText(row, "name", entry.name);
        readInt(row, "rating", entry.rating);
        readInt(row, "games", entry.games);
    });
}

// One "desks" entry; false when it names no desk or not its four seats.
bool readWatchDesk(const Value& entry, st_watch_desk& desk) {
    const auto seats = entry.FindMember("seats");
    if (stringMember(entry, "desk") == nullptr || seats == entry.MemberEnd() ||
        !seats->value.IsArray() || seats->value.Size() < desk.names.size()) {
        return false;
    }
    for (rapidjson::SizeType k = 0; k < desk.names.size(); ++k) {
        const Value& seat = seats->value[k];
        if (!seat.IsObject()) {
            return false;
        }
        readText(seat, "name", desk.names[k]);
        readInt(seat, "bot", desk.bots[k]);
    }
    readInt(entry, "desk", desk.desk);
    readText(entry, "p0", desk.p0);
    readText(entry, "p1", desk.p1);
    readInt(entry, "seconds", desk.seconds);
    readInt(entry, "watchers", desk.watchers);
    return true;
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
        readText(object, "code", out.code);
        readInt(object, "creator", out.creator);
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
    } else if (opt == "talk") {
        readInt(object, "site", out.site);
        readInt(object, "say", out.say);
    } else if (opt == "run") {
        readInt(object, "site", out.site);
        readText(object, "name", out.name);
    } else if (opt == "hello") {
        readAnswer(object, out);
        readInt(object, "resume", out.resume);
        readInt(object, "records", out.records);
        readInt(object, "talk", out.talk);
        readInt(object, "names", out.names);
        readInt(object, "private", out.private_desks);
        readInt(object, "watch", out.watch);
        readNameAnswer(object, out);
    } else if (opt == "name") {
        readNameAnswer(object, out);
    } else if (opt == "join" || opt == "sit" || opt == "create") {
        readAnswer(object, out);
    } else if (opt == "desks") {
        readList(object, "info", out.desks, kWatchListSize, readWatchDesk);
    } else if (opt == "resume") {
        readResume(object, out);
    } else if (opt == "presence") {
        readSeats(object, out, readPresence);
    } else if (opt == "watch") {
        readAnswer(object, out);
        readInt(object, "watchers", out.watchers);
        readResume(object, out);
    } else if (opt == "watchers") {
        readInt(object, "count", out.watchers);
    } else if (opt == "unwatch") {
        readText(object, "reason", out.reason);
    } else if (opt == "record") {
        readRecord(object, out);
    } else if (opt == "leaderboard") {
        readLeaderboard(object, out);
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

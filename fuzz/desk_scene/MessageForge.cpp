#include "fuzz/desk_scene/MessageForge.h"

#include <array>
#include <string_view>

namespace {

// Number fields: the seats, their neighbours and what atoi and the int range make of odd text.
constexpr std::array<std::string_view, 16> kNumbers = {
    "-1", "0",          "1",           "2",           "3",  "4",  "-2", "5",
    "30", "2147483647", "-2147483648", "99999999999", " 2", "3x", "",   "+1"};

// Free texts (names, remaining counts, scores), already escaped for a JSON string.
constexpr std::array<std::string_view, 16> kTexts = {
    "",
    "0",
    "00",
    "20",
    "1",
    "ann",
    "-5x",
    " 0",
    "\xe7\x8e\xa9\xe5\xae\xb6",
    "\xff\xfe",
    "a\\\"b",
    "\\u0000x",
    "27",
    "-1",
    "line\\nbreak",
    "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
    "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"};

// Values that are not strings: the decoder must leave the field alone.
constexpr std::array<std::string_view, 4> kNotStrings = {"null", "true", "[\"1\"]", "{}"};

// Pieces of a malformed card list.
constexpr std::array<std::string_view, 16> kCardPieces = {
    "0",    "53",         "19",          "8",           "8", "-1",  "54", "255",
    "1000", "2147483647", "-2147483648", "99999999999", "x", "  5", "5x", "+7"};

// Kinds, weighted towards "game", which drives most of the desk.
constexpr std::array<std::string_view, 16> kKinds = {
    "game",  "game", "game", "game",    "game",  "change", "change", "start",
    "score", "over", "run",  "timeout", "query", "add",    "GAME",   ""};

constexpr std::size_t kLongList = 300;  // cards in the longest list; well beyond a deal of 27

class JsonObject {
public:
    // `value` is JSON text already: a quoted string, a number or another value.
    void member(std::string_view key, std::string_view value) {
        m_text += m_text.size() == 1 ? "\"" : ",\"";
        m_text += key;
        m_text += "\":";
        m_text += value;
    }
    void text(std::string_view key, std::string_view content) {
        member(key, "\"" + std::string(content) + "\"");
    }
    std::string close() { return m_text + "}"; }

private:
    std::string m_text = "{";
};

// A string from `strings`, or now and then a missing key or a value of another type.
void field(JsonObject& object, std::string_view key, std::uint8_t pick,
           const std::array<std::string_view, 16>& strings) {
    if (pick < 0xE0) {
        object.text(key, strings[pick % strings.size()]);
    } else if (pick < 0xF0) {
        return;
    } else if (pick < 0xF8) {
        object.member(key, std::to_string(pick - 0xF3));
    } else {
        object.member(key, kNotStrings[pick % kNotStrings.size()]);
    }
}

std::string cardList(FuzzBytes& in) {
    std::string list;
    const std::uint8_t mode = in.byte();
    switch (mode % 6) {
        case 0:  // a pass
            break;
        case 1: {  // real codes, duplicates as two decks give them, maybe a trailing comma
            const int count = in.byte() % 28;
            for (int k = 0; k < count; ++k) {
                list += std::to_string(in.byte() % 54) + ",";
            }
            if (mode & 0x80 && !list.empty()) {
                list.pop_back();
            }
            break;
        }
        case 2: {  // odd pieces and empty ones
            const int count = in.byte() % 12;
            for (int k = 0; k < count; ++k) {
                const std::uint8_t piece = in.byte();
                list += kCardPieces[piece % kCardPieces.size()];
                list += piece & 0x80 ? ",," : ",";
            }
            break;
        }
        case 3: {  // a long run of cards
            const std::size_t count = 28 + in.byte() % (kLongList - 27);
            const int first = in.byte();
            for (std::size_t k = 0; k < count; ++k) {
                list += std::to_string((first + static_cast<int>(k)) % 54) + ",";
            }
            break;
        }
        case 4:  // one code of any byte value, out of range included
            list = std::to_string(in.byte());
            break;
        default:  // separators only
            list = std::string(in.byte() % 8, ',');
            break;
    }
    return list;
}

void cards(JsonObject& object, FuzzBytes& in) {
    const std::uint8_t shape = in.byte();
    if (shape < 0xF0) {
        object.text("cards", cardList(in));
    } else if (shape < 0xF8) {
        return;
    } else {
        object.member("cards", kNotStrings[shape % kNotStrings.size()]);
    }
}

// "info": missing, not an array, or up to six entries of which some are not objects.
void seats(JsonObject& object, FuzzBytes& in, std::string_view numberKey) {
    const std::uint8_t shape = in.byte();
    if (shape % 8 == 0) {
        return;
    }
    if (shape % 8 == 1) {
        object.member("info", kNotStrings[shape % kNotStrings.size()]);
        return;
    }
    std::string array = "[";
    const int count = in.byte() % 7;
    for (int k = 0; k < count; ++k) {
        if (k > 0) {
            array += ",";
        }
        if (in.byte() % 8 == 0) {
            array += "\"1\"";
            continue;
        }
        JsonObject entry;
        field(entry, "name", in.byte(), kTexts);
        field(entry, numberKey, in.byte(), kNumbers);
        array += entry.close();
    }
    object.member("info", array + "]");
}

}  // namespace

std::string forgeMessage(FuzzBytes& in) {
    JsonObject message;
    const std::uint8_t kindByte = in.byte();
    const std::string_view kind = kKinds[kindByte % kKinds.size()];
    // Now and then no kind at all, or one that is not a string.
    if (kindByte >= 0xF8) {
        message.member("opt", kNotStrings[kindByte % kNotStrings.size()]);
    } else if (kindByte < 0xF0) {
        message.text("opt", kind);
    }
    if (kind == "game" || kind == "GAME") {
        field(message, "per", in.byte(), kNumbers);
        field(message, "surplus", in.byte(), kTexts);
        field(message, "now", in.byte(), kNumbers);
        cards(message, in);
        field(message, "score", in.byte(), kNumbers);
        field(message, "must", in.byte(), kNumbers);
    } else if (kind == "change") {
        seats(message, in, "ready");
    } else if (kind == "over") {
        seats(message, in, "result");
    } else if (kind == "start") {
        cards(message, in);
    } else if (kind == "score") {
        field(message, "p0", in.byte(), kTexts);
        field(message, "p1", in.byte(), kTexts);
    } else if (kind == "run") {
        field(message, "site", in.byte(), kNumbers);
        field(message, "name", in.byte(), kTexts);
    } else if (kind == "query") {
        field(message, "online", in.byte(), kTexts);
        field(message, "version", in.byte(), kTexts);
    } else if (kind == "add") {
        field(message, "desk", in.byte(), kNumbers);
        field(message, "site", in.byte(), kNumbers);
        field(message, "name", in.byte(), kTexts);
    }
    return message.close();
}

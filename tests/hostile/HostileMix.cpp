#include "tests/hostile/HostileMix.h"

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <array>
#include <climits>
#include <random>

#include "server/protocol/ServerMessages.h"
#include "wire/Framing.h"

namespace {

// ---- What the client reads from one frame, as far as boxes and scenes depend on it ------------

struct Seen {
    std::string opt;
    int desk = -1;
    int site = -1;
    std::string name;
    std::string online;
    int per = -1;                  // "game": the seat that acted
    std::vector<int> cards;        // "start": the codes the desk deals; "game": the seat's play
    std::array<int, 4> results{};  // "over": each seat's result
};

// The client as a player sees it: which scene runs, and what each message there shows.
class ClientModel {
public:
    explicit ClientModel(HostileScript& out) : m_out(out) { m_out.onlineText = "online: 0"; }

    bool atHall() const { return !m_out.atDesk; }

    void handle(const Seen& m) {
        if (atHall()) {
            if (m.opt == "query") {
                m_out.onlineText = "online:" + m.online;
            } else if (m.opt == "add" && m.site >= 0 && m.site < 4) {
                m_out.atDesk = true;
                m_out.desk = m.desk;
                m_out.site = m.site;
                m_out.dealt.clear();
                m_out.playedForSeat.clear();
            }
            return;
        }
        if (m.opt == "start") {
            m_out.dealt = m.cards;  // a deal is the whole new hand
            m_out.playedForSeat.clear();
        } else if (m.opt == "game" && m.per == m_out.site) {
            m_out.playedForSeat.insert(m_out.playedForSeat.end(), m.cards.begin(), m.cards.end());
        } else if (m.opt == "run") {
            m_out.sceneBoxes.push_back(
                {std::to_string(m.site) + "->" + m.name + ":-10\r\n", "玩家逃跑，游戏结束"});
        } else if (m.opt == "over") {
            const int r = m.results[static_cast<std::size_t>(m_out.site)];
            if (r > 0) {
                m_out.sceneBoxes.push_back(
                    {"恭喜，赢" + std::to_string(r) + "局！", "游戏结束，你赢了！"});
            } else if (r < 0) {
                m_out.sceneBoxes.push_back(
                    {"很遗憾，输" + std::to_string(r) + "局！", "游戏结束，你输了！"});
            } else {
                m_out.sceneBoxes.push_back({"平局，再接再厉！", "游戏结束，平局！"});
            }
        } else if (m.opt == "timeout") {
            m_out.atDesk = false;
            m_out.onlineText = "online: 0";
        }
    }

private:
    HostileScript& m_out;
};

// ---- Editing a server text to damage it -----------------------------------------------------

std::string textOf(const rapidjson::Value& value) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    value.Accept(writer);
    return std::string(buffer.GetString(), buffer.GetSize());
}

void setRaw(rapidjson::Value& slot, const std::string& json, rapidjson::Document& doc) {
    rapidjson::Document part(&doc.GetAllocator());
    part.Parse(json.c_str(), json.size());
    slot.CopyFrom(part, doc.GetAllocator());
}

void setString(rapidjson::Value& slot, const std::string& text, rapidjson::Document& doc) {
    slot.SetString(text.data(), static_cast<rapidjson::SizeType>(text.size()), doc.GetAllocator());
}

// A key of a message, at the top or inside element `seat` of "info".
struct KeyPath {
    std::string key;
    int seat = -1;      // -1: a top-level key; else the element of "info"
    std::string inner;  // with a seat: the element's key; empty for the element itself
};

// Leaves the field `path` names at its initial value, as a missing key or a value of the wrong
// type does.
void forget(Seen& seen, const KeyPath& path) {
    if (path.key == "opt") {
        seen = Seen{};
    } else if (path.key == "desk") {
        seen.desk = -1;
    } else if (path.key == "site") {
        seen.site = -1;
    } else if (path.key == "per") {
        seen.per = -1;
    } else if (path.key == "name") {
        seen.name.clear();
    } else if (path.key == "online") {
        seen.online.clear();
    } else if (path.key == "cards") {
        seen.cards.clear();
    } else if (path.key == "info" && seen.opt == "over") {
        if (path.seat < 0) {
            seen.results = {};
        } else if (path.inner.empty() || path.inner == "result") {
            seen.results[static_cast<std::size_t>(path.seat)] = 0;
        }
    }
}

// ---- The mix -------------------------------------------------------------------------------

constexpr int kBadSeats[] = {-2, 4, 5, 100, 1000000, INT_MAX, INT_MIN};
const char* const kNonStrings[] = {"1",  "-3", "true",  "false",   "null",
                                   "[]", "{}", "1.5e3", "[\"1\"]", "{\"site\":\"1\"}"};
const char* const kUnknownKinds[] = {"Query", "GAME",  "shuffle", "",          "timeout ",
                                     "runs",  "over!", "游戏",    "add\\u0000"};
const char* const kNotJson[] = {"not json",      "{\"opt\":",
                                "{'opt':'add'}", "{\"opt\":\"add\",}",
                                "\xff\xfe",      "{\"opt\":\"run\"} trailing",
                                "[1,2"};

// A piece of a card list and the code the client reads from it.
struct Piece {
    const char* text;
    int code;
};
constexpr Piece kOddPieces[] = {
    {"54", 54}, {"99", 99}, {"-1", -1},  {"2147483648", INT_MAX}, {"-99999999999", INT_MIN},
    {"abc", 0}, {" 7", 7},  {"0x10", 0}, {"12abc", 12},           {"-", 0},
    {"+5", 5}};

enum class Kind { Query, Add, Change, Start, Game, Score, Over, Run, Timeout };

struct Message {
    std::string text;
    Seen seen;
    bool object = true;  // false: valid JSON the client drops before queuing
};

class MixWriter {
public:
    MixWriter(std::uint32_t seed, HostileScript& out) : m_rng(seed), m_out(out), m_model(out) {}

    void frame(const std::string& category, const Message& message) {
        m_out.bytes += frameText(message.text);
        ++m_out.frames;
        ++m_out.kinds[category];
        if (message.object) {
            m_model.handle(message.seen);
        }
    }

    void one() {
        const int roll = number(0, 99);
        if (roll < 40) {
            frame("valid", valid(pickKind()));
        } else if (roll < 52) {
            frame("wrong seat", wrongSeat());
        } else if (roll < 60) {
            frame("unknown kind", unknownKind());
        } else if (roll < 70) {
            frame("wrong type", damaged(true));
        } else if (roll < 80) {
            frame("missing key", damaged(false));
        } else if (roll < 90) {
            frame("odd cards", oddCards());
        } else {
            frame("not an object", notObject());
        }
    }

    // A valid array nested `depth` levels deep: JSON the client reads and drops.
    Message deepArray(std::size_t depth) {
        return {std::string(depth, '[') + std::string(depth, ']'), {}, false};
    }

    void end(StreamEnd how) {
        const std::string last = valid(Kind::Run).text;
        switch (how) {
            case StreamEnd::CleanClose:
                m_out.endOfStream = true;
                m_out.linkBoxes = {kReceiveFailedBox};
                break;
            case StreamEnd::CloseInHeader:
                m_out.bytes += frameText(last).substr(0, static_cast<std::size_t>(number(1, 3)));
                m_out.endOfStream = true;
                m_out.linkBoxes = {kReceiveFailedBox};
                break;
            case StreamEnd::CloseInText:
                m_out.bytes += frameText(last).substr(
                    0, framing::kHeaderBytes +
                           static_cast<std::size_t>(number(0, int(last.size()) - 1)));
                m_out.endOfStream = true;
                m_out.linkBoxes = {kDisconnectedBox};
                break;
            case StreamEnd::ZeroLength:
                m_out.bytes += header(0) + frameText(last);
                m_out.linkBoxes = {kReceiveFailedBox};
                break;
            case StreamEnd::HugeLength: {
                const std::uint32_t length =
                    framing::kMaxFrameBytes + 1 +
                    static_cast<std::uint32_t>(m_rng() % (0xFFFFFFFFu - framing::kMaxFrameBytes));
                m_out.bytes += header(length) + last + frameText(last);
                m_out.linkBoxes = {kReceiveFailedBox};
                break;
            }
            case StreamEnd::NotJson:
                m_out.bytes += frameText(pick(kNotJson)) + frameText(last);
                m_out.linkBoxes = {kDisconnectedBox};
                break;
        }
    }

    int number(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_rng); }

private:
    template <typename T, std::size_t N>
    const T& pick(const T (&items)[N]) {
        return items[static_cast<std::size_t>(number(0, int(N) - 1))];
    }

    static std::string header(std::uint32_t length) {
        unsigned char bytes[framing::kHeaderBytes];
        framing::writeHeader(length, bytes);
        return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
    }
    static std::string frameText(const std::string& text) {
        std::string out;
        framing::appendFrame(out, text);
        return out;
    }

    Kind pickKind() {
        // The hall soon takes a seat; the desk sees mostly plays, and now and then a timeout.
        if (m_model.atHall() && number(0, 2) == 0) {
            return Kind::Add;
        }
        const int roll = number(0, 99);
        if (roll < 30) return Kind::Game;
        if (roll < 42) return Kind::Change;
        if (roll < 50) return Kind::Start;
        if (roll < 60) return Kind::Score;
        if (roll < 66) return Kind::Over;
        if (roll < 72) return Kind::Run;
        if (roll < 84) return Kind::Query;
        if (roll < 97) return Kind::Add;
        return Kind::Timeout;
    }

    std::string name() {
        static const std::string names[] = {"ann",
                                            "bob",
                                            "张三",
                                            "\"quoted\"",
                                            "back\\slash",
                                            "tab\there",
                                            std::string("nul\0x", 5),
                                            "",
                                            "player7"};
        return pick(names);
    }

    std::vector<int> codes(int low, int high) {
        std::vector<int> out(static_cast<std::size_t>(number(low, high)));
        for (int& code : out) {
            code = number(0, 53);
        }
        return out;
    }

    Message valid(Kind kind) {
        Message m;
        switch (kind) {
            case Kind::Query: {
                const int online = number(0, 500);
                m.text = server::queryMessage(static_cast<std::size_t>(online));
                m.seen.opt = "query";
                m.seen.online = std::to_string(online);
                break;
            }
            case Kind::Add:
                m.seen.opt = "add";
                m.seen.desk = number(0, 99);
                m.seen.site = number(0, 3);
                m.seen.name = name();
                m.text = server::addMessage(m.seen.desk, m.seen.site, m.seen.name);
                break;
            case Kind::Change: {
                std::array<std::string, 4> names;
                std::array<server::SeatLine, 4> seats;
                for (std::size_t k = 0; k < 4; ++k) {
                    names[k] = name();
                    seats[k] = {names[k], number(0, 2)};
                }
                m.text = server::changeMessage(seats);
                m.seen.opt = "change";
                break;
            }
            case Kind::Start:
                m.seen.opt = "start";
                m.seen.cards = codes(1, 27);
                m.text = server::startMessage(m.seen.cards);
                break;
            case Kind::Game:
                m.seen.opt = "game";
                m.seen.per = number(-1, 3);
                m.seen.cards = codes(0, 5);
                m.text = server::gameMessage(m.seen.per, static_cast<std::size_t>(number(0, 27)),
                                             m.seen.cards, 5 * number(0, 40), number(-1, 3),
                                             number(0, 3) == 0);
                break;
            case Kind::Score:
                m.text = server::scoreMessage(5 * number(0, 100), 5 * number(0, 100));
                m.seen.opt = "score";
                break;
            case Kind::Over: {
                std::array<std::string, 4> names;
                std::array<server::SeatLine, 4> seats;
                m.seen.opt = "over";
                for (std::size_t k = 0; k < 4; ++k) {
                    names[k] = name();
                    m.seen.results[k] = number(-3, 3);
                    seats[k] = {names[k], m.seen.results[k]};
                }
                m.text = server::overMessage(seats);
                break;
            }
            case Kind::Run:
                m.seen.opt = "run";
                m.seen.site = number(0, 3);
                m.seen.name = name();
                m.text = server::runMessage(m.seen.site, m.seen.name);
                break;
            case Kind::Timeout:
                m.seen.opt = "timeout";
                m.text = server::timeoutMessage();
                break;
        }
        return m;
    }

    // Seat numbers outside 0..3 where the server names a seat, and "info" arrays of another length.
    Message wrongSeat() {
        const int bad = pick(kBadSeats);
        rapidjson::Document doc;
        Message m;
        switch (number(0, 4)) {
            case 0:
            case 1: {  // "add" or "run" naming no seat
                m = valid(number(0, 1) == 0 ? Kind::Add : Kind::Run);
                doc.Parse(m.text.c_str());
                setString(doc["site"], std::to_string(bad), doc);
                m.seen.site = bad;
                break;
            }
            case 2: {  // a play or a turn of no seat
                m = valid(Kind::Game);
                doc.Parse(m.text.c_str());
                const bool per = number(0, 1) == 0;
                setString(doc[per ? "per" : "now"], std::to_string(bad), doc);
                if (per) {
                    m.seen.per = bad;
                }
                break;
            }
            default: {  // "info" with fewer or more than four seats
                m = valid(number(0, 1) == 0 ? Kind::Over : Kind::Change);
                doc.Parse(m.text.c_str());
                rapidjson::Value& info = doc["info"];
                const int size = number(0, 6);
                while (static_cast<int>(info.Size()) > size) {
                    info.PopBack();
                }
                while (static_cast<int>(info.Size()) < size) {
                    rapidjson::Value extra;  // growing starts from all four seats
                    extra.CopyFrom(info[0], doc.GetAllocator());
                    info.PushBack(extra, doc.GetAllocator());
                }
                for (int k = size; k < 4; ++k) {
                    m.seen.results[static_cast<std::size_t>(k)] = 0;
                }
                break;
            }
        }
        m.text = textOf(doc);
        return m;
    }

    Message unknownKind() {
        Message m = valid(static_cast<Kind>(number(0, 8)));
        rapidjson::Document doc;
        doc.Parse(m.text.c_str());
        setRaw(doc["opt"], std::string("\"") + pick(kUnknownKinds) + "\"", doc);
        m.seen = Seen{};
        m.seen.opt = "unknown";
        m.text = textOf(doc);
        return m;
    }

    // A valid message with one key removed, or with a value that is not a string. The version
    // of a query answer is left alone: a client refused by version ends the process by design.
    Message damaged(bool wrongType) {
        Message m = valid(static_cast<Kind>(number(0, 8)));
        rapidjson::Document doc;
        doc.Parse(m.text.c_str());
        std::vector<KeyPath> paths;
        for (const auto& member : doc.GetObject()) {
            const std::string key = member.name.GetString();
            if (key == "version") {
                continue;
            }
            paths.push_back({key, -1, ""});
            if (key == "info") {
                for (int k = 0; k < 4; ++k) {
                    if (wrongType) {
                        paths.push_back({key, k, ""});
                    }
                    paths.push_back({key, k, "name"});
                    paths.push_back({key, k, m.seen.opt == "over" ? "result" : "ready"});
                }
            }
        }
        const KeyPath& path = paths[static_cast<std::size_t>(number(0, int(paths.size()) - 1))];
        rapidjson::Value& parent = path.seat < 0 || path.inner.empty()
                                       ? static_cast<rapidjson::Value&>(doc)
                                       : doc["info"][static_cast<rapidjson::SizeType>(path.seat)];
        const std::string key = path.seat < 0 || path.inner.empty() ? path.key : path.inner;
        if (path.seat >= 0 && path.inner.empty()) {
            setRaw(doc["info"][static_cast<rapidjson::SizeType>(path.seat)],
                   number(0, 1) == 0 ? "\"seat\"" : pick(kNonStrings), doc);
        } else if (wrongType) {
            setRaw(parent[key.c_str()], pick(kNonStrings), doc);
        } else {
            parent.RemoveMember(key.c_str());
        }
        forget(m.seen, path);
        m.text = textOf(doc);
        return m;
    }

    // A deal or a play whose list holds codes outside 0..53, text that is no number, and empty
    // pieces.
    Message oddCards() {
        const bool deal = number(0, 1) == 0;
        Message m = valid(deal ? Kind::Start : Kind::Game);
        std::string list;
        std::vector<int> read;
        for (int n = number(1, 8); n > 0; --n) {
            if (number(0, 2) == 0) {
                const int code = number(0, 53);
                list += std::to_string(code);
                read.push_back(code);
            } else {
                const Piece& piece = pick(kOddPieces);
                list += piece.text;
                read.push_back(piece.code);
            }
            list += number(0, 3) == 0 ? ",," : ",";
        }
        rapidjson::Document doc;
        doc.Parse(m.text.c_str());
        setString(doc["cards"], list, doc);
        m.seen.cards = read;
        m.text = textOf(doc);
        return m;
    }

    Message notObject() {
        static const char* const texts[] = {
            "[1,2]", "42", "\"text\"", "null", "true", "[]", "[{\"opt\":\"run\",\"site\":\"1\"}]"};
        return {pick(texts), {}, false};
    }

    std::mt19937 m_rng;
    HostileScript& m_out;
    ClientModel m_model;
};

}  // namespace

const char* streamEndName(StreamEnd end) {
    switch (end) {
        case StreamEnd::CleanClose:
            return "CleanClose";
        case StreamEnd::CloseInHeader:
            return "CloseInHeader";
        case StreamEnd::CloseInText:
            return "CloseInText";
        case StreamEnd::ZeroLength:
            return "ZeroLength";
        case StreamEnd::HugeLength:
            return "HugeLength";
        case StreamEnd::NotJson:
            return "NotJson";
    }
    return "?";
}

HostileScript makeHostileScript(std::uint32_t seed, std::size_t frames, StreamEnd end) {
    HostileScript script;
    MixWriter writer(seed, script);
    // Deep enough to overflow a thread's stack in a parser that recurses per level.
    const std::size_t deepAt = static_cast<std::size_t>(writer.number(0, int(frames) - 1));
    for (std::size_t i = 0; i < frames; ++i) {
        if (i == deepAt) {
            writer.frame("deep nesting", writer.deepArray(300000));
        } else {
            writer.one();
        }
    }
    writer.end(end);
    return script;
}

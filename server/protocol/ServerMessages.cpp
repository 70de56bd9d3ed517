#include "server/protocol/ServerMessages.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "cards/CardCode.h"

namespace server {

namespace {

// Builds one message object whose values are all strings.
class MessageWriter {
public:
    explicit MessageWriter(std::string_view opt) : m_writer(m_buffer) {
        m_writer.StartObject();
        field("opt", opt);
    }

    MessageWriter& field(std::string_view key, std::string_view value) {
        m_writer.Key(key.data(), static_cast<rapidjson::SizeType>(key.size()));
        m_writer.String(value.data(), static_cast<rapidjson::SizeType>(value.size()));
        return *this;
    }
    MessageWriter& field(std::string_view key, long long value) {
        return field(key, std::string_view(std::to_string(value)));
    }

    // "info": one object per seat, {"name": ..., valueKey: ...}.
    MessageWriter& info(const std::array<SeatLine, 4>& seats, std::string_view valueKey) {
        return array("info", seats, [valueKey](MessageWriter& w, const SeatLine& seat) {
            w.field("name", seat.name).field(valueKey, seat.value);
        });
    }

    // Writes into the object being built: an array of objects, one per call of `each`.
    template <typename Items, typename Each>
    MessageWriter& array(std::string_view key, const Items& items, Each each) {
        m_writer.Key(key.data(), static_cast<rapidjson::SizeType>(key.size()));
        m_writer.StartArray();
        for (const auto& item : items) {
            m_writer.StartObject();
            each(*this, item);
            m_writer.EndObject();
        }
        m_writer.EndArray();
        return *this;
    }

    std::string text() {
        m_writer.EndObject();
        return std::string(m_buffer.GetString(), m_buffer.GetSize());
    }

private:
    rapidjson::StringBuffer m_buffer;
    rapidjson::Writer<rapidjson::StringBuffer> m_writer;
};

// {"opt":<opt>,"status":"refused","reason":<reason>} and "retry" when `retrySeconds` >= 0.
std::string refusedMessage(std::string_view opt, std::string_view reason, long long retrySeconds) {
    MessageWriter writer(opt);
    writer.field("status", "refused").field("reason", reason);
    if (retrySeconds >= 0) {
        writer.field("retry", retrySeconds);
    }
    return writer.text();
}

std::string cardText(const std::vector<int>& cards) {
    std::string text;
    formatCardList(cards, text);
    return text;
}

}  // namespace

std::string queryMessage(std::size_t online) {
    return MessageWriter("query")
        .field("online", static_cast<long long>(online))
        .field("version", kServerClientVersion)
        .text();
}

std::string addMessage(int desk, int seat, std::string_view name, std::string_view code,
                       bool creator) {
    MessageWriter writer("add");
    writer.field("desk", desk).field("site", seat).field("name", name);
    if (!code.empty()) {
        writer.field("code", code);
        if (creator) {
            writer.field("creator", 1);
        }
    }
    return writer.text();
}

std::string changeMessage(const std::array<SeatLine, 4>& seats) {
    return MessageWriter("change").info(seats, "ready").text();
}

std::string startMessage(const std::vector<int>& hand) {
    return MessageWriter("start").field("cards", cardText(hand)).text();
}

std::string gameMessage(int per, std::size_t surplus, const std::vector<int>& cards, int score,
                        int now, bool must) {
    return MessageWriter("game")
        .field("per", per)
        .field("surplus", static_cast<long long>(surplus))
        .field("cards", cardText(cards))
        .field("score", score)
        .field("now", now)
        .field("must", must ? 1 : 0)
        .text();
}

std::string scoreMessage(int p0, int p1) {
    return MessageWriter("score").field("p0", p0).field("p1", p1).text();
}

std::string overMessage(const std::array<SeatLine, 4>& seats) {
    return MessageWriter("over").info(seats, "result").text();
}

std::string runMessage(int seat, std::string_view name) {
    return MessageWriter("run").field("site", seat).field("name", name).text();
}

std::string timeoutMessage() {
    return MessageWriter("timeout").text();
}

std::string talkMessage(int seat, int say) {
    return MessageWriter("talk").field("site", seat).field("say", say).text();
}

namespace {

void nameFields(MessageWriter& writer, const NameAnswer& answer) {
    if (!answer.error.empty()) {
        writer.field("nameError", answer.error);
    } else if (!answer.name.empty()) {
        writer.field("name", answer.name);
    }
}

}  // namespace

std::string helloOkMessage(bool resume, bool records, const NameAnswer& name) {
    MessageWriter writer("hello");
    writer.field("status", "ok").field("resume", resume ? 1 : 0);
    if (records) {
        writer.field("records", 1);
    }
    writer.field("talk", 1).field("names", 1).field("private", 1).field("watch", 1);
    nameFields(writer, name);
    return writer.text();
}

std::string joinRefusedMessage(std::string_view reason, long long retrySeconds) {
    return refusedMessage("join", reason, retrySeconds);
}

std::string createRefusedMessage(std::string_view reason) {
    return refusedMessage("create", reason, -1);
}

std::string helloRefusedMessage(std::string_view reason, long long retrySeconds,
                                const NameAnswer& name) {
    MessageWriter writer("hello");
    writer.field("status", "refused").field("reason", reason);
    if (retrySeconds >= 0) {
        writer.field("retry", retrySeconds);
    }
    nameFields(writer, name);
    return writer.text();
}

std::string nameMessage(const NameAnswer& answer) {
    MessageWriter writer("name");
    nameFields(writer, answer);
    return writer.text();
}

std::string presenceMessage(const std::array<PresenceLine, 4>& seats) {
    return MessageWriter("presence")
        .array("info", seats,
               [](MessageWriter& w, const PresenceLine& seat) {
                   w.field("away", seat.away ? 1 : 0).field("auto", seat.autoPlay ? 1 : 0);
               })
        .text();
}

namespace {

// Every key of "resume" after "name": "playing", a private desk's "code" (and "creator" for a
// seat), "info", the seat's hand as "cards" (only for a seat), then the table. A spectator's
// snapshot (seat -1) gives the keys that belong to no seat.
void snapshotFields(MessageWriter& writer, const RejoinSnapshot& s) {
    const bool seated = s.seat >= 0;
    writer.field("playing", s.playing ? 1 : 0);
    if (!s.code.empty()) {
        writer.field("code", s.code);
        if (seated) {
            writer.field("creator", s.creator ? 1 : 0);
        }
    }
    writer.array("info", s.seats, [](MessageWriter& w, const SnapshotSeat& seat) {
        w.field("name", seat.name)
            .field("ready", seat.ready ? 1 : 0)
            .field("away", seat.away ? 1 : 0)
            .field("auto", seat.autoPlay ? 1 : 0)
            .field("surplus", seat.surplus < 0 ? std::string() : std::to_string(seat.surplus))
            .field("cards", cardText(seat.cards))
            .field("pass", seat.pass ? 1 : 0);
    });
    if (seated) {
        writer.field("cards", cardText(s.hand));
    }
    writer.field("seen", cardText(s.seen))
        .field("last", cardText(s.lastPlay))
        .field("lastsite", s.lastSeat)
        .field("score", s.tablePoints)
        .field("p0", s.teamPoints[0])
        .field("p1", s.teamPoints[1])
        .field("now", s.turn)
        .field("must", s.mustLead ? 1 : 0)
        .field("left", s.leftMs);
}

}  // namespace

std::string resumeMessage(const RejoinSnapshot& s) {
    MessageWriter writer("resume");
    writer.field("desk", s.desk).field("site", s.seat).field("name", s.name);
    snapshotFields(writer, s);
    return writer.text();
}

std::string desksMessage(const std::vector<WatchListEntry>& desks) {
    return MessageWriter("desks")
        .array("info", desks,
               [](MessageWriter& w, const WatchListEntry& desk) {
                   w.field("desk", desk.desk)
                       .field("p0", desk.teamPoints[0])
                       .field("p1", desk.teamPoints[1])
                       .field("seconds", desk.seconds)
                       .field("watchers", desk.watchers)
                       .array("seats", desk.seats, [](MessageWriter& s, const WatchSeat& seat) {
                           s.field("name", seat.name).field("bot", seat.bot ? 1 : 0);
                       });
               })
        .text();
}

std::string watchMessage(const RejoinSnapshot& snapshot, int watchers) {
    MessageWriter writer("watch");
    writer.field("status", "ok").field("desk", snapshot.desk).field("watchers", watchers);
    snapshotFields(writer, snapshot);
    return writer.text();
}

std::string watchRefusedMessage(std::string_view reason, long long retrySeconds) {
    return refusedMessage("watch", reason, retrySeconds);
}

std::string sitRefusedMessage(std::string_view reason) {
    return refusedMessage("sit", reason, -1);
}

std::string watchersMessage(int count) {
    return MessageWriter("watchers").field("count", count).text();
}

std::string unwatchClosedMessage() {
    return MessageWriter("unwatch").field("reason", kUnwatchClosed).text();
}

std::string computerName(std::string_view level) {
    return "computer (" + std::string(level) + ")";
}

std::string recordMessage(const RecordFigures& figures, const std::vector<RecordGame>& last) {
    return MessageWriter(kRecordOpt)
        .field("games", figures.games)
        .field("wins", figures.wins)
        .field("draws", figures.draws)
        .field("losses", figures.losses)
        .field("points", figures.points)
        .field("rating", figures.rating)
        .array("last", last,
               [](MessageWriter& w, const RecordGame& game) {
                   w.field("when", game.when)
                       .field("result", game.result)
                       .field("points", game.points)
                       .field("partner", game.partner)
                       .field("opponents", game.opponents);
               })
        .text();
}

std::string leaderboardMessage(const std::vector<LeaderLine>& top, int ownPlace) {
    return MessageWriter(kLeaderboardOpt)
        .array("top", top,
               [](MessageWriter& w, const LeaderLine& line) {
                   w.field("place", line.place)
                       .field("name", line.name)
                       .field("rating", line.rating)
                       .field("games", line.games);
               })
        .field("place", ownPlace)
        .text();
}

std::string noRecordsMessage(std::string_view opt) {
    return MessageWriter(opt).field("status", "none").text();
}

}  // namespace server

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
        m_writer.Key("info");
        m_writer.StartArray();
        for (const auto& seat : seats) {
            m_writer.StartObject();
            field("name", seat.name);
            field(valueKey, seat.value);
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

std::string addMessage(int desk, int seat, std::string_view name) {
    return MessageWriter("add").field("desk", desk).field("site", seat).field("name", name).text();
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

}  // namespace server

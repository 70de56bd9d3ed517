#include "net/OutgoingMessages.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "cards/CardCode.h"

namespace {

// `text` as a JSON string, quotes and escapes included.
std::string jsonString(const std::string& text) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    writer.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
    return std::string(buffer.GetString(), buffer.GetSize());
}

// {"opt":"change","type":"<type>","desk":D,"site":S}
std::string changeMessage(const char* type, int desk, int site) {
    return std::string(R"({"opt":"change","type":")") + type + R"(","desk":)" +
           std::to_string(desk) + R"(,"site":)" + std::to_string(site) + "}";
}

// {"opt":"game","desk":D,"site":S,"cards":"<cardList>"}
std::string gameMessage(int desk, int site, const std::string& cardList) {
    return R"({"opt":"game","desk":)" + std::to_string(desk) + R"(,"site":)" +
           std::to_string(site) + R"(,"cards":")" + cardList + R"("})";
}

}  // namespace

std::string queryMessage() { return R"({"opt":"query"})"; }

std::string addMessage() { return R"({"opt":"add"})"; }

std::string readyMessage(int desk, int site) { return changeMessage("ready", desk, site); }

std::string leaveMessage(int desk, int site) { return changeMessage("leave", desk, site); }

std::string passMessage(int desk, int site) { return gameMessage(desk, site, ""); }

std::string playMessage(int desk, int site, const std::vector<int>& codes) {
    std::string cardList;
    formatCardList(codes, cardList);
    return gameMessage(desk, site, cardList);
}

std::string leadMessage(int desk, int site, int code) {
    return gameMessage(desk, site, std::to_string(code));
}

std::string helloMessage(const std::string& token, const std::string& name) {
    std::string text = R"({"opt":"hello","token":")" + token + '"';
    if (!name.empty()) {
        text += R"(,"name":)" + jsonString(name);
    }
    return text + "}";
}

std::string nameMessage(const std::string& name) {
    return R"({"opt":"name","name":)" + jsonString(name) + "}";
}

std::string autoMessage(int desk, int site, bool on) {
    return R"({"opt":"auto","desk":)" + std::to_string(desk) + R"(,"site":)" +
           std::to_string(site) + R"(,"on":)" + (on ? "1" : "0") + "}";
}

std::string recordMessage() { return R"({"opt":"record"})"; }

std::string leaderboardMessage() { return R"({"opt":"leaderboard"})"; }

std::string createDeskMessage() { return R"({"opt":"create"})"; }

std::string joinDeskMessage(const std::string& code) {
    return R"({"opt":"join","code":")" + code + R"("})";
}

std::string botsMessage(int desk, int site, const std::string& level) {
    return R"({"opt":"bots","desk":)" + std::to_string(desk) + R"(,"site":)" +
           std::to_string(site) + R"(,"level":")" + level + R"("})";
}

std::string talkMessage(int desk, int site, int say) {
    return R"({"opt":"talk","desk":)" + std::to_string(desk) + R"(,"site":)" +
           std::to_string(site) + R"(,"say":)" + std::to_string(say) + "}";
}

std::string desksMessage() { return R"({"opt":"desks"})"; }

std::string watchDeskMessage(int desk) {
    return R"({"opt":"watch","desk":)" + std::to_string(desk) + "}";
}

std::string watchCodeMessage(const std::string& code) {
    return R"({"opt":"watch","code":)" + jsonString(code) + "}";
}

std::string unwatchMessage() { return R"({"opt":"unwatch"})"; }

std::string sitMessage() { return R"({"opt":"sit"})"; }

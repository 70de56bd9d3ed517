#include "Script.h"

namespace {

std::string gameText(int per, int surplus, const std::string& cards, int now) {
    return R"({"opt":"game","per":")" + std::to_string(per) + R"(","surplus":")" +
           std::to_string(surplus) + R"(","cards":")" + cards + R"(","score":"0","now":")" +
           std::to_string(now) + R"(","must":"0"})";
}

}  // namespace

std::vector<std::string> dealtDeskScript() {
    std::string hand;
    for (int code = 0; code < 27; ++code) {
        hand += std::to_string(code * 2) + ",";
    }
    std::string seats;
    for (int seat = 0; seat < 4; ++seat) {
        seats += std::string(seat ? "," : "") + R"({"name":"seat)" + std::to_string(seat) +
                 R"(","ready":"1"})";
    }
    return {
        R"({"opt":"add","desk":"0","site":"0","name":"bench"})",
        R"({"opt":"change","info":[)" + seats + "]}",
        R"({"opt":"start","cards":")" + hand + R"("})",
        gameText(-1, 27, "", 1),
    };
}

std::vector<std::string> playBurstScript(int count) {
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i) {
        const int per = 1 + i % 3;
        const int card = 1 + (i * 2) % 53;
        texts.push_back(gameText(per, 26 - i / 3, std::to_string(card) + ",", per % 3 + 1));
    }
    return texts;
}

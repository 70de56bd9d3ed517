#include "net/OutgoingMessages.h"

#include <gtest/gtest.h>

namespace {

TEST(OutgoingMessages, ExactTexts) {
    struct Row {
        std::string built;
        const char* expected;
    };
    const Row rows[] = {
        {queryMessage(), R"({"opt":"query"})"},
        {addMessage(), R"({"opt":"add"})"},
        {readyMessage(7, 2), R"({"opt":"change","type":"ready","desk":7,"site":2})"},
        {leaveMessage(7, 2), R"({"opt":"change","type":"leave","desk":7,"site":2})"},
        {passMessage(7, 2), R"({"opt":"game","desk":7,"site":2,"cards":""})"},
        {playMessage(7, 2, {4, 17}), R"({"opt":"game","desk":7,"site":2,"cards":"4,17,"})"},
        {leadMessage(7, 2, 4), R"({"opt":"game","desk":7,"site":2,"cards":"4"})"},
        {readyMessage(3, 1), R"({"opt":"change","type":"ready","desk":3,"site":1})"},
        {leaveMessage(3, 1), R"({"opt":"change","type":"leave","desk":3,"site":1})"},
        {passMessage(3, 1), R"({"opt":"game","desk":3,"site":1,"cards":""})"},
        {playMessage(3, 1, {53}), R"({"opt":"game","desk":3,"site":1,"cards":"53,"})"},
        {playMessage(3, 1, {0, 0, 52, 53}),
         R"({"opt":"game","desk":3,"site":1,"cards":"0,0,52,53,"})"},
        {leadMessage(3, 1, 0), R"({"opt":"game","desk":3,"site":1,"cards":"0"})"},
        {readyMessage(12, 0), R"({"opt":"change","type":"ready","desk":12,"site":0})"},
        {readyMessage(-1, -1), R"({"opt":"change","type":"ready","desk":-1,"site":-1})"},
        {helloMessage("0123456789abcdef0123456789abcdef"),
         R"({"opt":"hello","token":"0123456789abcdef0123456789abcdef"})"},
        {helloMessage("0123456789abcdef0123456789abcdef", "小明"),
         R"({"opt":"hello","token":"0123456789abcdef0123456789abcdef","name":"小明"})"},
        {nameMessage("阿强"), R"({"opt":"name","name":"阿强"})"},
        {nameMessage(R"(a"b\c)"), R"({"opt":"name","name":"a\"b\\c"})"},
        {autoMessage(7, 2, true), R"({"opt":"auto","desk":7,"site":2,"on":1})"},
        {autoMessage(7, 2, false), R"({"opt":"auto","desk":7,"site":2,"on":0})"},
        {autoMessage(12, 0, true), R"({"opt":"auto","desk":12,"site":0,"on":1})"},
        {recordMessage(), R"({"opt":"record"})"},
        {unwatchMessage(), R"({"opt":"unwatch"})"},
        {sitMessage(), R"({"opt":"sit"})"},
        {talkMessage(7, 2, 0), R"({"opt":"talk","desk":7,"site":2,"say":0})"},
        {talkMessage(0, 3, 13), R"({"opt":"talk","desk":0,"site":3,"say":13})"},
        {leaderboardMessage(), R"({"opt":"leaderboard"})"},
        {createDeskMessage(), R"({"opt":"create"})"},
        {joinDeskMessage("012345"), R"({"opt":"join","code":"012345"})"},
        {botsMessage(4, 0, "hard"), R"({"opt":"bots","desk":4,"site":0,"level":"hard"})"},
        {botsMessage(12, 3, "easy"), R"({"opt":"bots","desk":12,"site":3,"level":"easy"})"},
        {desksMessage(), R"({"opt":"desks"})"},
        {watchDeskMessage(3), R"({"opt":"watch","desk":3})"},
        {watchDeskMessage(117), R"({"opt":"watch","desk":117})"},
        {watchCodeMessage("004217"), R"({"opt":"watch","code":"004217"})"},
        {watchCodeMessage(R"(1"2)"), R"({"opt":"watch","code":"1\"2"})"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.built, row.expected);
    }
}

}  // namespace

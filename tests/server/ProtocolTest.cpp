#include <gtest/gtest.h>

#include "server/protocol/ClientRequest.h"
#include "server/protocol/ServerMessages.h"
#include "tests/server/WireCheck.h"

namespace {

using server::ClientRequest;
using Kind = ClientRequest::Kind;

TEST(ClientRequestParse, ReadsEveryTextTheClientSends) {
    struct Row {
        const char* text;
        Kind kind;
        int desk;
        int seat;
        std::vector<int> cards;
    };
    const Row rows[] = {
        {R"({"opt":"query"})", Kind::Query, -1, -1, {}},
        {R"({"opt":"add"})", Kind::Add, -1, -1, {}},
        {R"({"opt":"change","type":"ready","desk":7,"site":2})", Kind::Ready, 7, 2, {}},
        {R"({"opt":"change","type":"leave","desk":0,"site":3})", Kind::Leave, 0, 3, {}},
        {R"({"opt":"game","desk":7,"site":2,"cards":""})", Kind::Play, 7, 2, {}},
        {R"({"opt":"game","desk":7,"site":2,"cards":"4,17,"})", Kind::Play, 7, 2, {4, 17}},
        {R"({"opt":"game","desk":3,"site":1,"cards":"4"})", Kind::Play, 3, 1, {4}},
        {R"({"extra":[1],"opt":"game","site":1,"desk":3,"cards":"8,9"})", Kind::Play, 3, 1, {8, 9}},
    };
    for (const Row& row : rows) {
        const auto request = server::parseClientRequest(row.text);
        ASSERT_TRUE(request.has_value()) << row.text;
        EXPECT_EQ(request->kind, row.kind) << row.text;
        EXPECT_EQ(request->desk, row.desk) << row.text;
        EXPECT_EQ(request->seat, row.seat) << row.text;
        EXPECT_EQ(request->cards, row.cards) << row.text;
    }
}

TEST(ClientRequestParse, RefusesMalformedTexts) {
    const char* rows[] = {
        "",
        "{",
        "not json",
        "[1,2]",
        "\"query\"",
        R"({"opt":1})",
        R"({"op":"query"})",
        R"({"opt":"Query"})",
        R"({"opt":"timeout"})",
        R"({"opt":"change","type":"ready","desk":"7","site":2})",
        R"({"opt":"change","type":"ready","desk":7})",
        R"({"opt":"change","type":"sit","desk":7,"site":2})",
        R"({"opt":"change","desk":7,"site":2})",
        R"({"opt":"game","desk":7,"site":2})",
        R"({"opt":"game","desk":7,"site":2,"cards":[4]})",
        R"({"opt":"game","desk":7.5,"site":2,"cards":""})",
        R"({"opt":"game","desk":99999999999,"site":2,"cards":""})",
    };
    for (const char* text : rows) {
        EXPECT_FALSE(server::parseClientRequest(text).has_value()) << text;
    }
    // Nesting this deep once overflowed the event loop's stack in a recursive parse.
    EXPECT_FALSE(server::parseClientRequest(std::string(300000, '[') + std::string(300000, ']')));
    EXPECT_FALSE(server::parseClientRequest(std::string(1 << 20, '{')));
}

TEST(ServerMessages, ExactTexts) {
    EXPECT_EQ(server::queryMessage(12), R"({"opt":"query","online":"12","version":"28"})");
    EXPECT_EQ(server::addMessage(5, 2, "x"), R"({"opt":"add","desk":"5","site":"2","name":"x"})");
    EXPECT_EQ(
        server::gameMessage(-1, 27, {}, 0, 3, true),
        R"({"opt":"game","per":"-1","surplus":"27","cards":"","score":"0","now":"3","must":"1"})");
    EXPECT_EQ(server::scoreMessage(30, 45), R"({"opt":"score","p0":"30","p1":"45"})");
    EXPECT_EQ(server::runMessage(1, "bob"), R"({"opt":"run","site":"1","name":"bob"})");
    EXPECT_EQ(server::timeoutMessage(), R"({"opt":"timeout"})");
}

TEST(ServerMessages, TheClientDecodesThemWithNamesEscaped) {
    const std::string awkward = "a\"b\\c\n\xe7\x8e\xa9";
    std::array<server::SeatLine, 4> seats{{{awkward, 1}, {"", 0}, {"bot2", 1}, {"x", 0}}};
    stMsg msg;
    ASSERT_TRUE(decodesForClient(server::changeMessage(seats), msg));
    EXPECT_EQ(msg.info[0].name, awkward);
    EXPECT_EQ(msg.info[0].ready, 1);
    EXPECT_EQ(msg.info[1].name, "");
    EXPECT_EQ(msg.info[2].ready, 1);

    seats[0].value = -2;
    ASSERT_TRUE(decodesForClient(server::overMessage(seats), msg));
    EXPECT_EQ(msg.opt, "over");
    EXPECT_EQ(msg.info[0].result, -2);

    ASSERT_TRUE(decodesForClient(server::gameMessage(2, 25, {8, 9}, 10, 3, false), msg));
    EXPECT_EQ(msg.per, 2);
    EXPECT_EQ(msg.surplus, "25");
    EXPECT_EQ(msg.cards, "8,9,");
    EXPECT_EQ(msg.score, 10);
    EXPECT_EQ(msg.now, 3);
    EXPECT_EQ(msg.must, 0);

    ASSERT_TRUE(decodesForClient(server::startMessage({0, 4, 53}), msg));
    EXPECT_EQ(msg.cards, "0,4,53,");
}

}  // namespace

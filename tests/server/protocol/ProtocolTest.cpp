#include <gtest/gtest.h>

#include <optional>

#include "server/protocol/ClientRequest.h"
#include "server/protocol/ServerMessages.h"
#include "tests/server/protocol/ServerFields.h"
#include "tests/server/protocol/WireCheck.h"

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
        {R"({"opt":"auto","desk":3,"site":1,"on":1})", Kind::Auto, 3, 1, {}},
        {R"({"opt":"auto","desk":3,"site":1,"on":0})", Kind::Auto, 3, 1, {}},
        {R"({"opt":"hello","token":"0123456789abcdef0123456789abcdef"})", Kind::Hello, -1, -1, {}},
        {R"({"opt":"create"})", Kind::Create, -1, -1, {}},
        {R"({"opt":"join","code":"012345"})", Kind::Join, -1, -1, {}},
        {R"({"opt":"bots","desk":4,"site":0,"level":"hard"})", Kind::Bots, 4, 0, {}},
        {R"({"opt":"name","name":"x"})", Kind::Name, -1, -1, {}},
        {R"({"opt":"desks"})", Kind::Desks, -1, -1, {}},
        {R"({"opt":"watch","desk":3})", Kind::Watch, 3, -1, {}},
        {R"({"opt":"watch","code":"123456"})", Kind::Watch, -1, -1, {}},
        {R"({"opt":"unwatch"})", Kind::Unwatch, -1, -1, {}},
        {R"({"opt":"sit"})", Kind::Sit, -1, -1, {}},
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
        R"({"opt":"hello"})",
        R"({"opt":"hello","token":12})",
        R"({"opt":"hello","token":null})",
        R"({"opt":"auto","desk":3,"site":1})",
        R"({"opt":"auto","desk":3,"site":1,"on":"1"})",
        R"({"opt":"auto","desk":3,"site":1,"on":true})",
        R"({"opt":"auto","desk":3,"site":1,"on":1.5})",
        R"({"opt":"auto","site":1,"on":1})",
        R"({"opt":"talk","site":1,"say":1})",
        R"({"opt":"talk","desk":3,"say":1})",
        R"({"opt":"join"})",
        R"({"opt":"join","code":123456})",
        R"({"opt":"bots","desk":4,"site":0})",
        R"({"opt":"bots","desk":4,"site":0,"level":2})",
        R"({"opt":"bots","site":0,"level":"easy"})",
        R"({"opt":"name"})",
        R"({"opt":"name","name":7})",
        R"({"opt":"name","name":null})",
        R"({"opt":"watch"})",
        R"({"opt":"watch","desk":"3"})",
        R"({"opt":"watch","desk":null,"code":"123456"})",
        R"({"opt":"watch","code":123456})",
    };
    for (const char* text : rows) {
        EXPECT_FALSE(server::parseClientRequest(text).has_value()) << text;
    }
    // Nesting this deep once overflowed the event loop's stack in a recursive parse.
    EXPECT_FALSE(server::parseClientRequest(std::string(300000, '[') + std::string(300000, ']')));
    EXPECT_FALSE(server::parseClientRequest(std::string(1 << 20, '{')));
}

// The hall judges a code's digits and a level's name; the reading keeps what was sent. A watch
// is by its code only when it names no desk.
TEST(ClientRequestParse, JoinAndBotsKeepTheirTextAsSent) {
    struct Row {
        const char* text;
        std::string code;
        std::string level;
        bool byCode = false;
    };
    const Row rows[] = {
        {R"({"opt":"join","code":"000042"})", "000042", ""},
        {R"({"opt":"join","code":"12 34"})", "12 34", ""},
        {R"({"opt":"join","code":""})", "", ""},
        {R"({"opt":"bots","desk":1,"site":2,"level":"expert"})", "", "expert"},
        {R"({"opt":"watch","code":"000042"})", "000042", "", true},
        {R"({"opt":"watch","desk":0,"code":"111111"})", "", ""},
    };
    for (const Row& row : rows) {
        const auto request = server::parseClientRequest(row.text);
        ASSERT_TRUE(request.has_value()) << row.text;
        EXPECT_EQ(request->code, row.code) << row.text;
        EXPECT_EQ(request->level, row.level) << row.text;
        EXPECT_EQ(request->byCode, row.byCode) << row.text;
    }
}

TEST(ClientRequestParse, HelloKeepsAnyTokenTextAndAutoReadsOnAsAFlag) {
    struct Row {
        const char* text;
        std::string token;
        bool on;
    };
    const Row rows[] = {
        {R"({"opt":"hello","token":"ABCDEF"})", "ABCDEF", false},  // the hall judges the token
        {R"({"opt":"hello","token":""})", "", false},
        {R"({"opt":"auto","desk":0,"site":2,"on":1})", "", true},
        {R"({"opt":"auto","desk":0,"site":2,"on":-7})", "", true},
        {R"({"opt":"auto","desk":0,"site":2,"on":0})", "", false},
    };
    for (const Row& row : rows) {
        const auto request = server::parseClientRequest(row.text);
        ASSERT_TRUE(request.has_value()) << row.text;
        EXPECT_EQ(request->token, row.token) << row.text;
        EXPECT_EQ(request->on, row.on) << row.text;
    }
}

// The name travels as sent: the hall checks it. In a hello it is optional (an older client sends
// none), and a hello whose "name" is not a string is a hello without one.
TEST(ClientRequestParse, NameAsSentOrNone) {
    struct Row {
        const char* text;
        std::optional<std::string> name;
    };
    const Row rows[] = {
        {R"({"opt":"hello","token":"t"})", std::nullopt},
        {R"({"opt":"hello","token":"t","name":"小明"})", "小明"},
        {R"({"opt":"hello","token":"t","name":"  "})", "  "},
        {R"({"opt":"hello","token":"t","name":12})", std::nullopt},
        {R"({"opt":"name","name":"\u200b"})", "\xE2\x80\x8B"},
        {R"({"opt":"name","name":""})", ""},
    };
    for (const Row& row : rows) {
        const auto request = server::parseClientRequest(row.text);
        ASSERT_TRUE(request.has_value()) << row.text;
        EXPECT_EQ(request->name, row.name) << row.text;
    }
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
    EXPECT_EQ(server::talkMessage(2, 13), R"({"opt":"talk","site":"2","say":"13"})");
    EXPECT_EQ(
        server::changeMessage({{{"a", 1}, {"", 0}, {"bot2", 1}, {"b", 0}}}),
        R"({"opt":"change","info":[{"name":"a","ready":"1"},{"name":"","ready":"0"},)"
        R"({"name":"bot2","ready":"1"},{"name":"b","ready":"0"}]})");
}

TEST(ServerMessages, RejoinTexts) {
    EXPECT_EQ(server::helloOkMessage(false),
              R"({"opt":"hello","status":"ok","resume":"0","talk":"1","names":"1","private":"1","watch":"1"})");
    EXPECT_EQ(server::helloOkMessage(true),
              R"({"opt":"hello","status":"ok","resume":"1","talk":"1","names":"1","private":"1","watch":"1"})");
    EXPECT_EQ(server::helloOkMessage(false, true),
              R"({"opt":"hello","status":"ok","resume":"0","records":"1","talk":"1","names":"1","private":"1","watch":"1"})");
    EXPECT_EQ(server::helloOkMessage(false, false, {"小明2", {}}),
              R"({"opt":"hello","status":"ok","resume":"0","talk":"1","names":"1","private":"1","watch":"1","name":"小明2"})");
    EXPECT_EQ(server::helloRefusedMessage(server::kHelloBadToken, -1, {{}, "too long"}),
              R"({"opt":"hello","status":"refused","reason":"bad token","nameError":"too long"})");
    EXPECT_EQ(server::nameMessage({"a\"b", {}}), R"({"opt":"name","name":"a\"b"})");
    EXPECT_EQ(server::nameMessage({{}, server::kNameInGame}),
              R"({"opt":"name","nameError":"in a game"})");
    EXPECT_EQ(server::helloRefusedMessage(server::kHelloBadToken),
              R"({"opt":"hello","status":"refused","reason":"bad token"})");
    EXPECT_EQ(server::helloRefusedMessage(server::kHelloTooMany, 42),
              R"({"opt":"hello","status":"refused","reason":"too many reconnects","retry":"42"})");
    EXPECT_EQ(server::presenceMessage({{{false, false}, {true, false}, {false, true}, {true, true}}}),
              R"({"opt":"presence","info":[{"away":"0","auto":"0"},{"away":"1","auto":"0"},)"
              R"({"away":"0","auto":"1"},{"away":"1","auto":"1"}]})");

    server::RejoinSnapshot between;
    between.desk = 5;
    between.seat = 2;
    between.name = "ann";
    between.seats[2] = server::SnapshotSeat{"ann", true, false, false, -1, {}, false};
    EXPECT_EQ(server::resumeMessage(between),
              R"({"opt":"resume","desk":"5","site":"2","name":"ann","playing":"0","info":[)"
              R"({"name":"","ready":"0","away":"0","auto":"0","surplus":"","cards":"","pass":"0"},)"
              R"({"name":"","ready":"0","away":"0","auto":"0","surplus":"","cards":"","pass":"0"},)"
              R"({"name":"ann","ready":"1","away":"0","auto":"0","surplus":"","cards":"","pass":"0"},)"
              R"({"name":"","ready":"0","away":"0","auto":"0","surplus":"","cards":"","pass":"0"}],)"
              R"("cards":"","seen":"","last":"","lastsite":"-1","score":"0","p0":"0","p1":"0",)"
              R"("now":"-1","must":"0","left":"0"})");

    server::RejoinSnapshot playing = between;
    playing.playing = true;
    playing.seats[0] = server::SnapshotSeat{"bot0", true, false, false, 20, {8, 9}, false};
    playing.seats[1] = server::SnapshotSeat{"bob", true, true, true, 3, {}, true};
    playing.seats[2].surplus = 7;
    playing.seats[3] = server::SnapshotSeat{"cy", true, false, false, 0, {}, false};
    playing.hand = {1, 2, 40};
    playing.seen = {8, 8, 9};
    playing.lastPlay = {8, 9};
    playing.lastSeat = 0;
    playing.tablePoints = 10;
    playing.teamPoints = {30, 45};
    playing.turn = 2;
    playing.leftMs = 21500;
    const std::string text = server::resumeMessage(playing);
    stMsg msg;
    ASSERT_TRUE(decodesForClient(text, msg)) << "every value a string, readable by the client";
    const std::pair<const char*, const char*> top[] = {
        {"playing", "1"}, {"cards", "1,2,40,"}, {"seen", "8,8,9,"}, {"last", "8,9,"},
        {"lastsite", "0"}, {"score", "10"}, {"p0", "30"}, {"p1", "45"},
        {"now", "2"}, {"must", "0"}, {"left", "21500"}};
    for (const auto& [key, value] : top) {
        EXPECT_EQ(fieldOf(text, key), value) << key;
    }
    EXPECT_EQ(infoOf(text, 0, "cards"), "8,9,");
    EXPECT_EQ(infoOf(text, 0, "surplus"), "20");
    EXPECT_EQ(infoOf(text, 1, "pass"), "1");
    EXPECT_EQ(infoOf(text, 1, "away"), "1");
    EXPECT_EQ(infoOf(text, 1, "auto"), "1");
    EXPECT_EQ(infoOf(text, 3, "surplus"), "0") << "a seat out of cards shows 0, not nothing";
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

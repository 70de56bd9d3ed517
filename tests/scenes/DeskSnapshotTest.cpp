// The spectator's snapshot of a desk: begun from a "watch" answer and followed through a game's
// public messages, step by step, as the texts the server sends; and the count of cards it reads.

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "net/MessageDecoder.h"
#include "scenes/desk/DeskSnapshot.h"
#include "tests/scenes/SceneTestKit.h"

namespace {

stMsg decoded(const std::string& json) {
    stMsg msg;
    EXPECT_EQ(decodeMessage(json, msg), DecodeStatus::Ok) << json;
    return msg;
}

std::string watchWithCount(const std::string& playing, const std::string& surplus) {
    return R"({"opt":"watch","status":"ok","desk":"1","watchers":"1","playing":")" + playing +
           R"(","info":[{"name":"a","surplus":")" + surplus +
           R"("},{"name":"b"},{"name":"c"},{"name":"d"}]})";
}

// What the snapshot holds after a step.
struct Expected {
    std::array<int, 4> left;
    std::array<const char*, 4> cards;
    std::array<int, 4> pass;
    int now;
    int playing;
    int score;
    const char* p0;
    const char* p1;
    bool seatFree;
};

struct Step {
    const char* what;
    std::string json;
    Expected expected;
};

}  // namespace

TEST(DeskSnapshot, FollowsAGameFromTheWatchAnswer) {
    const std::string watch =
        R"({"opt":"watch","status":"ok","desk":"5","watchers":"2","playing":"1","info":[)"
        R"({"name":"Ann","ready":"1","surplus":"12","cards":"32,33,","pass":"0"},)"
        R"({"name":"Bo","ready":"1","surplus":"15","cards":"","pass":"1"},)"
        R"({"name":"Cy","ready":"1","surplus":"9","cards":"","pass":"0"},)"
        R"({"name":"Di","ready":"1","surplus":"0","cards":"","pass":"0"}],)"
        R"("seen":"11,32,33,","last":"32,33,","lastsite":"0","score":"25","p0":"120","p1":"85",)"
        R"("now":"1","must":"0","left":"20000"})";
    const Step steps[] = {
        {"the watch answer", watch,
         {{12, 15, 9, 0}, {"32,33,", "", "", ""}, {0, 1, 0, 0}, 1, 1, 25, "120", "85", false}},
        {"Bo passes, Cy to move", gameMessage(1, "", 2, 0, "15", 25),
         {{12, 15, 9, 0}, {"32,33,", "", "", ""}, {0, 1, 0, 0}, 2, 1, 25, "120", "85", false}},
        {"Cy passes, the trick ends: Ann leads", gameMessage(2, "", 0, 1, "9", 0),
         {{12, 15, 9, 0}, {"", "", "", ""}, {0, 0, 0, 0}, 0, 1, 0, "120", "85", false}},
        {"Ann plays a pair", gameMessage(0, "4,5,", 1, 0, "10", 10),
         {{10, 15, 9, 0}, {"4,5,", "", "", ""}, {0, 0, 0, 0}, 1, 1, 10, "120", "85", false}},
        {"Bo beats it: his own table was cleared as his turn began",
         gameMessage(1, "8,9,", 2, 0, "13", 10),
         {{10, 13, 9, 0}, {"4,5,", "8,9,", "", ""}, {0, 0, 0, 0}, 2, 1, 10, "120", "85", false}},
        {"the team scores", R"({"opt":"score","p0":"130","p1":"95"})",
         {{10, 13, 9, 0}, {"4,5,", "8,9,", "", ""}, {0, 0, 0, 0}, 2, 1, 10, "130", "95", false}},
        {"a play that names no seat changes no seat", gameMessage(7, "1,", 9, 0, "1", 10),
         {{10, 13, 9, 0}, {"4,5,", "8,9,", "", ""}, {0, 0, 0, 0}, -1, 1, 10, "130", "95", false}},
        {"the result: between games",
         R"({"opt":"over","info":[{"name":"Ann","result":"1"},{"name":"Bo","result":"-1"},)"
         R"({"name":"Cy","result":"1"},{"name":"Di","result":"-1"}]})",
         {{0, 0, 0, 0}, {"", "", "", ""}, {0, 0, 0, 0}, -1, 0, 0, "0", "0", false}},
        {"Bo leaves: a seat is free", changeMessage({"Ann", "", "Cy", "Di"}),
         {{0, 0, 0, 0}, {"", "", "", ""}, {0, 0, 0, 0}, -1, 0, 0, "0", "0", true}},
        {"Eve sits", changeMessage({"Ann", "Eve", "Cy", "Di"}),
         {{0, 0, 0, 0}, {"", "", "", ""}, {0, 0, 0, 0}, -1, 0, 0, "0", "0", false}},
        {"the next game opens", gameMessage(-1, "", 3, 1, "27", 0),
         {{27, 27, 27, 27}, {"", "", "", ""}, {0, 0, 0, 0}, 3, 1, 0, "0", "0", false}},
        {"a seat's own deal changes nothing", R"({"opt":"start","cards":"1,2,3,"})",
         {{27, 27, 27, 27}, {"", "", "", ""}, {0, 0, 0, 0}, 3, 1, 0, "0", "0", false}},
    };
    DeskSnapshot snapshot;
    bool started = false;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        const stMsg msg = decoded(step.json);
        if (!started) {
            snapshot.start(msg);
            started = true;
        } else {
            snapshot.follow(msg);
        }
        const stMsg& state = snapshot.state();
        const Expected& e = step.expected;
        EXPECT_EQ(state.opt, "resume");
        EXPECT_EQ(state.site, -1) << "a spectator's snapshot names no seat of its own";
        for (int site = 0; site < 4; ++site) {
            SCOPED_TRACE(site);
            EXPECT_EQ(snapshot.cardsLeft(site), e.left[site]);
            EXPECT_EQ(state.info[site].cards, e.cards[site]);
            EXPECT_EQ(state.info[site].pass, e.pass[site]);
        }
        EXPECT_EQ(state.now, e.now);
        EXPECT_EQ(state.playing, e.playing);
        EXPECT_EQ(state.score, e.score);
        EXPECT_EQ(state.p0, e.p0);
        EXPECT_EQ(state.p1, e.p1);
        EXPECT_EQ(snapshot.seatFree(), e.seatFree);
    }
}

TEST(DeskSnapshot, PresenceAndAnEmptySeatAreFollowed) {
    DeskSnapshot snapshot;
    snapshot.start(decoded(watchWithCount("1", "20")));
    snapshot.follow(decoded(
        R"({"opt":"presence","info":[{"away":"1","auto":"1"},{"away":"0","auto":"1"},{},{}]})"));
    EXPECT_EQ(snapshot.state().info[0].away, 1);
    EXPECT_EQ(snapshot.state().info[0].auto_play, 1);
    EXPECT_EQ(snapshot.state().info[1].auto_play, 1);
    EXPECT_EQ(snapshot.state().info[2].away, 0);
    // Seat 0 left: it holds nothing and its tags go with it.
    snapshot.follow(decoded(
        R"({"opt":"change","info":[{"name":""},{"name":"b"},{"name":"c"},{"name":"d"}]})"));
    EXPECT_EQ(snapshot.cardsLeft(0), 0);
    EXPECT_EQ(snapshot.state().info[0].away, 0);
    EXPECT_EQ(snapshot.state().info[0].auto_play, 0);
    EXPECT_EQ(snapshot.state().info[1].auto_play, 1);
}

TEST(DeskSnapshot, CardsLeftReadsOnlyAPlainCountWithinADeal) {
    struct Row {
        const char* playing;
        const char* surplus;
        int site;
        int left;
    };
    const Row rows[] = {
        {"1", "27", 0, 27},  {"1", "1", 0, 1},     {"1", "0", 0, 0},    {"1", "", 0, 0},
        {"1", "abc", 0, 0},  {"1", "-3", 0, 0},    {"1", "12x", 0, 0},  {"1", " 5", 0, 0},
        {"1", "28", 0, 27},  {"1", "99999999999", 0, 0},                {"1", "12", -1, 0},
        {"1", "12", 4, 0},   {"0", "12", 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.playing) + " '" + row.surplus + "' seat " +
                     std::to_string(row.site));
        DeskSnapshot snapshot;
        snapshot.start(decoded(watchWithCount(row.playing, row.surplus)));
        EXPECT_EQ(snapshot.cardsLeft(row.site), row.left);
    }
}

// The trick history and the game summary fed short message sequences, one table each: when a
// trick ends and what it held, what a resume leaves unknown, places shared, points that agree
// with the team figures or do not.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "models/desk/GameSummary.h"
#include "models/desk/TrickHistory.h"
#include "net/Message.h"
#include "net/MessageDecoder.h"
#include "tests/scenes/SceneTestKit.h"

namespace {

stMsg decoded(const std::string& text) {
    stMsg msg;
    EXPECT_EQ(decodeMessage(text, msg), DecodeStatus::Ok) << text;
    return msg;
}

const std::string kStart = R"({"opt":"start","cards":"1,2,3"})";
const std::string kOpening = gameMessage(-1, "", 1, 1, "27");

// A resume during a game: seat 2 is out; `must` and the team points as given.
std::string resumeText(int must, const std::string& p0 = "0") {
    return R"({"opt":"resume","desk":"3","site":"1","name":"me","playing":"1","info":[)"
           R"({"name":"a","surplus":"12"},{"name":"me","surplus":"9"},)"
           R"({"name":"c","surplus":"0"},{"name":"d","surplus":"4"}],"cards":"5,6",)"
           R"("now":"3","must":")" +
           std::to_string(must) + R"(","last":"","lastsite":"-1","score":"0","p0":")" + p0 +
           R"(","p1":"0"})";
}

struct TrickCase {
    const char* name;
    std::vector<std::string> messages;
    std::vector<TrickPlay> last;  // empty: none known
};

const TrickCase kTrickCases[] = {
    {"nothing before the first trick ends",
     {kStart, kOpening, gameMessage(1, "8,9", 2, 0), gameMessage(2, "", 3, 0)},
     {}},
    {"a trick ends when the winner leads anew",
     {kStart, kOpening, gameMessage(1, "8,9", 2, 0), gameMessage(2, "", 3, 0),
      gameMessage(3, "20,21", 0, 0), gameMessage(0, "", 1, 0), gameMessage(1, "", 2, 0),
      gameMessage(2, "", 3, 1)},
     {{1, {8, 9}}, {2, {}}, {3, {20, 21}}, {0, {}}, {1, {}}, {2, {}}}},
    {"the next trick replaces it once it ends",
     {kStart, kOpening, gameMessage(1, "8", 2, 0), gameMessage(2, "", 3, 0),
      gameMessage(3, "", 0, 0), gameMessage(0, "", 1, 1), gameMessage(1, "12", 2, 0),
      gameMessage(2, "", 3, 0), gameMessage(3, "", 0, 0), gameMessage(0, "", 1, 1)},
     {{1, {12}}, {2, {}}, {3, {}}, {0, {}}}},
    {"a winner who went out: the partner leads, and the trick ends",
     {kStart, kOpening, gameMessage(1, "30", 2, 0, "0"), gameMessage(2, "", 3, 0),
      gameMessage(3, "", 0, 0), gameMessage(0, "", 3, 1)},
     {{1, {30}}, {2, {}}, {3, {}}, {0, {}}}},
    {"the play that ends the game ends no trick",
     {kStart, kOpening, gameMessage(1, "8", 2, 0), gameMessage(2, "", 3, 0),
      gameMessage(3, "", 0, 0), gameMessage(0, "", 1, 1), gameMessage(1, "40", -1, 0, "0")},
     {{1, {8}}, {2, {}}, {3, {}}, {0, {}}}},
    {"a new deal forgets the last game's trick",
     {kStart, kOpening, gameMessage(1, "8", 2, 0), gameMessage(2, "", 1, 1), kStart, kOpening},
     {}},
    {"a seat number out of range is no action",
     {kStart, kOpening, gameMessage(1, "8", 2, 0), gameMessage(7, "9", 2, 0),
      gameMessage(2, "", 1, 1)},
     {{1, {8}}, {2, {}}}},
    {"resumed midway: the trick in progress is not shown when it ends",
     {resumeText(0), gameMessage(3, "", 0, 0), gameMessage(0, "", 1, 1)},
     {}},
    {"resumed midway: the next whole trick is",
     {resumeText(0), gameMessage(3, "", 0, 0), gameMessage(0, "", 1, 1), gameMessage(1, "4", 3, 0),
      gameMessage(3, "", 0, 0), gameMessage(0, "", 1, 1)},
     {{1, {4}}, {3, {}}, {0, {}}}},
    {"resumed at a lead: the trick is seen whole",
     {resumeText(1), gameMessage(3, "7", 0, 0), gameMessage(0, "", 1, 0), gameMessage(1, "", 3, 1)},
     {{3, {7}}, {0, {}}, {1, {}}}},
};

TEST(TrickHistoryModel, FollowsTheTricksOfTheMessages) {
    for (const TrickCase& c : kTrickCases) {
        SCOPED_TRACE(c.name);
        TrickHistory history;
        for (const std::string& text : c.messages) {
            history.follow(decoded(text));
        }
        EXPECT_EQ(history.hasLast(), !c.last.empty());
        EXPECT_EQ(history.last(), c.last);
    }
}

TEST(TrickHistoryModel, TheTableHoldsEachSeatsLastCardsOrItsPass) {
    TrickHistory history;
    for (const std::string& text :
         {kStart, kOpening, gameMessage(1, "8", 2, 0), gameMessage(2, "", 3, 0),
          gameMessage(3, "12", 1, 0), gameMessage(1, "16", 2, 0), gameMessage(2, "", 3, 0),
          gameMessage(3, "", 1, 1)}) {
        history.follow(decoded(text));
    }
    const TrickHistory::Table table = history.lastTable();
    EXPECT_FALSE(table[0].has_value()) << "seat 0 did not act";
    EXPECT_EQ(table[1], std::vector<int>{16}) << "its later play";
    EXPECT_EQ(table[2], std::vector<int>{}) << "it only passed";
    EXPECT_EQ(table[3], std::vector<int>{12}) << "its play, not its pass after it";
    history.forget();
    EXPECT_FALSE(history.hasLast());
}

struct SummaryCase {
    const char* name;
    std::vector<std::string> messages;
    std::vector<int> points;          // by seat
    std::vector<std::string> places;  // by seat
    bool agree;
    int extra;
};

const std::string kOverTeam1Out =
    R"({"opt":"over","info":[{"name":"a","result":"-1"},{"name":"b","result":"1"},)"
    R"({"name":"c","result":"-1"},{"name":"d","result":"1"}]})";

const SummaryCase kSummaryCases[] = {
    {"a trick's points go to its last play's seat; the team out takes what is left",
     {kStart, kOpening, gameMessage(1, "16", 2, 0, "5", 5), gameMessage(2, "36", 3, 0, "5", 15),
      gameMessage(3, "", 0, 0, "5", 15), gameMessage(0, "", 1, 0, "5", 15),
      gameMessage(1, "", 2, 1, "5", 0), R"({"opt":"score","p0":"15","p1":"0"})",
      gameMessage(2, "4", 3, 0, "4", 0), gameMessage(3, "8", 0, 0, "0", 0),
      gameMessage(0, "", 1, 0, "4", 0), gameMessage(1, "44", -1, 0, "0", 0),
      R"({"opt":"score","p0":"15","p1":"185"})", kOverTeam1Out},
     {0, 0, 15, 0},
     {"3-4", "2", "3-4", "1"},
     true,
     185},
    {"points the team figures lack: they do not agree",
     {kStart, kOpening, gameMessage(1, "16", 2, 0, "5", 5), gameMessage(2, "", 3, 0, "5", 5),
      gameMessage(3, "", 0, 0, "5", 5), gameMessage(0, "", 1, 1, "5", 0),
      R"({"opt":"score","p0":"0","p1":"0"})", kOverTeam1Out},
     {0, 5, 0, 0},
     {"1-4", "1-4", "1-4", "1-4"},
     false,
     0},
    {"resumed after points were taken: they never agree, out seats share the first places",
     {resumeText(1, "30"), gameMessage(3, "5", 1, 0, "0", 0), gameMessage(1, "9", 3, 0, "0", 0),
      R"({"opt":"score","p0":"30","p1":"170"})", kOverTeam1Out},
     {0, 0, 0, 0},
     {"4", "3", "1", "2"},
     false,
     0},
};

TEST(GameSummaryModel, FiguresFromTheMessages) {
    for (const SummaryCase& c : kSummaryCases) {
        SCOPED_TRACE(c.name);
        GameSummary summary;
        for (const std::string& text : c.messages) {
            summary.follow(decoded(text));
        }
        ASSERT_TRUE(summary.finished());
        for (int seat = 0; seat < 4; ++seat) {
            const SummarySeat& line = summary.seats()[static_cast<std::size_t>(seat)];
            EXPECT_EQ(line.points, c.points[static_cast<std::size_t>(seat)]) << "seat " << seat;
            EXPECT_EQ(GameSummary::placeText(line), c.places[static_cast<std::size_t>(seat)])
                << "seat " << seat;
        }
        EXPECT_EQ(summary.seatsAgree(), c.agree);
        EXPECT_EQ(summary.extraPoints(), c.extra);
        EXPECT_EQ(summary.seats()[1].result, 1);
        EXPECT_EQ(summary.seats()[0].name, "a");
    }
}

}  // namespace

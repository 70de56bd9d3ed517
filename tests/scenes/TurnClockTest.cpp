// Where a turn's countdown starts: the table of TurnClock, and the desk handling a record late.

#include <chrono>

#include "engine/backend/headless/Headless.h"
#include "models/desk/TurnClock.h"
#include "net/CMessageQueue.h"
#include "net/MessageDecoder.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;
using std::chrono::milliseconds;

namespace {

TEST(TurnClock, TheCountdownStartsLessByTheRecordsAge) {
    struct Row {
        int ageMs;
        int left;     // the resume's `left`
        int game;     // turnStartSeconds
        int resumed;  // resumedTurnSeconds
    };
    const Row rows[] = {
        {0, 30000, 30, 30},   {999, 30000, 30, 30}, {1000, 30000, 29, 29}, {7400, 20000, 23, 13},
        {29999, 29999, 1, 0}, {30000, 5000, 0, 0},  {95000, 30000, 0, 0},  {0, 1, 30, 1},
        {0, 0, 30, 0},        {0, -300, 30, 0},     {0, 600000, 30, 30},   {-2000, 12500, 30, 13},
    };
    const auto now = std::chrono::steady_clock::now();
    for (const Row& row : rows) {
        stMsg msg;
        msg.arrived = now - milliseconds(row.ageMs);
        msg.left = row.left;
        EXPECT_EQ(turnStartSeconds(msg, now), row.game) << row.ageMs;
        EXPECT_EQ(resumedTurnSeconds(msg, now), row.resumed) << row.ageMs << " " << row.left;
    }
}

}  // namespace

class LateRecordTest : public SceneTest {
protected:
    // Queues the record as if its frame had arrived `ageMs` ago, and lets the desk take it.
    static void feedLate(const std::string& json, int ageMs) {
        auto msg = std::make_shared<stMsg>();
        ASSERT_EQ(decodeMessage(json, *msg), DecodeStatus::Ok);
        msg->arrived -= milliseconds(ageMs);
        CMessageQueue::getInstance()->pushMsg(std::move(msg));
        headless::stepFrames(8);
    }
};

// A "game" handled 7.4 s after it arrived: the server's timer has run 7 s already, so the local
// countdown shows 23 and runs out 24 s later, not 31.
TEST_F(LateRecordTest, ALateTurnCountsDownFromWhereTheServersTimerIs) {
    DeskProbe probe{*dealtDesk("8,12,13")};
    feedLate(gameMessage(0, "9", 1, 0), 7400);
    EXPECT_EQ(probe.seat(1).countdown->getString(), "23");
    step(22.9);
    EXPECT_TRUE(takeSent().empty());
    step(2.0);
    EXPECT_EQ(takeSent(),
              std::vector<std::string>{R"({"opt":"game","desk":3,"site":1,"cards":""})"});

    feedLate(gameMessage(1, "", 2, 0), 0);
    feedLate(gameMessage(2, "", 0, 0), 45000);
    EXPECT_EQ(probe.seat(0).countdown->getString(), "0") << "another seat's, older than a turn";
}

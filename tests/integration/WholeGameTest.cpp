// The headless client against the real desk-server: it joins from the hall, readies, and chooses
// every play through its own touch and button handlers until the result; it leaves mid-game and
// joins again; it is sent back to the hall by the server's ready timeout; and when the server
// stops in mid-game and comes back, it reconnects by itself and plays on.

#include "tests/integration/LiveServerTest.h"

using namespace engine;

class WholeGameTest : public LiveServerTest, public ::testing::WithParamInterface<int> {};

TEST_P(WholeGameTest, PlaysTwoGamesToTheirResults) {
    startServer({"--seed", std::to_string(GetParam()), "--deal", "5"});
    ASSERT_FALSE(HasFatalFailure());
    ServerProcess& server = *m_server;
    startHall();
    CDeskScene* desk = joinDesk();
    ASSERT_NE(desk, nullptr);
    DeskProbe probe{*desk};

    constexpr std::size_t kGames = 2;
    playGames(*desk, kGames);
    ASSERT_FALSE(HasFatalFailure());

    EXPECT_EQ(resultsShown(), kGames) << server.log();
    for (const auto& box : headless::messageBoxes()) {
        EXPECT_TRUE(isResultBox(box)) << box.title << ": " << box.text;
    }
    EXPECT_GT(m_plays, 0);
    // The server's count of the local player's cards agrees with the hand the desk shows.
    const std::string counted = probe.seat(probe.mySite()).count_label->getString();
    EXPECT_EQ(counted, std::to_string(probe.hand().size()));
}

INSTANTIATE_TEST_SUITE_P(Seeds, WholeGameTest, ::testing::Values(1, 2, 3));

TEST_F(LiveServerTest, LeavingMidGameReturnsToAHallThatSeatsAgain) {
    startServer({"--seed", "7"});
    ASSERT_FALSE(HasFatalFailure());
    CHallScene* hall = startHall();
    ASSERT_TRUE(
        frameUntil([&] { return HallProbe{*hall}.online()->getString() == "online:1"; }, 10));
    CDeskScene* desk = joinDealtDesk();
    ASSERT_NE(desk, nullptr);
    DeskProbe probe{*desk};

    const Size returnSize = probe.returnButton()->getContentSize();
    const Vec2 returnPoint(1024 - returnSize.width / 2, 768 - returnSize.height / 2);
    tapAt(returnPoint);
    ASSERT_EQ(headless::messageBoxes().size(), 1u);
    EXPECT_EQ(headless::messageBoxes()[0].title, "提醒");
    EXPECT_EQ(runningDesk(), desk);
    tapAt(returnPoint);
    ASSERT_TRUE(frameUntil([] { return runningHall() != nullptr; }, 10));

    CHallScene* again = runningHall();
    ASSERT_TRUE(
        frameUntil([&] { return HallProbe{*again}.online()->getString() == "online:1"; }, 10));
    CDeskScene* second = joinDesk();
    ASSERT_NE(second, nullptr) << m_server->log();
    EXPECT_TRUE(DeskProbe{*second}.ready()->isVisible());
    EXPECT_EQ(headless::messageBoxes().size(), 1u);
}

TEST_F(LiveServerTest, ReadyTimeoutSendsTheDeskBackToTheHall) {
    startServer({"--ready-timeout", "0.5"});
    ASSERT_FALSE(HasFatalFailure());
    startHall();
    CDeskScene* desk = joinDesk();
    ASSERT_NE(desk, nullptr);
    ASSERT_TRUE(frameUntil([] { return runningHall() != nullptr; }, 10)) << m_server->log();
    EXPECT_TRUE(headless::messageBoxes().empty());
    // The new hall is a working one: it seats us again.
    EXPECT_NE(joinDesk(), nullptr);
}

// The server's turn timer runs out long before the desk's countdown: the desk beats what it can
// itself and leaves every lead to the server, which then plays for the seat. The hand must still
// be what the server says the seat holds. Games follow one another until the server has led for
// the seat at least once (the first usually suffices).
TEST_F(LiveServerTest, TheHandIsWhatTheServerCountsWhenItPlaysForTheSeat) {
    startServer({"--seed", "1", "--deal", "9", "--turn-timeout", "1"});
    ASSERT_FALSE(HasFatalFailure());
    startHall();
    CDeskScene* desk = joinDesk();
    ASSERT_NE(desk, nullptr);
    DeskProbe probe{*desk};

    Label* count = probe.seat(probe.mySite()).count_label;
    std::string lastCount = count->getString();
    int checked = 0;
    int ledByServer = 0;
    bool wasOurTurn = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    while ((ledByServer == 0 || resultsShown() == 0) && resultsShown() < 4 &&
           std::chrono::steady_clock::now() < deadline) {
        if (probe.ready()->isVisible()) {
            tapAt(kReady);
        }
        const bool ourTurn = probe.play()->isVisible();
        if (ourTurn && !wasOurTurn) {
            if (probe.lastPlay().empty()) {
                ++ledByServer;
            } else {
                takeTurn(probe);
                ASSERT_FALSE(HasFatalFailure());
            }
        }
        wasOurTurn = ourTurn;
        frame();
        // The server's word on the seat: the hand then holds exactly what it counts.
        if (count->getString() != lastCount) {
            lastCount = count->getString();
            if (!lastCount.empty()) {
                EXPECT_EQ(lastCount, std::to_string(probe.hand().size())) << m_server->log();
                ++checked;
            }
        }
    }
    EXPECT_GT(resultsShown(), 0u) << m_server->log();
    EXPECT_GT(ledByServer, 0);
    EXPECT_GT(checked, 2);
}

TEST_F(LiveServerTest, ServerGoneMidGameAndBackTheClientReconnectsAndPlaysOn) {
    startServer({"--seed", "7"});
    ASSERT_FALSE(HasFatalFailure());
    const std::string port = std::to_string(m_server->port());
    startHall();
    CDeskScene* desk = joinDealtDesk();
    ASSERT_NE(desk, nullptr);

    m_server.reset();  // stopped in mid-game
    ASSERT_TRUE(frameUntil([] { return !headless::messageBoxes().empty(); }, 10));
    std::vector<std::string> shown;
    for (const auto& box : headless::messageBoxes()) {
        shown.push_back(box.text + " / " + box.title);
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"从服务器接收数据错误. / error"}));
    EXPECT_EQ(runningDesk(), desk) << "the desk stays, under the reconnect panel";

    m_server.emplace(DESK_SERVER_PATH, std::vector<std::string>{"--port", port, "--seed", "8",
                                                                "--deal", "5", "--bot-delay",
                                                                "0", "--bot-wait", "0"});
    ASSERT_TRUE(m_server->running()) << "port " << port << " could not be had again";
    ASSERT_TRUE(frameUntil([] { return runningHall() != nullptr; }, 20))
        << "the client reconnected by itself";
    CHallScene* hall = runningHall();
    ASSERT_TRUE(
        frameUntil([&] { return HallProbe{*hall}.online()->getString() == "online:1"; }, 10))
        << m_server->log();
    headless::clearRecords();
    CDeskScene* again = joinDesk();
    ASSERT_NE(again, nullptr);
    playGames(*again, 1);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(resultsShown(), 1u) << m_server->log();
}

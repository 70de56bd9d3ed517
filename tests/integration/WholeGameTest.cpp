// The headless client against the real desk-server: it joins from the hall, readies, and chooses
// every play through its own touch and button handlers until the result; it leaves mid-game and
// joins again; and it is sent back to the hall by the server's ready timeout.

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>
#include <thread>

#include "cards/CardSprite.h"
#include "cards/LegalPlays.h"
#include "engine/backend/headless/Headless.h"
#include "net/CMessageQueue.h"
#include "tests/integration/ServerProcess.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;

namespace {

const Vec2 kReady(512, 170);
const Vec2 kPlay(412, 170);
const Vec2 kPass(612, 170);

void tapAt(const Vec2& point) {
    headless::tap(point.x, point.y);
}

bool isResultBox(const headless::RecordedBox& box) {
    return box.title.rfind("游戏结束", 0) == 0;
}

std::size_t resultsShown() {
    const auto boxes = headless::messageBoxes();
    return static_cast<std::size_t>(std::count_if(boxes.begin(), boxes.end(), isResultBox));
}

}  // namespace

class LiveServerTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        // Texts go to the server for real.
        CMessageQueue::getInstance()->setSendTap(nullptr);
    }
    // The link goes quiet before the server (a member, destroyed after this) stops.
    void TearDown() override {
        CMessageQueue::getInstance()->shutdown();
        SceneTest::TearDown();
    }

    // One frame, and a little real time so the server's answers can arrive.
    static void frame() {
        headless::stepFrames(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    // Frames until `done` holds; false when `seconds` of real time pass first.
    static bool frameUntil(const std::function<bool()>& done, int seconds) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            frame();
        }
        return true;
    }

    // A fresh server with computer players that sit down and play at once, and the link to it.
    void startServer(std::vector<std::string> arguments) {
        for (const char* fast : {"--bot-delay", "0", "--bot-wait", "0"}) {
            arguments.emplace_back(fast);
        }
        m_server.emplace(DESK_SERVER_PATH, arguments);
        ASSERT_TRUE(m_server->running()) << m_server->log();
        ASSERT_TRUE(CMessageQueue::getInstance()->connectServerAt("127.0.0.1", m_server->port()));
    }

    // Quick join from the running hall; the desk the server seats us at.
    CDeskScene* joinDesk() {
        tapAt(Vec2(512, 384));
        EXPECT_TRUE(frameUntil([] { return runningDesk() != nullptr; }, 10)) << m_server->log();
        return runningDesk();
    }

    // On the local turn: raise the cards of one legal play by touching them and press play, or
    // pass when nothing beats the table.
    void takeTurn(DeskProbe& probe) {
        std::vector<int> hand;
        for (const CardSprite* card : probe.hand()) {
            hand.push_back(card->m_card);
        }
        const auto plays = legalPlays(hand, probe.lastPlay());
        if (plays.empty()) {
            ASSERT_TRUE(probe.pass()->isVisible()) << "no play, and passing is not offered";
            tapAt(kPass);
            return;
        }
        const std::vector<int>& play = plays.front();
        std::vector<bool> taken(probe.hand().size(), false);
        for (int code : play) {
            for (std::size_t i = 0; i < probe.hand().size(); ++i) {
                const CardSprite* card = probe.hand()[i];
                if (!taken[i] && card->m_card == code) {
                    taken[i] = true;
                    if (!card->m_selected) {
                        const Rect box = card->getBoundingBox();
                        headless::tap(box.getMinX() + 9, 45);
                    }
                    break;
                }
            }
        }
        std::vector<int> raised = probe.collectRaised();
        std::sort(raised.begin(), raised.end());
        ASSERT_EQ(raised, play);
        tapAt(kPlay);
        ++m_plays;
    }

    std::optional<ServerProcess> m_server;
    int m_plays = 0;
};

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
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (resultsShown() < kGames && std::chrono::steady_clock::now() < deadline) {
        ASSERT_EQ(runningDesk(), desk) << "the desk was left";
        if (probe.ready()->isVisible()) {
            tapAt(kReady);
        } else if (probe.play()->isVisible()) {
            takeTurn(probe);
            if (HasFatalFailure()) {
                return;
            }
        }
        frame();
    }

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
    CDeskScene* desk = joinDesk();
    ASSERT_NE(desk, nullptr);
    DeskProbe probe{*desk};
    ASSERT_TRUE(frameUntil([&] { return probe.ready()->isVisible(); }, 10));
    tapAt(kReady);
    ASSERT_TRUE(frameUntil([&] { return probe.hand().size() == 27u; }, 10)) << m_server->log();

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

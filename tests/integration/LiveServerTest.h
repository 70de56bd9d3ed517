#pragma once
// The headless client against the real desk-server: a fixture that starts the server as a child
// process on a free loopback port, connects the client's link to it, and plays as a person would,
// through the desk's own touch and button handlers.

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>
#include <thread>

#include "cards/LegalPlays.h"
#include "engine/backend/headless/Headless.h"
#include "net/CMessageQueue.h"
#include "scenes/common/CardSprite.h"
#include "tests/integration/ServerProcess.h"
#include "tests/integration/TurnByTouch.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/SceneTestKit.h"

inline bool isResultBox(const engine::headless::RecordedBox& box) {
    return box.title.rfind("游戏结束", 0) == 0;
}

inline std::size_t resultsShown() {
    const auto boxes = engine::headless::messageBoxes();
    return static_cast<std::size_t>(std::count_if(boxes.begin(), boxes.end(), isResultBox));
}

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
        engine::headless::stepFrames(1);
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

    // A fresh server with computer players that sit down and play at once (`arguments` may set
    // other times: the last of an option counts), and the link to it.
    void startServer(std::vector<std::string> arguments) {
        launchServer(std::move(arguments));
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(CMessageQueue::getInstance()->connectServerAt("127.0.0.1", m_server->port()));
    }
    void launchServer(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--bot-delay", "0", "--bot-wait", "0"});
        m_server.emplace(DESK_SERVER_PATH, arguments);
        ASSERT_TRUE(m_server->running()) << m_server->log();
    }

    // Quick join from the running hall; the desk the server seats us at.
    CDeskScene* joinDesk() {
        tapAt(engine::Vec2(512, 384));
        EXPECT_TRUE(frameUntil([] { return runningDesk() != nullptr; }, 10)) << m_server->log();
        return runningDesk();
    }

    // Quick join, ready, and the whole deal of 27 cards in hand; null (with a failure) otherwise.
    CDeskScene* joinDealtDesk() {
        CDeskScene* desk = joinDesk();
        if (desk == nullptr) {
            return nullptr;
        }
        DeskProbe probe{*desk};
        EXPECT_TRUE(frameUntil([&] { return probe.ready()->isVisible(); }, 10));
        tapAt(kReady);
        const bool dealt = frameUntil([&] { return probe.hand().size() == 27u; }, 10);
        EXPECT_TRUE(dealt) << m_server->log();
        return dealt ? desk : nullptr;
    }

    // On the local turn: one legal play by touch, or a pass when nothing beats the table.
    void takeTurn(DeskProbe& probe) {
        const TurnTaken taken = takeLegalTurn(probe);
        ASSERT_NE(taken, TurnTaken::NoWayToPass) << "no play, and passing is not offered";
        ASSERT_NE(taken, TurnTaken::NotRaised) << "the touches did not raise the play";
        m_plays += taken == TurnTaken::Played ? 1 : 0;
    }

    // Readies and plays at `desk` until `games` results in all have been shown (60 s at most).
    void playGames(CDeskScene& desk, std::size_t games) {
        DeskProbe probe{desk};
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (resultsShown() < games && std::chrono::steady_clock::now() < deadline) {
            ASSERT_EQ(runningDesk(), &desk) << "the desk was left";
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
    }

    std::optional<ServerProcess> m_server;
    int m_plays = 0;
};


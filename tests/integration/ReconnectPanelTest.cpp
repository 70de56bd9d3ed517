// The reconnect panel over the headless hall and desk, on a real link to a scripted loopback
// server: it appears once the link is lost, keeps the scene underneath from sending, tries on its
// back-off or at the press of its button, and hands over to a new hall.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <optional>
#include <thread>

#include "engine/backend/headless/Headless.h"
#include "net/CMessageQueue.h"
#include "tests/kit/PicturePath.h"
#include "tests/net/LinkTestSupport.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;

namespace {

const std::string kQueryFrame = frameOf(R"({"opt":"query"})");

// A listener on `port` whose accept queue is full (backlog 0, one connection never accepted), so
// the system leaves any further connect unanswered: an attempt that neither succeeds nor fails.
class CloggedListener {
public:
    explicit CloggedListener(std::uint16_t port) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        const int on = 1;
        setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        m_ready = bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                  listen(m_listener, 0) == 0 &&
                  connect(m_filler, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~CloggedListener() {
        close(m_filler);
        close(m_listener);
    }
    bool ready() const { return m_ready; }

private:
    int m_listener = socket(AF_INET, SOCK_STREAM, 0);
    int m_filler = socket(AF_INET, SOCK_STREAM, 0);
    bool m_ready = false;
};

}  // namespace

class ReconnectPanelTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        CMessageQueue::getInstance()->setSendTap(nullptr);
        m_server.emplace();
        m_port = m_server->port();
        ASSERT_TRUE(CMessageQueue::getInstance()->connectServerAt("127.0.0.1", m_port));
        ASSERT_TRUE(m_server->accept());
    }
    void TearDown() override {
        CMessageQueue::getInstance()->shutdown();
        SceneTest::TearDown();
    }

    // The server answers the hall's first query: the link has delivered, so its loss is told.
    void answerTheQuery(CHallScene* hall) {
        ASSERT_EQ(m_server->receive(kQueryFrame.size()), kQueryFrame);
        ASSERT_TRUE(m_server->send(frameOf(R"({"opt":"query","online":"1","version":"28"})")));
        ASSERT_TRUE(
            linktest::waitFor([] { return CMessageQueue::getInstance()->linkDelivered(); }));
        ASSERT_TRUE(framesUntil(
            [hall] { return HallProbe{*hall}.online()->getString() == "online:1"; }, 1));
    }

    std::optional<ScriptedServer> m_server;
    std::uint16_t m_port = 0;
};

TEST_F(ReconnectPanelTest, HallWithTheServerGoneTriesOnItsOwnAndAtThePressThenReconnects) {
    CHallScene* hall = startHall();
    answerTheQuery(hall);
    CReconnectPanel* panel = reconnectPanelOf(hall);
    ASSERT_NE(panel, nullptr);
    ReconnectProbe probe{*panel};
    EXPECT_FALSE(panel->isVisible()) << "hidden while the link is up";

    m_server.reset();  // listener and all: every attempt is refused until it is back
    ASSERT_TRUE(framesUntil([&] { return panel->isVisible(); }, 2));
    EXPECT_EQ(probe.status(), "与服务器断开连接，1 秒后重新连接");
    ASSERT_TRUE(linktest::waitForBoxes(1));
    const std::size_t lossBoxes = headless::messageBoxes().size();
    EXPECT_EQ(lossBoxes, 1u);

    // The first attempt a second later fails; the next one waits 2 s.
    ASSERT_TRUE(framesUntil([&] { return probe.status().find("连接失败") != std::string::npos; },
                            2));
    EXPECT_EQ(probe.status(), "与服务器断开连接，连接失败，2 秒后重新连接");
    // The button tries at once; that fails too, and the wait doubles.
    headless::tap(512, 384);
    ASSERT_TRUE(framesUntil([&] { return probe.status().find("，4 秒") != std::string::npos; }, 1))
        << probe.status();
    // Enter, the hall's key for quick-join, presses the reconnect button instead.
    headless::typeKey(EventKeyboard::KeyCode::KEY_ENTER);
    ASSERT_TRUE(framesUntil([&] { return probe.status().find("，8 秒") != std::string::npos; }, 1))
        << probe.status();
    EXPECT_TRUE(HallProbe{*hall}.quickJoin()->isEnabled()) << "the quick-join was not pressed";

    // Over the hall's periodic query and more: no box storm, the hall stays.
    step(12);
    EXPECT_EQ(headless::messageBoxes().size(), lossBoxes) << "failed attempts show no box";
    EXPECT_EQ(runningHall(), hall);

    m_server.emplace(m_port);
    if (m_server->port() == 0) {
        GTEST_SKIP() << "the port was taken by someone else meanwhile";
    }
    ASSERT_TRUE(framesUntil([&] { return runningHall() != hall && runningHall() != nullptr; },
                            35))
        << "an automatic attempt brings a new hall";
    ASSERT_TRUE(m_server->accept());
    EXPECT_EQ(m_server->receive(kQueryFrame.size()), kQueryFrame) << "which queries at once";
    CHallScene* again = runningHall();
    EXPECT_FALSE(reconnectPanelOf(again)->isVisible());
    headless::tap(512, 384);
    const std::string add = frameOf(R"({"opt":"add"})");
    EXPECT_EQ(m_server->receive(add.size()), add) << "the new hall's quick-join sends";
}

TEST_F(ReconnectPanelTest, DeskOverALostLinkSendsNothingAndTheNewLinkStartsInTheHall) {
    CDeskScene* desk = startDesk(3, 1);
    ASSERT_EQ(m_server->receive(kQueryFrame.size()), kQueryFrame) << "the hall before the desk";
    CReconnectPanel* panel = reconnectPanelOf(desk);
    ASSERT_NE(panel, nullptr);

    m_server->close();  // the listener stays: the first attempt will succeed
    ASSERT_TRUE(framesUntil([&] { return panel->isVisible(); }, 2));
    ASSERT_TRUE(headless::saveFrame(picturePath("reconnect_desk.png")));
    headless::tap(512, 170);  // the ready button, under the panel
    headless::typeKey(EventKeyboard::KeyCode::KEY_R);  // and its key
    EXPECT_TRUE(DeskProbe{*desk}.ready()->isVisible()) << "neither reached the desk";
    // A record left from the old link must not reach the new hall.
    push(R"({"opt":"add","desk":"9","site":"2","name":"stale"})");

    // The attempt a second later succeeds; the hall comes when the new link stayed silent for
    // CReconnectPanel::kAnswerWait (this server answers no hello).
    ASSERT_TRUE(framesUntil([] { return runningHall() != nullptr; }, 5));
    ASSERT_TRUE(m_server->accept());
    EXPECT_EQ(m_server->receive(kQueryFrame.size()), kQueryFrame)
        << "the query of the new hall comes first: the ready presses sent nothing";
    step(1);
    EXPECT_NE(runningHall(), nullptr) << "the stale seating answer was dropped";
    EXPECT_EQ(headless::messageBoxes().size(), 1u) << "only the lost link's box";
}

TEST_F(ReconnectPanelTest, AnAttemptLeftUnansweredTimesOutAndExitDoesNotWaitForIt) {
    CHallScene* hall = startHall();
    answerTheQuery(hall);
    ReconnectProbe probe{*reconnectPanelOf(hall)};
    m_server.reset();
    CloggedListener clogged(m_port);
    if (!clogged.ready()) {
        GTEST_SKIP() << "the port was taken by someone else meanwhile";
    }
    ASSERT_TRUE(framesUntil([&] { return probe.status().find("正在重新连接") != std::string::npos; },
                            3));
    EXPECT_FALSE(probe.button()->isEnabled()) << "one attempt at a time";
    // Five seconds without an answer: the attempt is given up like a refused one.
    ASSERT_TRUE(
        framesUntil([&] { return probe.status().find("连接失败") != std::string::npos; }, 6));
    EXPECT_EQ(runningHall(), hall);
    EXPECT_EQ(headless::messageBoxes().size(), 1u);

    // The next attempt hangs as well; leaving the program meanwhile does not wait for it.
    ASSERT_TRUE(framesUntil([&] { return probe.status().find("正在重新连接") != std::string::npos; },
                            3));
    const auto before = std::chrono::steady_clock::now();
    CMessageQueue::getInstance()->shutdown();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(100));
    EXPECT_EQ(CMessageQueue::getInstance()->pollReconnect(), ConnectProgress::Failed)
        << "the attempt was dropped with its socket";
}

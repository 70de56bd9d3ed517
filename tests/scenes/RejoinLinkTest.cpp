// Coming back over a real link to a scripted loopback server: the hello goes first, a resume
// leads straight back to the desk (no hall between), other answers to a new hall; and a server
// that accepts and closes at once is a failed attempt on one growing back-off, with no box and
// no new hall each time.

#include <optional>

#include "engine/backend/headless/Headless.h"
#include "net/CMessageQueue.h"
#include "net/OutgoingMessages.h"
#include "tests/net/LinkTestSupport.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;

namespace {

const std::string kToken = "00112233445566778899aabbccddeeff";
const std::string kHelloFrame = frameOf(helloMessage(kToken));
const std::string kQueryFrame = frameOf(R"({"opt":"query"})");

bool contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// Real time, no frames: the receiver thread has queued `count` records of the current link, or
// has seen it end. The frames that follow then find what a slow machine might not have read yet.
bool queued(std::size_t count) {
    return linktest::waitFor([count] { return CMessageQueue::getInstance()->queuedCount() >= count; });
}
bool linkEnded() {
    return linktest::waitFor([] { return CMessageQueue::getInstance()->receiverEnded(); });
}

}  // namespace

class RejoinLinkTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        CMessageQueue* link = CMessageQueue::getInstance();
        link->setSendTap(nullptr);
        link->setPlayerToken(kToken);
        m_server.emplace();
        ASSERT_TRUE(link->connectServerAt("127.0.0.1", m_server->port()));
        ASSERT_TRUE(m_server->accept());
    }
    void TearDown() override {
        CMessageQueue::getInstance()->shutdown();
        SceneTest::TearDown();
    }

    // A hall whose link works: the hello and the query arrived, the query was answered.
    CHallScene* hallOnAWorkingLink() {
        CHallScene* hall = startHall();
        EXPECT_EQ(m_server->receive(kHelloFrame.size() + kQueryFrame.size()),
                  kHelloFrame + kQueryFrame);
        EXPECT_TRUE(m_server->send(frameOf(R"({"opt":"query","online":"3","version":"28"})")));
        EXPECT_TRUE(queued(1));
        EXPECT_TRUE(framesUntil(
            [hall] { return HallProbe{*hall}.online()->getString() == "online:3"; }, 1));
        return hall;
    }

    // The link drops under `layer`; the panel's first attempt (a second later) is accepted and
    // its first frame is the hello.
    void dropAndAcceptTheNextLink(Node* layer) {
        m_server->close();
        ASSERT_TRUE(linkEnded());
        CReconnectPanel* panel = reconnectPanelOf(layer);
        ASSERT_TRUE(framesUntil([panel] { return panel->isVisible(); }, 1));
        ASSERT_TRUE(framesUntil(
            [] { return ReconnectProbe::phase() == CReconnectSchedule::Phase::Opened; }, 3));
        ASSERT_TRUE(m_server->accept());
        EXPECT_EQ(m_server->receive(kHelloFrame.size()), kHelloFrame) << "the hello comes first";
    }

    // Frames until a scene other than `old` runs; false when a hall ran in between or none came.
    bool straightToADesk(const Node* old, bool& hallSeen) {
        return framesUntil(
            [&] {
                hallSeen = hallSeen || runningHall() != nullptr;
                return runningDesk() != nullptr && runningDesk() != old;
            },
            3);
    }

    std::optional<ScriptedServer> m_server;
};

TEST_F(RejoinLinkTest, FromTheDeskAResumeLeadsStraightBackToTheSeat) {
    hallOnAWorkingLink();
    push(R"({"opt":"add","desk":"7","site":"2","name":"me"})");
    ASSERT_TRUE(framesUntil([] { return runningDesk() != nullptr; }, 1));
    CDeskScene* desk = runningDesk();
    dropAndAcceptTheNextLink(desk);
    ASSERT_FALSE(HasFatalFailure());

    ASSERT_TRUE(m_server->send(frameOf(R"({"opt":"hello","status":"ok","resume":"1"})") +
                               frameOf(R"({"opt":"resume","desk":"7","site":"2","name":"me",)"
                                       R"("playing":"1","info":[{"name":"a","surplus":"9"},)"
                                       R"({"name":"b","surplus":"9"},{"name":"me"},)"
                                       R"({"name":"d","surplus":"9","away":"1"}],)"
                                       R"("cards":"8,12,","now":"0","left":"15000"})")));
    ASSERT_TRUE(queued(2));
    bool hallSeen = false;
    ASSERT_TRUE(straightToADesk(desk, hallSeen));
    EXPECT_FALSE(hallSeen) << "no hall between the lost desk and the restored one";
    DeskProbe back{*runningDesk()};
    EXPECT_EQ(codesOf(back.hand()), (std::vector<int>{8, 12}));
    EXPECT_EQ(back.seat(0).countdown->getString(), "15");
    EXPECT_TRUE(back.seat(3).away_tag->isVisible());
    EXPECT_FALSE(reconnectPanelOf(runningDesk())->isVisible());
    EXPECT_EQ(ReconnectProbe::phase(), CReconnectSchedule::Phase::Up);
    step(1);
    EXPECT_EQ(m_server->receive(1, 100), "") << "no hall, so no query, on the new link";
}

TEST_F(RejoinLinkTest, AnAnswerWithoutAResumeLeadsToANewHall) {
    CHallScene* hall = hallOnAWorkingLink();
    dropAndAcceptTheNextLink(hall);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(m_server->send(frameOf(R"({"opt":"hello","status":"ok","resume":"0"})")));
    ASSERT_TRUE(queued(1));
    ASSERT_TRUE(
        framesUntil([hall] { return runningHall() != nullptr && runningHall() != hall; }, 1))
        << "at once, not after the wait for an answer";
    EXPECT_EQ(m_server->receive(kQueryFrame.size()), kQueryFrame);
    EXPECT_EQ(ReconnectProbe::phase(), CReconnectSchedule::Phase::Up);
}

// A server that knows no hello answers nothing: after the wait a new hall asks for the hall
// state, and the answer makes the link count as up.
TEST_F(RejoinLinkTest, ASilentServerGetsANewHallAfterTheWait) {
    CHallScene* hall = hallOnAWorkingLink();
    dropAndAcceptTheNextLink(hall);
    ASSERT_FALSE(HasFatalFailure());
    const double opened = headless::now();
    ASSERT_TRUE(framesUntil([hall] { return runningHall() != nullptr && runningHall() != hall; },
                            CReconnectPanel::kAnswerWait + 1));
    EXPECT_GE(headless::now() - opened, CReconnectPanel::kAnswerWait - 0.2);
    EXPECT_EQ(m_server->receive(kQueryFrame.size()), kQueryFrame);
    EXPECT_EQ(ReconnectProbe::phase(), CReconnectSchedule::Phase::Opened);
    EXPECT_FALSE(reconnectPanelOf(runningHall())->isVisible());
    ASSERT_TRUE(m_server->send(frameOf(R"({"opt":"query","online":"4","version":"28"})")));
    ASSERT_TRUE(linktest::waitFor([] { return CMessageQueue::getInstance()->linkDelivered(); }));
    ASSERT_TRUE(
        framesUntil([] { return ReconnectProbe::phase() == CReconnectSchedule::Phase::Up; }, 1));
}

// Accepted and closed at once, again and again: the waits go on doubling (2, 4, 8 s), the hall
// stays the same, and only the loss of the link that worked was told in boxes.
TEST_F(RejoinLinkTest, AServerThatClosesAtOnceBacksOffWithoutHallsOrBoxes) {
    CHallScene* hall = hallOnAWorkingLink();
    ReconnectProbe probe{*reconnectPanelOf(hall)};
    m_server->close();
    ASSERT_TRUE(linkEnded());
    ASSERT_TRUE(framesUntil([&] { return probe.panel.isVisible(); }, 1));
    ASSERT_TRUE(linktest::waitForBoxes(1));
    const std::size_t lossBoxes = headless::messageBoxes().size();
    EXPECT_EQ(lossBoxes, 1u);

    for (const char* wait : {"，连接失败，2 秒后", "，连接失败，4 秒后", "，连接失败，8 秒后"}) {
        SCOPED_TRACE(wait);
        ASSERT_TRUE(framesUntil([&] { return contains(probe.status(), "正在重新连接"); }, 9));
        // Connected (a loopback connect completes at once): only then is there a new receiver
        // to see the close.
        ASSERT_TRUE(framesUntil(
            [] { return ReconnectProbe::phase() == CReconnectSchedule::Phase::Opened; }, 1));
        ASSERT_TRUE(m_server->accept());
        m_server->close();
        ASSERT_TRUE(linkEnded());
        ASSERT_TRUE(framesUntil([&] { return contains(probe.status(), wait); }, 1))
            << probe.status();
        EXPECT_EQ(runningHall(), hall) << "no new hall for a link that never delivered";
        EXPECT_TRUE(probe.panel.isVisible());
    }
    EXPECT_EQ(headless::messageBoxes().size(), lossBoxes);
}

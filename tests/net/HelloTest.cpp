// The player's hello as the first frame of every link, what the link notes about a new server,
// and the arrival time every record carries.

#include "net/OutgoingMessages.h"
#include "tests/net/LinkTestSupport.h"
#include "wire/GameConstants.h"

namespace linktest {
namespace {

using Clock = std::chrono::steady_clock;

const std::string kToken = "0123456789abcdef0123456789ABCDEF";

class HelloTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine::headless::install();
        ASSERT_NE(server.port(), 0) << "no loopback listener";
    }
    void TearDown() override { link->shutdown(); }

    // Connects with `token` and sends one query as a scene would at once.
    void connectAndQuery(const std::string& token) {
        link->setPlayerToken(token);
        ASSERT_TRUE(link->connectServerAt("127.0.0.1", server.port()));
        ASSERT_TRUE(server.accept());
        ASSERT_TRUE(link->sendMsg(queryMessage()));
    }

    ScriptedServer server;
    CMessageQueue* link = CMessageQueue::getInstance();
};

TEST_F(HelloTest, TheHelloIsTheFirstFrameOfTheLink) {
    connectAndQuery(kToken);
    const std::string expected =
        frameOf(R"({"opt":"hello","token":")" + kToken + R"("})") + frameOf(queryMessage());
    EXPECT_EQ(server.receive(expected.size()), expected);
    pause(20);
    EXPECT_EQ(server.pending(), 0u);
}

TEST_F(HelloTest, WithoutATokenTheLinkBeginsAsBefore) {
    connectAndQuery("");
    EXPECT_EQ(server.receive(19), frameOf(queryMessage()));
}

TEST_F(HelloTest, EveryReconnectionBeginsWithTheHelloAgain) {
    connectAndQuery(kToken);
    const std::string first = frameOf(helloMessage(kToken)) + frameOf(queryMessage());
    ASSERT_EQ(server.receive(first.size()), first);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(server.send(frameOf(addText(round))));
        server.close();
        ASSERT_TRUE(waitFor([this] { return link->receiverEnded(); }));
        ASSERT_TRUE(link->beginReconnect());
        ASSERT_EQ(reconnectOutcome(), ConnectProgress::Connected);
        ASSERT_TRUE(server.accept());
        ASSERT_TRUE(link->sendMsg(addMessage()));
        const std::string expected = frameOf(helloMessage(kToken)) + frameOf(addMessage());
        EXPECT_EQ(server.receive(expected.size()), expected);
    }
}

// linkDelivered: the server said something on this link; helloAnswered: it answered the hello.
// Both start afresh with every link.
TEST_F(HelloTest, TheLinkNotesWhatItsServerSaid) {
    connectAndQuery(kToken);
    EXPECT_FALSE(link->linkDelivered());
    EXPECT_FALSE(link->serverFeatures().helloAnswered);
    ASSERT_TRUE(server.send(frameOf(R"({"opt":"query","online":"2","version":"28"})")));
    ASSERT_NE(popWithin(), nullptr);
    EXPECT_TRUE(link->linkDelivered());
    EXPECT_FALSE(link->serverFeatures().helloAnswered) << "an older server: no hello answer";
    ASSERT_TRUE(server.send(frameOf(R"({"opt":"hello","status":"refused","reason":"bad token"})")));
    ASSERT_NE(popWithin(), nullptr);
    EXPECT_TRUE(link->serverFeatures().helloAnswered);

    server.close();
    ASSERT_TRUE(waitFor([this] { return link->receiverEnded(); }));
    ASSERT_TRUE(link->beginReconnect());
    ASSERT_EQ(reconnectOutcome(), ConnectProgress::Connected);
    ASSERT_TRUE(server.accept());
    EXPECT_FALSE(link->linkDelivered());
    EXPECT_FALSE(link->serverFeatures().helloAnswered);
}

// The receiver stamps a record when its frame arrives, not when a scene takes it.
TEST_F(HelloTest, ARecordCarriesTheTimeItsFrameArrived) {
    connectAndQuery("");
    const Clock::time_point sent = Clock::now();
    ASSERT_TRUE(server.send(frameOf(addText(5))));
    ASSERT_TRUE(waitFor([this] { return link->queuedCount() == 1; }));
    pause(300);
    const std::shared_ptr<stMsg> msg = link->popMsg();
    const Clock::time_point taken = Clock::now();
    ASSERT_NE(msg, nullptr);
    EXPECT_GE(msg->arrived, sent);
    EXPECT_GE(taken - msg->arrived, std::chrono::milliseconds(290));
}

// A server from before the hello closes every link that begins with one. After two such links
// the next goes without it; once that one works, no later link carries the hello.
TEST_F(HelloTest, AServerThatClosesOnTheHelloGetsLinksWithoutIt) {
    link->setPlayerToken(kToken);
    ASSERT_TRUE(link->connectServerAt("127.0.0.1", server.port()));
    const std::string answer = std::string(R"({"opt":"query","online":"1","version":")") +
                               kClientVersion + R"("})";
    const bool helloFirst[] = {true, true, false, false};
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        if (round > 0) {
            ASSERT_TRUE(waitFor([this] { return link->receiverEnded(); }));
            ASSERT_TRUE(link->beginReconnect());
            ASSERT_EQ(reconnectOutcome(), ConnectProgress::Connected);
        }
        ASSERT_TRUE(server.accept());
        ASSERT_TRUE(link->sendMsg(queryMessage()));
        const std::string first = frameOf(helloFirst[round] ? helloMessage(kToken) : queryMessage());
        ASSERT_EQ(server.receive(first.size()), first);
        if (!helloFirst[round]) {
            ASSERT_TRUE(server.send(frameOf(answer)));
            ASSERT_TRUE(waitFor([this] { return link->linkDelivered(); }));
        }
        server.close();
    }
}

}  // namespace
}  // namespace linktest

// Reconnecting the link: the same endpoint again, stale records dropped, quiet sends while the
// link is down, the socket shut once the receiver ends, and nothing leaked over many cycles.

#include <dirent.h>

#include <cstdlib>
#include <optional>

#include "engine/backend/headless/HeadlessBackend.h"
#include "engine/base/Configuration.h"
#include "tests/net/LinkTestSupport.h"

namespace linktest {
namespace {

bool waitForReceiverEnd() {
    return waitFor([] { return CMessageQueue::getInstance()->receiverEnded(); });
}

// Entries of a /proc folder: the open descriptors or the threads of this process.
std::size_t entries(const char* path) {
    std::size_t count = 0;
    if (DIR* dir = opendir(path)) {
        while (const dirent* entry = readdir(dir)) {
            count += entry->d_name[0] != '.';
        }
        closedir(dir);
    }
    return count;
}

TEST_F(LinkTest, ReconnectsToTheSameEndpointAndDropsStaleRecords) {
    ASSERT_TRUE(server.send(frameOf(addText(1))));
    server.close();
    ASSERT_TRUE(waitForReceiverEnd());
    EXPECT_EQ(link->queuedCount(), 1u) << "the old link's last record waits for a scene";

    ASSERT_TRUE(link->beginReconnect());
    ASSERT_EQ(reconnectOutcome(), ConnectProgress::Connected);
    ASSERT_TRUE(server.accept()) << "the new connection went to the same host and port";
    EXPECT_FALSE(link->receiverEnded());
    EXPECT_EQ(link->popMsg(), nullptr) << "stale records were dropped";

    ASSERT_TRUE(server.send(frameOf(addText(2))));
    const auto fresh = popWithin();
    ASSERT_NE(fresh, nullptr) << "a new receiver thread reads the new link";
    EXPECT_EQ(fresh->desk, 2);
    ASSERT_TRUE(link->sendMsg(R"({"opt":"query"})"));
    EXPECT_EQ(server.receive(19), frameOf(R"({"opt":"query"})"));
    ASSERT_TRUE(waitForBoxes(1));
    EXPECT_EQ(boxes(), (std::vector<std::string>{kReceiveFailedBox})) << "only the lost link's box";
}

TEST_F(LinkTest, TextThatIsNotJsonShutsTheSocketDown) {
    ASSERT_TRUE(server.send(frameOf("not json")));
    EXPECT_TRUE(server.peerClosed()) << "a quick-join could still reach the server otherwise";
    ASSERT_TRUE(waitForReceiverEnd());
    EXPECT_TRUE(boxes().empty()) << "the link never delivered a record: no box";
}

// A send refused while the receiver is held (here by a full queue) ends the link at once: one
// box, the send's, however many presses follow, and the receiver ends when let go.
TEST_F(LinkTest, ARefusedSendEndsTheLinkWithOneBox) {
    for (std::size_t i = 0; i < CMessageQueue::kMaxQueued; ++i) {
        auto msg = std::make_shared<stMsg>();
        msg->opt = "local";
        link->pushMsg(std::move(msg));
    }
    ASSERT_TRUE(server.send(frameOf(addText(1))));
    pause(50);  // the receiver has the frame and waits for room
    server.reset();
    pause(50);
    for (int i = 0; i < 6; ++i) {
        EXPECT_FALSE(link->sendMsg(R"({"opt":"query"})"));
    }
    ASSERT_NE(link->popMsg(), nullptr);
    ASSERT_TRUE(waitForReceiverEnd());
    pause(50);
    EXPECT_EQ(boxes(), (std::vector<std::string>{kSendFailedBox}));
}

// The player leaves the loss box open: the receiver has ended all the same, every send fails
// quietly, and the link comes back with the box still up; a loss of the new link meanwhile adds
// no second box.
TEST(LinkDown, OneBoxForTheLossAndTheLinkComesBackWhileItIsOpen) {
    engine::headless::install();
    engine::headless::holdBoxes();
    std::optional<ScriptedServer> server(std::in_place);
    CMessageQueue* link = CMessageQueue::getInstance();
    ASSERT_TRUE(link->connectServerAt("127.0.0.1", server->port()));
    ASSERT_TRUE(server->accept());
    ASSERT_TRUE(server->send(frameOf(addText(1))));
    ASSERT_TRUE(waitFor([link] { return link->linkDelivered(); })) << "the link works";

    server->close();
    ASSERT_TRUE(waitForReceiverEnd()) << "the receiver waited for the box";
    ASSERT_TRUE(waitForBoxes(1));
    for (int i = 0; i < 6; ++i) {
        EXPECT_FALSE(link->sendMsg(R"({"opt":"query"})"));
    }
    ASSERT_TRUE(link->beginReconnect());
    ASSERT_EQ(reconnectOutcome(), ConnectProgress::Connected);
    ASSERT_TRUE(server->accept());
    ASSERT_TRUE(server->send(frameOf(addText(2))));
    ASSERT_TRUE(waitFor([link] { return link->linkDelivered(); }));
    server->close();
    ASSERT_TRUE(waitForReceiverEnd());
    pause(50);
    EXPECT_EQ(boxes(), (std::vector<std::string>{kReceiveFailedBox}))
        << "no box storm, and none over the open one";
    engine::headless::releaseBoxes();
    link->shutdown();
}

TEST(LinkDown, FailedAttemptsShowNoBoxAndALaterOneSucceeds) {
    engine::headless::install();
    CMessageQueue* link = CMessageQueue::getInstance();
    std::optional<ScriptedServer> server(std::in_place);
    const std::uint16_t port = server->port();
    ASSERT_TRUE(link->connectServerAt("127.0.0.1", port));
    ASSERT_TRUE(server->accept());
    server.reset();  // the server goes away, listener and all
    ASSERT_TRUE(waitForReceiverEnd());
    const std::size_t lossBoxes = boxes().size();

    for (int attempt = 0; attempt < 3; ++attempt) {
        if (link->beginReconnect()) {
            EXPECT_EQ(reconnectOutcome(), ConnectProgress::Failed) << "nobody listens";
        }
        EXPECT_TRUE(link->receiverEnded());
    }
    EXPECT_EQ(boxes().size(), lossBoxes) << "a failed attempt shows no box";

    server.emplace(port);
    if (server->port() == 0) {
        GTEST_SKIP() << "the port was taken by someone else meanwhile";
    }
    ASSERT_TRUE(link->beginReconnect());
    ASSERT_EQ(reconnectOutcome(), ConnectProgress::Connected);
    ASSERT_TRUE(server->accept());
    ASSERT_TRUE(link->sendMsg(R"({"opt":"query"})"));
    EXPECT_EQ(server->receive(19), frameOf(R"({"opt":"query"})"));
    link->shutdown();
}

TEST(LinkDown, HundredReconnectionsLeaveNoDescriptorOrThreadBehind) {
    engine::headless::install();
    CMessageQueue* link = CMessageQueue::getInstance();
    ScriptedServer server;
    ASSERT_TRUE(link->connectServerAt("127.0.0.1", server.port()));

    // One cycle: the server accepts and closes at once, the receiver ends, the link reconnects.
    auto cycle = [&] {
        ASSERT_TRUE(server.accept());
        server.close();
        ASSERT_TRUE(waitForReceiverEnd());
        ASSERT_TRUE(link->beginReconnect());
        ASSERT_EQ(reconnectOutcome(), ConnectProgress::Connected);
    };
    cycle();
    ASSERT_FALSE(HasFatalFailure());
    const std::size_t descriptors = entries("/proc/self/fd");
    const std::size_t threads = entries("/proc/self/task");
    for (int i = 0; i < 100; ++i) {
        cycle();
        ASSERT_FALSE(HasFatalFailure()) << "cycle " << i;
    }
    EXPECT_EQ(entries("/proc/self/fd"), descriptors);
    EXPECT_EQ(entries("/proc/self/task"), threads);
    EXPECT_TRUE(boxes().empty()) << "a link that never delivered a record shows no box";
    link->shutdown();
}

// Runs in the child: the first link is lost, the second answers the query with an old version.
void reconnectToAnOldServer() {
    engine::setBackend(std::make_unique<engine::headless::HeadlessBackend>(1024, 768));
    ScriptedServer server;
    CMessageQueue* link = CMessageQueue::getInstance();
    if (!link->connectServerAt("127.0.0.1", server.port()) || !server.accept()) {
        std::_Exit(2);
    }
    server.close();
    if (!waitForReceiverEnd() || !link->beginReconnect() ||
        reconnectOutcome() != ConnectProgress::Connected || !server.accept()) {
        std::_Exit(3);
    }
    server.send(frameOf(R"({"opt":"query","online":"5","version":"27"})"));
    pause(5000);
    std::_Exit(4);
}

TEST(LinkDownDeathTest, TheVersionCheckAppliesToTheNewLink) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(reconnectToAnOldServer(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace linktest

// Reconnecting the link: the same endpoint again, stale records dropped, quiet sends while the
// link is down, the socket shut once the receiver ends, and nothing leaked over many cycles.

#include <dirent.h>

#include <condition_variable>
#include <cstdlib>
#include <mutex>
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
    EXPECT_EQ(boxes(), (std::vector<std::string>{kReceiveFailedBox, kDisconnectedBox}))
        << "only the lost link's boxes";
}

TEST_F(LinkTest, TextThatIsNotJsonShutsTheSocketDown) {
    ASSERT_TRUE(server.send(frameOf("not json")));
    EXPECT_TRUE(server.peerClosed()) << "a quick-join could still reach the server otherwise";
    ASSERT_TRUE(waitForReceiverEnd());
    EXPECT_TRUE(boxes().empty()) << "the link never delivered a record: no box";
}

// The headless back end, except that a box shown by another thread than the test's stays open
// until the test lets it go, as the system's modal box holds the receiver thread.
class HoldingBackend : public engine::headless::HeadlessBackend {
public:
    explicit HoldingBackend(std::thread::id main) : HeadlessBackend(1024, 768), m_main(main) {}
    void showMessageBox(const std::string& text, const std::string& title) override {
        HeadlessBackend::showMessageBox(text, title);
        if (std::this_thread::get_id() == m_main) {
            return;
        }
        std::unique_lock<std::mutex> lock(m_mutex);
        m_released.wait(lock, [this] { return m_open; });
    }
    // "text / title" of every box shown so far (the headless recorders would install a back end
    // of their own).
    std::vector<std::string> shown() const {
        std::vector<std::string> out;
        for (const auto& box : boxes()) {
            out.push_back(box.text + " / " + box.title);
        }
        return out;
    }
    void release() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_open = true;
        }
        m_released.notify_all();
    }

private:
    std::thread::id m_main;
    std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_open = false;
};

TEST(LinkDown, SendBoxWhileTheLinkIsBelievedUpThenQuietOnceTheReceiverHasEnded) {
    auto backend = std::make_unique<HoldingBackend>(std::this_thread::get_id());
    HoldingBackend* holding = backend.get();
    engine::setBackend(std::move(backend));
    LoopbackServer server;
    CMessageQueue* link = CMessageQueue::getInstance();
    ASSERT_TRUE(link->connectServerAt("127.0.0.1", server.port()));
    ASSERT_TRUE(server.accept());
    ASSERT_TRUE(server.send(frameOf(addText(1))));
    ASSERT_TRUE(waitFor([link] { return link->linkDelivered(); })) << "the link works";

    server.reset();
    ASSERT_TRUE(waitFor([holding] { return !holding->shown().empty(); }))
        << "the receiver's first box is up and holds it";
    EXPECT_FALSE(link->receiverEnded());
    EXPECT_FALSE(link->sendMsg(R"({"opt":"query"})"));
    EXPECT_EQ(holding->shown(), (std::vector<std::string>{kReceiveFailedBox, kSendFailedBox}));

    holding->release();
    ASSERT_TRUE(waitForReceiverEnd());
    for (int i = 0; i < 6; ++i) {
        EXPECT_FALSE(link->sendMsg(R"({"opt":"query"})"));
    }
    EXPECT_EQ(holding->shown(), (std::vector<std::string>{kReceiveFailedBox, kSendFailedBox,
                                                          kDisconnectedBox}))
        << "no box storm once the link is known to be down";
    link->shutdown();
}

TEST(LinkDown, FailedAttemptsShowNoBoxAndALaterOneSucceeds) {
    engine::headless::install();
    CMessageQueue* link = CMessageQueue::getInstance();
    std::optional<LoopbackServer> server(std::in_place);
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
    LoopbackServer server;
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
    LoopbackServer server;
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

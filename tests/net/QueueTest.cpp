// The bounded queue between the receiver thread and the main thread (MessageInbox alone, and
// holding the link's receiver), and the quiet shutdown.

#include "net/MessageInbox.h"
#include "tests/net/LinkTestSupport.h"

namespace linktest {
namespace {

std::shared_ptr<stMsg> localRecord(int desk) {
    auto msg = std::make_shared<stMsg>();
    msg->opt = "local";
    msg->desk = desk;
    return msg;
}

TEST(MessageInbox, PopOnEmptyQueueGivesNothing) {
    MessageInbox inbox;
    EXPECT_EQ(inbox.pop(), nullptr);
    EXPECT_EQ(inbox.pop(), nullptr);
    EXPECT_TRUE(inbox.push(localRecord(1)));
    const std::shared_ptr<stMsg> first = inbox.pop();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->desk, 1);
    EXPECT_EQ(inbox.pop(), nullptr);
}

TEST_F(LinkTest, FullQueueHoldsTheReceiverUntilPopped) {
    for (std::size_t i = 0; i < CMessageQueue::kMaxQueued; ++i) {
        link->pushMsg(localRecord(static_cast<int>(i)));
    }
    ASSERT_TRUE(server.send(frameOf(addText(77))));
    server.close();

    // The receiver has the frame but no room: it must not read on to the end of the stream.
    pause(200);
    EXPECT_TRUE(boxes().empty()) << "the receiver went past a full queue";

    ASSERT_NE(link->popMsg(), nullptr);
    ASSERT_TRUE(waitForBoxes(1));
    EXPECT_EQ(boxes(), (std::vector<std::string>{kReceiveFailedBox}));

    const std::vector<std::string> rest = drain();
    ASSERT_EQ(rest.size(), CMessageQueue::kMaxQueued);
    EXPECT_EQ(rest.front(), "local:1");
    EXPECT_EQ(rest[rest.size() - 2], "local:" + std::to_string(CMessageQueue::kMaxQueued - 1));
    EXPECT_EQ(rest.back(), "add:77") << "nothing lost, arrival order kept";
}

std::shared_ptr<stMsg> recordOfBytes(int desk, std::size_t nameBytes) {
    auto msg = localRecord(desk);
    msg->name.assign(nameBytes, 'n');
    return msg;
}

TEST_F(LinkTest, ByteBudgetHoldsTheReceiverUntilPopped) {
    // Four records whose texts ("local" and the name) are a quarter of the budget each fill it,
    // though the count is far from its bound.
    const std::size_t quarter =
        CMessageQueue::kMaxQueuedTextBytes / 4 - std::string("local").size();
    for (int i = 0; i < 4; ++i) {
        link->pushMsg(recordOfBytes(i, quarter));
    }
    EXPECT_EQ(link->queuedTextBytes(), CMessageQueue::kMaxQueuedTextBytes);
    ASSERT_TRUE(server.send(frameOf(addText(77))));
    server.close();

    pause(200);
    EXPECT_EQ(link->queuedCount(), 4u) << "the receiver went past a full budget";
    EXPECT_TRUE(boxes().empty());

    ASSERT_NE(link->popMsg(), nullptr);
    ASSERT_TRUE(waitForBoxes(1));
    EXPECT_EQ(drain(), (std::vector<std::string>{"local:1", "local:2", "local:3", "add:77"}));
    EXPECT_EQ(link->queuedTextBytes(), 0u);
}

TEST(MessageInbox, RecordAboveTheBudgetEntersAnEmptyQueueOnly) {
    MessageInbox inbox;
    EXPECT_TRUE(inbox.push(recordOfBytes(1, MessageInbox::kMaxTextBytes + 1)));
    EXPECT_EQ(inbox.count(), 1u) << "pushed without waiting";

    std::thread second([&inbox] { inbox.push(recordOfBytes(2, 10)); });
    pause(100);
    EXPECT_EQ(inbox.count(), 1u) << "the small one waits for the big one to go";
    const std::shared_ptr<stMsg> big = inbox.pop();
    second.join();
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->desk, 1);
    const std::shared_ptr<stMsg> small = inbox.pop();
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->desk, 2);
    EXPECT_EQ(inbox.count(), 0u);
}

TEST_F(LinkTest, ShutdownEndsTheReceiverQuietly) {
    ASSERT_TRUE(server.send(frameOf(addText(1))));
    ASSERT_NE(popWithin(), nullptr);

    link->shutdown();
    EXPECT_TRUE(server.peerClosed()) << "the socket is shut down";
    server.close();
    pause(100);
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(link->popMsg(), nullptr);
}

TEST_F(LinkTest, ShutdownReleasesAReceiverWaitingForRoom) {
    for (std::size_t i = 0; i < CMessageQueue::kMaxQueued; ++i) {
        link->pushMsg(localRecord(static_cast<int>(i)));
    }
    ASSERT_TRUE(server.send(frameOf(addText(2)) + frameOf(addText(3))));
    pause(50);

    link->shutdown();
    EXPECT_TRUE(server.peerClosed());
    pause(100);
    EXPECT_TRUE(boxes().empty());
    const std::vector<std::string> rest = drain();
    ASSERT_EQ(rest.size(), CMessageQueue::kMaxQueued) << "nothing is queued after shutdown";
    EXPECT_EQ(rest.back(), "local:" + std::to_string(CMessageQueue::kMaxQueued - 1));
}

}  // namespace
}  // namespace linktest

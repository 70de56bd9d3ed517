// The bounded queue between the receiver thread and the main thread, and the quiet shutdown.

#include "tests/net/LinkTestSupport.h"

namespace linktest {
namespace {

std::shared_ptr<stMsg> localRecord(int desk) {
    auto msg = std::make_shared<stMsg>();
    msg->opt = "local";
    msg->desk = desk;
    return msg;
}

TEST(MessageQueue, PopOnEmptyQueueGivesNothing) {
    CMessageQueue* queue = CMessageQueue::getInstance();
    EXPECT_EQ(queue->popMsg(), nullptr);
    EXPECT_EQ(queue->popMsg(), nullptr);
    queue->pushMsg(localRecord(1));
    EXPECT_EQ(drain(), (std::vector<std::string>{"local:1"}));
    EXPECT_EQ(queue->popMsg(), nullptr);
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
    ASSERT_TRUE(waitForBoxes(2));
    EXPECT_EQ(boxes(), (std::vector<std::string>{kReceiveFailedBox, kDisconnectedBox}));

    const std::vector<std::string> rest = drain();
    ASSERT_EQ(rest.size(), CMessageQueue::kMaxQueued);
    EXPECT_EQ(rest.front(), "local:1");
    EXPECT_EQ(rest[rest.size() - 2], "local:" + std::to_string(CMessageQueue::kMaxQueued - 1));
    EXPECT_EQ(rest.back(), "add:77") << "nothing lost, arrival order kept";
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

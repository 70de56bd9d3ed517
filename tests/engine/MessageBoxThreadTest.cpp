// Message boxes from the main thread and from other threads are all recorded (tsan).
#include <thread>

#include "EngineTestSupport.h"

using namespace engine;
using enginetest::HeadlessTest;

namespace {

class MessageBoxThreadTest : public HeadlessTest {};

TEST_F(MessageBoxThreadTest, BoxFromTheMainThreadIsRecorded) {
    MessageBox("连接服务器失败！请检查网络是否正常。", "错误");
    const auto boxes = headless::messageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "连接服务器失败！请检查网络是否正常。");
    EXPECT_EQ(boxes[0].title, "错误");
    EXPECT_EQ(boxes[0].thread, std::this_thread::get_id());
}

TEST_F(MessageBoxThreadTest, BoxesFromOtherThreadsWhileFramesRunAreAllRecorded) {
    runLayer();
    std::thread receiver([] {
        for (int i = 0; i < 50; ++i) {
            MessageBox("lost " + std::to_string(i), "error");
        }
    });
    std::thread reader([] {
        for (int i = 0; i < 50; ++i) {
            (void)headless::messageBoxes();
        }
    });
    headless::step(0.5);
    receiver.join();
    reader.join();
    const auto boxes = headless::messageBoxes();
    ASSERT_EQ(boxes.size(), 50u);
    EXPECT_EQ(boxes[49].text, "lost 49");
    EXPECT_NE(boxes[0].thread, std::this_thread::get_id());
    headless::clearRecords();
    EXPECT_TRUE(headless::messageBoxes().empty());
}

}  // namespace

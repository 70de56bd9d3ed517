// The receive path end to end: a scripted server writes segments, the receiver thread frames,
// decodes and queues them, and the test checks the records popped and the boxes shown.

#include <ostream>

#include "tests/net/LinkTestSupport.h"
#include "wire/Framing.h"

namespace linktest {
namespace {

struct Script {
    const char* name;
    std::vector<std::string> segments;  // each written on its own, with a pause between
    bool closeAfter;                    // close the connection after the last segment
    std::vector<std::string> records;   // "opt:desk" of every record popped, in order
    std::vector<std::string> boxes;     // every box shown, in order
};

void PrintTo(const Script& script, std::ostream* out) { *out << script.name; }

const Script kScripts[] = {
    {"TwoFramesInOneSegment", {frameOf(addText(1)) + frameOf(addText(2))}, false,
     {"add:1", "add:2"}, {}},
    {"BodyInSeveralSegments",
     {headerOf(addText(3).size()) + addText(3).substr(0, 5), addText(3).substr(5, 10),
      addText(3).substr(15)},
     false, {"add:3"}, {}},
    {"LengthSplitAcrossSegments",
     {frameOf(addText(4)).substr(0, 2), frameOf(addText(4)).substr(2)}, false, {"add:4"}, {}},
    {"LengthSplitOneByteAtATime",
     {frameOf(addText(5)).substr(0, 1), frameOf(addText(5)).substr(1, 1),
      frameOf(addText(5)).substr(2, 1), frameOf(addText(5)).substr(3)},
     false, {"add:5"}, {}},
    {"CloseBetweenFrames", {frameOf(addText(6))}, true, {"add:6"},
     {kReceiveFailedBox}},
    {"CloseInsideTheLength", {frameOf(addText(7)) + headerOf(20).substr(0, 3)}, true, {"add:7"},
     {kReceiveFailedBox}},
    {"CloseInMidBody", {frameOf(addText(8)) + headerOf(40) + R"({"opt":"ad)"}, true, {"add:8"},
     {kDisconnectedBox}},
    {"LengthZero", {frameOf(addText(9)) + headerOf(0) + frameOf(addText(10))}, false, {"add:9"},
     {kReceiveFailedBox}},
    {"LengthOneOverTheLimit",
     {frameOf(addText(11)) + headerOf(framing::kMaxFrameBytes + 1) + "{}"}, false, {"add:11"},
     {kReceiveFailedBox}},
    {"LengthOfFourGibibytes", {headerOf(0xFFFFFFFFu) + "{}"}, false, {}, {}},
    {"TextNotJson", {frameOf(addText(12)) + frameOf("not json") + frameOf(addText(13))}, false,
     {"add:12"}, {kDisconnectedBox}},
    {"NonObjectIsDroppedAndTheLinkGoesOn",
     {frameOf("[1,2]") + frameOf(R"("text")") + frameOf(addText(14))}, true, {"add:14"},
     {kReceiveFailedBox}},
    {"MalformedMessagesAreQueuedWithDefaults",
     {frameOf(R"({"opt":"change","info":3})") + frameOf(R"({"opt":"add","desk":7})") +
      frameOf(R"({"desk":"2"})")},
     false, {"change:-1", "add:-1", ":-1"}, {}},
    {"QueryOfThisVersionIsQueued", {frameOf(R"({"opt":"query","online":"3","version":"28"})")},
     false, {"query:-1"}, {}},
};

class ReceiveScript : public LinkTest, public ::testing::WithParamInterface<Script> {};

TEST_P(ReceiveScript, RecordsAndBoxes) {
    const Script& script = GetParam();
    for (const std::string& segment : script.segments) {
        ASSERT_TRUE(server.send(segment));
        pause(20);  // lets the receiver read this segment on its own
    }
    if (script.closeAfter) {
        server.close();
    }

    std::vector<std::string> records;
    ASSERT_TRUE(waitFor([&] {
        for (const auto& r : drain()) {
            records.push_back(r);
        }
        return records.size() >= script.records.size() &&
               engine::headless::messageBoxes().size() >= script.boxes.size();
    })) << "records " << records.size() << ", boxes " << boxes().size();
    pause(50);  // nothing more may follow
    for (const auto& r : drain()) {
        records.push_back(r);
    }
    EXPECT_EQ(records, script.records);
    EXPECT_EQ(boxes(), script.boxes);
    for (const auto& box : engine::headless::messageBoxes()) {
        EXPECT_NE(box.thread, std::this_thread::get_id()) << "no box holds the main thread";
    }
}

INSTANTIATE_TEST_SUITE_P(Link, ReceiveScript, ::testing::ValuesIn(kScripts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkTest, LargestFrameArrivesWhole) {
    const std::string name(framing::kMaxFrameBytes - 64, 'n');
    const std::string text = R"({"opt":"run","site":"2","name":")" + name + R"("})";
    ASSERT_LE(text.size(), framing::kMaxFrameBytes);
    ASSERT_TRUE(server.send(frameOf(text)));
    const auto msg = popWithin();
    ASSERT_NE(msg, nullptr);
    EXPECT_EQ(msg->site, 2);
    EXPECT_EQ(msg->name, name);
    EXPECT_TRUE(boxes().empty());
}

}  // namespace
}  // namespace linktest

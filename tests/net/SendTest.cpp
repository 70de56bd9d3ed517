// What goes out on the wire, and the send tap. A send the socket refuses: ReconnectTest.cpp.

#include "net/OutgoingMessages.h"
#include "tests/net/LinkTestSupport.h"

namespace linktest {
namespace {

std::string hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
        out += ' ';
    }
    return out;
}

TEST_F(LinkTest, QueryGoesOutAsNineteenBytes) {
    ASSERT_TRUE(link->sendMsg(queryMessage()));
    const std::string wire = server.receive(19);
    EXPECT_EQ(hex(wire.substr(0, 4)), "0F 00 00 00 ");
    EXPECT_EQ(wire.substr(4), R"({"opt":"query"})");
    pause(20);
    EXPECT_EQ(server.pending(), 0u) << "nothing after the frame";
}

TEST_F(LinkTest, LengthIsLittleEndian) {
    const std::string text(300, 'x');
    ASSERT_TRUE(link->sendMsg(text));
    const std::string wire = server.receive(304);
    ASSERT_EQ(wire.size(), 304u);
    EXPECT_EQ(hex(wire.substr(0, 4)), "2C 01 00 00 ");
    EXPECT_EQ(wire.substr(4), text);
}

TEST_F(LinkTest, SuccessiveSendsFollowEachOther) {
    ASSERT_TRUE(link->sendMsg(readyMessage(7, 2)));
    ASSERT_TRUE(link->sendMsg(passMessage(7, 2)));
    const std::string expected = frameOf(readyMessage(7, 2)) + frameOf(passMessage(7, 2));
    EXPECT_EQ(server.receive(expected.size()), expected);
}

TEST_F(LinkTest, SendTapTakesTheTextInsteadOfTheSocket) {
    std::vector<std::string> tapped;
    link->setSendTap([&tapped](const std::string& text) { tapped.push_back(text); });
    EXPECT_TRUE(link->sendMsg(addMessage()));
    EXPECT_TRUE(link->sendMsg(queryMessage()));
    EXPECT_EQ(tapped, (std::vector<std::string>{R"({"opt":"add"})", R"({"opt":"query"})"}));

    link->setSendTap(nullptr);
    ASSERT_TRUE(link->sendMsg(queryMessage()));
    EXPECT_EQ(server.receive(19), frameOf(queryMessage())) << "only the untapped send arrives";
    EXPECT_EQ(tapped.size(), 2u);
}

}  // namespace
}  // namespace linktest

// A connection's input without a socket: frames cut from any pieces, the length refusal and the
// frame rate, on a clock the test moves.

#include <gtest/gtest.h>

#include <string>

#include "server/net/SessionInput.h"
#include "wire/Framing.h"

namespace {

using server::SessionInput;
using Verdict = SessionInput::Verdict;
using namespace std::chrono_literals;

const SessionInput::Clock::time_point kStart{};

std::string frame(std::string_view text) {
    std::string out;
    framing::appendFrame(out, text);
    return out;
}

TEST(SessionInput, CutsTextsFromAnyPieces) {
    SessionInput input({}, kStart);
    const std::string bytes = frame("{\"opt\":\"query\"}") + frame("{\"opt\":\"add\"}");
    std::string text;
    std::vector<std::string> texts;
    for (char c : bytes) {
        input.feed(std::string_view(&c, 1));
        Verdict verdict;
        while ((verdict = input.next(text, kStart)) == Verdict::Text) {
            texts.push_back(text);
        }
        EXPECT_EQ(verdict, Verdict::NeedMore);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"{\"opt\":\"query\"}", "{\"opt\":\"add\"}"}));
    EXPECT_EQ(input.buffered(), 0u);
}

TEST(SessionInput, RefusesABadLengthForGood) {
    SessionInput input({}, kStart);
    input.feed(std::string("\0\0\0\0", 4));
    std::string text;
    EXPECT_EQ(input.next(text, kStart), Verdict::BadLength);
    input.feed(frame("{}"));
    EXPECT_EQ(input.next(text, kStart), Verdict::BadLength);
    EXPECT_STREQ(SessionInput::closeReason(Verdict::BadLength), "bad frame length");
}

// Client texts are short: a longer one is refused at its header, before its bytes are buffered.
TEST(SessionInput, RefusesATextAboveTheRequestLimit) {
    const server::SessionLimits limits;
    SessionInput input(limits, kStart);
    std::string text;
    input.feed(frame(std::string(limits.maxRequestBytes, ' ')));
    EXPECT_EQ(input.next(text, kStart), Verdict::Text);
    std::string header(framing::kHeaderBytes, '\0');
    framing::writeHeader(limits.maxRequestBytes + 1, reinterpret_cast<unsigned char*>(header.data()));
    input.feed(header);
    EXPECT_EQ(input.next(text, kStart), Verdict::BadLength);
}

TEST(SessionInput, AllowsABurstThenTheRateThenCallsItAFlood) {
    server::SessionLimits limits;
    limits.burstFrames = 3;
    limits.framesPerSecond = 2;
    SessionInput input(limits, kStart);
    std::string text;
    for (int i = 0; i < 3; ++i) {
        input.feed(frame("{}"));
        EXPECT_EQ(input.next(text, kStart), Verdict::Text) << i;
    }
    input.feed(frame("{}"));
    EXPECT_EQ(input.next(text, kStart + 500ms), Verdict::Text) << "one frame earned in 0.5 s";
    input.feed(frame("{}"));
    EXPECT_EQ(input.next(text, kStart + 600ms), Verdict::Flood);
    input.feed(frame("{}"));
    EXPECT_EQ(input.next(text, kStart + 10s), Verdict::Flood) << "a flood is final";
    EXPECT_STREQ(SessionInput::closeReason(Verdict::Flood), "flood");
}

}  // namespace

#include "wire/Framing.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

std::string bytes(std::initializer_list<unsigned> values) {
    std::string out;
    for (unsigned v : values) {
        out.push_back(static_cast<char>(v));
    }
    return out;
}

std::string frame(const std::string& text) {
    std::string out;
    framing::appendFrame(out, text);
    return out;
}

// Feeds `stream` in pieces of `step` bytes and collects every text the assembler gives.
std::vector<std::string> assemble(const std::string& stream, std::size_t step,
                                  framing::FrameAssembler& assembler) {
    std::vector<std::string> texts;
    for (std::size_t at = 0; at < stream.size(); at += step) {
        assembler.feed(std::string_view(stream).substr(at, step));
        std::string text;
        while (assembler.next(text) == framing::FrameAssembler::Status::Frame) {
            texts.push_back(text);
        }
    }
    return texts;
}

TEST(FrameHeader, IsLittleEndian) {
    struct Row {
        std::uint32_t length;
        std::string wire;
    };
    const Row rows[] = {
        {15, bytes({0x0F, 0x00, 0x00, 0x00})},
        {300, bytes({0x2C, 0x01, 0x00, 0x00})},
        {0x12345678u, bytes({0x78, 0x56, 0x34, 0x12})},
        {0xFFFFFFFFu, bytes({0xFF, 0xFF, 0xFF, 0xFF})},
    };
    for (const Row& row : rows) {
        unsigned char out[4] = {};
        framing::writeHeader(row.length, out);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 4), row.wire) << row.length;
        EXPECT_EQ(framing::readHeader(reinterpret_cast<const unsigned char*>(row.wire.data())),
                  row.length);
    }
}

TEST(FrameHeader, AcceptedLengthsAreOneToOneMebibyte) {
    EXPECT_FALSE(framing::lengthAccepted(0));
    EXPECT_TRUE(framing::lengthAccepted(1));
    EXPECT_TRUE(framing::lengthAccepted(framing::kMaxFrameBytes));
    EXPECT_FALSE(framing::lengthAccepted(framing::kMaxFrameBytes + 1));
    EXPECT_FALSE(framing::lengthAccepted(0xFFFFFFFFu));
}

TEST(AppendFrame, QueryIsNineteenBytes) {
    const std::string out = frame(R"({"opt":"query"})");
    ASSERT_EQ(out.size(), 19u);
    EXPECT_EQ(out, bytes({0x0F, 0, 0, 0}) + R"({"opt":"query"})");
}

TEST(AppendFrame, AppendsAfterWhatIsThere) {
    std::string out = "ab";
    framing::appendFrame(out, std::string(300, 'x'));
    ASSERT_EQ(out.size(), 2u + 4u + 300u);
    EXPECT_EQ(out.substr(0, 6), "ab" + bytes({0x2C, 0x01, 0x00, 0x00}));
    EXPECT_EQ(out.substr(6), std::string(300, 'x'));
}

TEST(FrameAssembler, ReassemblesWhateverTheSplit) {
    const std::vector<std::string> texts = {"{}", R"({"opt":"game","cards":"1,2,"})",
                                            std::string(1000, 'y'), "z"};
    std::string stream;
    for (const auto& t : texts) {
        framing::appendFrame(stream, t);
    }
    for (std::size_t step : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{5},
                             std::size_t{7}, std::size_t{4096}}) {
        framing::FrameAssembler assembler;
        EXPECT_EQ(assemble(stream, step, assembler), texts) << "step " << step;
        EXPECT_EQ(assembler.buffered(), 0u);
        EXPECT_FALSE(assembler.failed());
    }
}

TEST(FrameAssembler, WaitsForTheWholeHeaderAndBody) {
    framing::FrameAssembler assembler;
    std::string text;
    const std::string wire = frame("hello");
    assembler.feed(wire.substr(0, 3));
    EXPECT_EQ(assembler.next(text), framing::FrameAssembler::Status::NeedMore);
    assembler.feed(wire.substr(3, 4));
    EXPECT_EQ(assembler.next(text), framing::FrameAssembler::Status::NeedMore);
    EXPECT_EQ(assembler.buffered(), 7u);
    assembler.feed(wire.substr(7));
    ASSERT_EQ(assembler.next(text), framing::FrameAssembler::Status::Frame);
    EXPECT_EQ(text, "hello");
    EXPECT_EQ(assembler.next(text), framing::FrameAssembler::Status::NeedMore);
}

TEST(FrameAssembler, TakesTheLargestAcceptedFrame) {
    framing::FrameAssembler assembler;
    const std::string big(framing::kMaxFrameBytes, 'q');
    assembler.feed(frame(big));
    std::string text;
    ASSERT_EQ(assembler.next(text), framing::FrameAssembler::Status::Frame);
    EXPECT_EQ(text, big);
}

TEST(FrameAssembler, AShorterMaximumRefusesAtTheHeader) {
    framing::FrameAssembler assembler(5);
    std::string text;
    assembler.feed(frame("hello"));
    ASSERT_EQ(assembler.next(text), framing::FrameAssembler::Status::Frame);
    assembler.feed(frame("hello!").substr(0, framing::kHeaderBytes));
    EXPECT_EQ(assembler.next(text), framing::FrameAssembler::Status::Failed);
    EXPECT_EQ(assembler.buffered(), 0u);
}

TEST(FrameAssembler, BadLengthFailsForGood) {
    struct Row {
        const char* name;
        std::string header;
    };
    const Row rows[] = {
        {"zero", bytes({0, 0, 0, 0})},
        {"one past the largest", bytes({0x01, 0x00, 0x10, 0x00})},
        {"largest 32-bit", bytes({0xFF, 0xFF, 0xFF, 0xFF})},
    };
    for (const Row& row : rows) {
        framing::FrameAssembler assembler;
        // A good frame before the bad one is still delivered.
        assembler.feed(frame("ok") + row.header + "trailing");
        std::string text;
        ASSERT_EQ(assembler.next(text), framing::FrameAssembler::Status::Frame) << row.name;
        EXPECT_EQ(text, "ok");
        EXPECT_EQ(assembler.next(text), framing::FrameAssembler::Status::Failed) << row.name;
        EXPECT_TRUE(assembler.failed());
        EXPECT_EQ(assembler.buffered(), 0u) << "nothing is kept for a refused frame";
        assembler.feed(frame("later"));
        EXPECT_EQ(assembler.buffered(), 0u) << "input after a failure is ignored";
        EXPECT_EQ(assembler.next(text), framing::FrameAssembler::Status::Failed);
        EXPECT_EQ(text, "ok") << "the out-string is untouched on failure";
    }
}

}  // namespace

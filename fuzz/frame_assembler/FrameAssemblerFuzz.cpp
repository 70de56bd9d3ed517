// libFuzzer target: any byte stream, cut at any points, through FrameAssembler.
// The first input byte chooses the piece size and, from 128 up, a short maximum length (as the
// server takes for client texts). Checks that every text returned is within the accepted lengths
// and matches the stream, and that a failure is final and keeps nothing.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/support/FuzzCheck.h"
#include "wire/Framing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t step = 1 + data[0] % 16;
    const std::string_view stream(reinterpret_cast<const char*>(data) + 1, size - 1);

    const std::uint32_t maxLength =
        data[0] < 128 ? framing::kMaxFrameBytes : static_cast<std::uint32_t>(data[0] - 127) * 8;
    framing::FrameAssembler assembler(maxLength);
    std::size_t consumed = 0;  // stream bytes accounted for by the texts returned
    std::string text;
    for (std::size_t at = 0; at < stream.size(); at += step) {
        assembler.feed(stream.substr(at, step));
        framing::FrameAssembler::Status status;
        while ((status = assembler.next(text)) == framing::FrameAssembler::Status::Frame) {
            fuzzing::require(framing::lengthAccepted(static_cast<std::uint32_t>(text.size())) &&
                                 text.size() <= maxLength,
                             "a frame's length is accepted");
            fuzzing::require(stream.substr(consumed + framing::kHeaderBytes, text.size()) == text,
                             "a frame's text is the stream's bytes");
            consumed += framing::kHeaderBytes + text.size();
        }
        if (status == framing::FrameAssembler::Status::Failed) {
            const std::uint32_t length = framing::readHeader(
                reinterpret_cast<const unsigned char*>(stream.data() + consumed));
            fuzzing::require(!framing::lengthAccepted(length) || length > maxLength,
                             "only a refused length fails");
            fuzzing::require(assembler.failed() && assembler.buffered() == 0,
                             "a failure keeps nothing");
            assembler.feed(stream.substr(at));
            fuzzing::require(assembler.buffered() == 0, "a failure is final");
            return 0;
        }
        fuzzing::require(assembler.buffered() == std::min(stream.size(), at + step) - consumed,
                         "every byte not returned is buffered");
    }
    return 0;
}

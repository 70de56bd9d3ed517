#pragma once
// The frame codec shared by the client and the server.
//
// Wire format, the same in both directions, frames back to back with nothing between them:
//
//   offset  size    field
//   0       4       length: unsigned 32-bit, LITTLE-endian (least significant byte first), the
//                   number of text bytes that follow; the 4 length bytes are not counted.
//                   Not network byte order.
//   4       length  text: one JSON text, no terminator, no padding.
//
// The largest accepted text is kMaxFrameBytes (1 MiB). A length of 0 or above kMaxFrameBytes is a
// bad frame: the reader refuses it before allocating anything for its body, and the connection
// is finished (the stream cannot be resynchronised). No magic number, version or checksum.
//
// TCP may split a frame anywhere, the length field included; readers accumulate bytes until the
// whole header, then the whole text, has arrived.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace framing {

inline constexpr std::size_t kHeaderBytes = 4;
inline constexpr std::uint32_t kMaxFrameBytes = 1u << 20;

// True when a header's length may be followed by a text: 1 to kMaxFrameBytes.
constexpr bool lengthAccepted(std::uint32_t length) {
    return length != 0 && length <= kMaxFrameBytes;
}

// ---- Header codec (little-endian)
void writeHeader(std::uint32_t length, unsigned char out[4]);
std::uint32_t readHeader(const unsigned char in[4]);

// Appends one whole frame (header, then the text) to `out`. The caller keeps texts within
// kMaxFrameBytes; a longer one is a programming error.
void appendFrame(std::string& out, std::string_view text);

// Cuts a byte stream into frame texts, for readers that receive whatever the socket has.
// Feed it bytes as they arrive, then call next() until it says NeedMore. A bad length makes it
// Failed for good: nothing further is buffered or returned, and the caller drops the connection.
class FrameAssembler {
public:
    // A reader that expects only short texts may refuse longer ones at their header, before
    // their bytes arrive; `maxLength` above kMaxFrameBytes counts as kMaxFrameBytes.
    explicit FrameAssembler(std::uint32_t maxLength = kMaxFrameBytes);

    enum class Status {
        Frame,     // a whole text was moved into `text`
        NeedMore,  // no whole frame buffered yet
        Failed,    // a length of 0 or above the assembler's maximum arrived
    };

    // Appends received bytes; ignored once failed.
    void feed(std::string_view bytes);
    // Takes the oldest complete text, if any.
    Status next(std::string& text);

    bool failed() const { return m_failed; }
    // Bytes received but not yet returned as a text.
    std::size_t buffered() const { return m_buffer.size() - m_start; }

private:
    std::string m_buffer;     // received bytes; those before m_start are already consumed
    std::size_t m_start = 0;  // offset of the next frame's header in m_buffer
    std::uint32_t m_maxLength;
    bool m_failed = false;
};

}  // namespace framing

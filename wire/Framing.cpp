#include "wire/Framing.h"

#include <cassert>

namespace framing {

void writeHeader(std::uint32_t length, unsigned char out[4]) {
    out[0] = static_cast<unsigned char>(length & 0xFFu);
    out[1] = static_cast<unsigned char>((length >> 8) & 0xFFu);
    out[2] = static_cast<unsigned char>((length >> 16) & 0xFFu);
    out[3] = static_cast<unsigned char>((length >> 24) & 0xFFu);
}

std::uint32_t readHeader(const unsigned char in[4]) {
    return static_cast<std::uint32_t>(in[0]) | static_cast<std::uint32_t>(in[1]) << 8 |
           static_cast<std::uint32_t>(in[2]) << 16 | static_cast<std::uint32_t>(in[3]) << 24;
}

void appendFrame(std::string& out, std::string_view text) {
    assert(text.size() <= kMaxFrameBytes && "frame text longer than the peer accepts");
    unsigned char header[kHeaderBytes];
    writeHeader(static_cast<std::uint32_t>(text.size()), header);
    out.reserve(out.size() + kHeaderBytes + text.size());
    out.append(reinterpret_cast<const char*>(header), kHeaderBytes);
    out.append(text);
}

FrameAssembler::FrameAssembler(std::uint32_t maxLength)
    : m_maxLength(maxLength < kMaxFrameBytes ? maxLength : kMaxFrameBytes) {}

void FrameAssembler::feed(std::string_view bytes) {
    if (m_failed) {
        return;
    }
    // Drop the consumed prefix before growing, so the buffer holds at most one partial frame
    // plus what this call brings.
    if (m_start > 0) {
        m_buffer.erase(0, m_start);
        m_start = 0;
    }
    m_buffer.append(bytes);
}

FrameAssembler::Status FrameAssembler::next(std::string& text) {
    if (m_failed) {
        return Status::Failed;
    }
    if (buffered() < kHeaderBytes) {
        return Status::NeedMore;
    }
    const auto* header = reinterpret_cast<const unsigned char*>(m_buffer.data() + m_start);
    const std::uint32_t length = readHeader(header);
    if (!lengthAccepted(length) || length > m_maxLength) {
        m_failed = true;
        m_buffer.clear();
        m_buffer.shrink_to_fit();
        m_start = 0;
        return Status::Failed;
    }
    if (buffered() - kHeaderBytes < length) {
        return Status::NeedMore;
    }
    text.assign(m_buffer, m_start + kHeaderBytes, length);
    m_start += kHeaderBytes + length;
    if (m_start == m_buffer.size()) {
        m_buffer.clear();
        m_start = 0;
    }
    return Status::Frame;
}

}  // namespace framing

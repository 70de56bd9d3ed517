#include "server/net/SessionInput.h"

#include <algorithm>

namespace server {

SessionInput::SessionInput(const SessionLimits& limits, Clock::time_point now)
    : m_frames(limits.maxRequestBytes),
      m_framesPerSecond(limits.framesPerSecond),
      m_burstFrames(limits.burstFrames),
      m_tokens(limits.burstFrames),
      m_tokensAt(now) {}

void SessionInput::feed(std::string_view bytes) {
    if (!m_flooded) {
        m_frames.feed(bytes);
    }
}

SessionInput::Verdict SessionInput::next(std::string& text, Clock::time_point now) {
    if (m_flooded) {
        return Verdict::Flood;
    }
    switch (m_frames.next(text)) {
        case framing::FrameAssembler::Status::NeedMore:
            return Verdict::NeedMore;
        case framing::FrameAssembler::Status::Failed:
            return Verdict::BadLength;
        case framing::FrameAssembler::Status::Frame:
            break;
    }
    if (!takeFrameToken(now)) {
        m_flooded = true;
        text.clear();
        return Verdict::Flood;
    }
    return Verdict::Text;
}

const char* SessionInput::closeReason(Verdict verdict) {
    switch (verdict) {
        case Verdict::BadLength:
            return "bad frame length";
        case Verdict::Flood:
            return "flood";
        default:
            return "";
    }
}

bool SessionInput::takeFrameToken(Clock::time_point now) {
    const double seconds = std::chrono::duration<double>(now - m_tokensAt).count();
    m_tokensAt = now;
    m_tokens = std::min(m_burstFrames, m_tokens + seconds * m_framesPerSecond);
    if (m_tokens < 1.0) {
        return false;
    }
    m_tokens -= 1.0;
    return true;
}

}  // namespace server

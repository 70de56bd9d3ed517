#pragma once
// The part of a connection's input that needs no socket: the bytes a peer sent, cut into texts by
// the frame codec, and the limits on what a peer may send (a frame's length, the rate of frames).
// Time is passed in, so the fuzz target drives it on a virtual clock; Session feeds it what each
// read brings and closes the connection with closeReason() when it says so.
//
//   next() says    when                                           and after that
//   Text           a whole frame arrived within the rate          -
//   NeedMore       no whole frame buffered                        feed more
//   BadLength      a frame length of 0 or above maxRequestBytes   BadLength for good
//   Flood          more frames than the rate allows               Flood for good

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "wire/Framing.h"

namespace server {

struct SessionLimits {
    std::size_t maxQueuedBytes = 256 * 1024;  // frames waiting to be written
    // The kernel's send buffer for the socket, fixed rather than auto-tuned (up to megabytes), so
    // a peer that stops reading holds little memory and soon overflows the queue above.
    int socketSendBuffer = 64 * 1024;
    double framesPerSecond = 50;  // sustained rate of received frames
    double burstFrames = 100;     // frames a peer may send at once
    // The longest client text taken. The longest real one, a play of a whole hand, is about 150
    // bytes; the codec's 1 MiB would let one peer make the loop parse megabytes a second.
    std::uint32_t maxRequestBytes = 16 * 1024;
    // Nothing received for this long from a person in no game: closed ("idle"). The hall sends a
    // query every 10 s; in a game the turn timer covers a silent person, keep-alive a vanished one.
    std::chrono::milliseconds idleTimeout{120'000};
    // A frame whose first bytes came this long ago and which is still not whole: closed ("frame
    // too slow"), however the bytes trickle in.
    std::chrono::milliseconds frameTimeout{15'000};
};

class SessionInput {
public:
    using Clock = std::chrono::steady_clock;
    enum class Verdict { Text, NeedMore, BadLength, Flood };

    // `now` starts the rate: a full burst is allowed at once.
    SessionInput(const SessionLimits& limits, Clock::time_point now);

    // Appends received bytes; ignored once refused.
    void feed(std::string_view bytes);
    // Takes the oldest whole text into `text` if the rate allows it at `now`.
    Verdict next(std::string& text, Clock::time_point now);

    // The reason a connection closes for a final verdict ("bad frame length", "flood").
    static const char* closeReason(Verdict verdict);

    // Bytes received but not yet returned as a text.
    std::size_t buffered() const { return m_frames.buffered(); }

private:
    bool takeFrameToken(Clock::time_point now);

    framing::FrameAssembler m_frames;
    double m_framesPerSecond = 0;
    double m_burstFrames = 0;
    double m_tokens = 0;
    Clock::time_point m_tokensAt;
    bool m_flooded = false;
};

}  // namespace server

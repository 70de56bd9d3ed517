#pragma once
// A seeded stream of what a misbehaving server might send the client, and what a player should
// see from it.
//
// The stream is a long random mix of frames: valid messages of every kind (real texts from the
// server's own message builders), some meant for the scene the client is not showing, messages
// with wrong seat numbers, unknown kinds, values of the wrong JSON type, missing keys,
// out-of-range and malformed card codes, JSON that is not an object (one of them nested a few
// hundred thousand levels deep), and then one way of ending the link. A small model of the
// client follows the scene it shows (hall or desk, seat, what was dealt) to say which boxes each
// message brings and what the scenes hold at the end.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct ShownBox {
    std::string text;
    std::string title;
    bool operator==(const ShownBox&) const = default;
};

// How the stream ends; each finishes the link.
enum class StreamEnd {
    CleanClose,     // end of stream at a frame boundary
    CloseInHeader,  // end of stream after one to three bytes of a length
    CloseInText,    // end of stream inside a text
    ZeroLength,     // a length of 0, then more frames on an open link
    HugeLength,     // a length above the largest frame, then more bytes on an open link
    NotJson,        // a text that does not parse, then more frames on an open link
};
inline constexpr int kStreamEnds = 6;
const char* streamEndName(StreamEnd end);

struct HostileScript {
    std::string bytes;                 // everything the server writes
    bool endOfStream = false;          // the server ends the stream after the bytes
    std::size_t frames = 0;            // whole frames before the broken end
    std::map<std::string, int> kinds;  // frames per kind of mischief, for the printed summary
    std::vector<ShownBox> linkBoxes;   // the receiver thread's boxes, in order
    std::vector<ShownBox> sceneBoxes;  // the scenes' boxes (main thread), in order

    // Once every frame is handled:
    bool atDesk = false;  // the desk runs (else a hall)
    int desk = 0;         // the last seating's desk and seat
    int site = 0;
    std::vector<int> dealt;  // the last deal at that desk, in arrival order
    // The cards the server said the local seat played since that deal.
    std::vector<int> playedForSeat;
    std::string onlineText;  // the hall's online label (when a hall runs)
};

// `frames` whole frames (at least 10), then `end`.
HostileScript makeHostileScript(std::uint32_t seed, std::size_t frames, StreamEnd end);

// The boxes of the link's own failures.
inline const ShownBox kReceiveFailedBox{"从服务器接收数据错误.", "error"};
inline const ShownBox kDisconnectedBox{"与服务器断开连接!", "error"};

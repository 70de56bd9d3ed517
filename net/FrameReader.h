#pragma once
// Reading one length-prefixed frame from a blocking socket: the client's receive path, kept apart
// from the message boxes so every way a stream can end is told apart and testable.

#include <string>

#include "net/Socket.h"

enum class FrameRead {
    Ok,             // `text` holds the whole frame's text
    HeaderLost,     // the connection ended or failed before all four length bytes came
    LengthRefused,  // the length is 0 or above framing::kMaxFrameBytes; nothing was allocated
    BodyLost,       // the connection ended or failed inside the text
};

// Waits for the four length bytes (TCP may deliver them in pieces), then for the whole text,
// read into `text` (its storage is reused).
FrameRead readFrame(SocketHandle socket, std::string& text);

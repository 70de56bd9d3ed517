#pragma once
// A blocking protocol client for loopback tests: every wait has a time limit, so a test that goes
// wrong fails instead of hanging. Test thread only.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "net/Message.h"
#include "net/Socket.h"

class LoopbackClient {
public:
    using Millis = std::chrono::milliseconds;

    LoopbackClient() = default;
    LoopbackClient(const LoopbackClient&) = delete;
    LoopbackClient& operator=(const LoopbackClient&) = delete;
    ~LoopbackClient();

    // `receiveBuffer` > 0 shrinks the socket's receive buffer (a peer that reads slowly).
    bool connect(unsigned short port, int receiveBuffer = 0);
    // Sends one frame; false once the server has gone.
    bool sendText(std::string_view text);
    bool sendRaw(std::string_view bytes);
    // The next whole text, or nothing on time-out or close.
    std::optional<std::string> receiveText(Millis timeout = Millis(5000));
    // The next message of kind `opt`, decoded, skipping others; nothing on time-out or close.
    std::optional<stMsg> receive(const std::string& opt, Millis timeout = Millis(5000));
    // Reads and drops everything until the server closes; false if it is still open at time-out.
    bool waitClosed(Millis timeout = Millis(5000));
    void close();

private:
    bool fill(std::chrono::steady_clock::time_point deadline);

    SocketHandle m_socket = kNoSocket;
    bool m_eof = false;
    std::string m_buffer;
};

// Two persons sit down at one desk and get ready, and the game is dealt (computer players fill the
// other seats): the seating answers of `one` and `two`, or nothing when any step failed.
// `oneFirst`, when not empty, is sent by `one` first and its answer awaited (a "hello").
std::optional<std::pair<stMsg, stMsg>> dealForTwo(unsigned short port, LoopbackClient& one,
                                                  LoopbackClient& two,
                                                  const std::string& oneFirst = "");

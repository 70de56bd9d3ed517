#pragma once
// A one-connection TCP server on 127.0.0.1 with an ephemeral port, driven step by step from a
// test or a benchmark: accept, write exactly the segments wanted, read what the client sent,
// close or reset. Every wait is bounded so a broken client fails the test instead of hanging it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "net/Socket.h"

class LoopbackServer {
public:
    // Listens on `port`, or on a free port when 0; port() is 0 when the port could not be had.
    explicit LoopbackServer(std::uint16_t port = 0);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    std::uint16_t port() const { return m_port; }

    // Waits for the client's connection.
    bool accept(int timeoutMs = 5000);
    // One write of all of `bytes`. With Nagle off, a write after a pause is its own segment.
    bool send(std::string_view bytes);
    // Reads until `size` bytes arrived, the peer closed, or the time ran out.
    std::string receive(std::size_t size, int timeoutMs = 5000);
    // True when the client shut its side down within the time (pending bytes are discarded).
    bool peerClosed(int timeoutMs = 5000);
    // Bytes waiting from the client right now, without reading them.
    std::size_t pending() const;
    void close();  // orderly close: the client reads end of stream
    void reset();  // abortive close: the client gets a connection reset

private:
    std::uint16_t m_port = 0;  // set while m_listener is made, so declared before it
    SocketHandle m_listener = kNoSocket;
    SocketHandle m_peer = kNoSocket;
};

// One frame: the 4-byte little-endian length, then the text.
std::string frameOf(std::string_view text);
// Only a length header, for frames whose body is sent separately or never.
std::string headerOf(std::uint32_t length);

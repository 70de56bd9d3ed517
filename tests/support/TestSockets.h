#pragma once
// Loopback TCP for tests, the same on POSIX and Windows: listening, accepting and waiting with
// time limits, so a broken peer fails a test instead of hanging it. Sends and receives are the
// client's own (net/Socket.h).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "net/Socket.h"

namespace testnet {

// Listens on `host` (dotted IPv4) and `port`, or a free port when 0; kNoSocket when that cannot
// be had. `bound` receives the port taken.
SocketHandle listenOn(const std::string& host, std::uint16_t port, std::uint16_t& bound);
// A blocking connection to 127.0.0.1:port, with `receiveBuffer` bytes of kernel buffer when > 0.
SocketHandle connectLoopback(std::uint16_t port, int receiveBuffer = 0);
// The connection that comes within the time (Nagle off), or kNoSocket.
SocketHandle acceptWithin(SocketHandle listener, int timeoutMs);

enum Ready : int { kNothing = 0, kReadable = 1, kWritable = 2 };
// What `socket` is ready for within the time, of what was asked (kReadable | kWritable).
int waitFor(SocketHandle socket, int wanted, int timeoutMs);
struct Wait {
    SocketHandle socket;
    int wanted;
};
// The same for several sockets at once: what each is ready for, in the order given.
std::vector<int> waitForAny(const std::vector<Wait>& waits, int timeoutMs);
bool readableWithin(SocketHandle socket, int timeoutMs);

// Two connected stream sockets (a socket pair; on Windows, which has none, loopback TCP); false
// when they cannot be had.
bool connectedPair(SocketHandle& first, SocketHandle& second);

// Sends all of `bytes`; false when the connection failed.
bool sendAll(SocketHandle socket, std::string_view bytes);
// Calls on a socket in non-blocking mode report "would block" as this value (below 0 otherwise).
inline constexpr long kWouldBlock = -2;
void setNonBlocking(SocketHandle socket);
long sendNow(SocketHandle socket, const char* data, std::size_t size);
long recvNow(SocketHandle socket, char* data, std::size_t size);

// Bytes already received and not yet read.
std::size_t pendingBytes(SocketHandle socket);
void shutdownWrite(SocketHandle socket);
// Closes so that the peer gets a connection reset instead of an end of stream.
void closeAbortively(SocketHandle socket);
void closeSocket(SocketHandle socket);

// Whether this is a Windows program running under Wine, whose sockets differ from Windows' own
// in places.
bool underWine();

}  // namespace testnet

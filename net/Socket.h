#pragma once
// The few blocking TCP operations the server link needs, over POSIX sockets or Windows Sockets.
// Plain wrappers: no message boxes, no state; the caller decides what a failure means.

#include <cstddef>
#include <cstdint>
#include <string>

#ifdef _WIN32
using SocketHandle = std::uintptr_t;                             // SOCKET
inline constexpr SocketHandle kNoSocket = ~SocketHandle{0};      // INVALID_SOCKET
#else
using SocketHandle = int;
inline constexpr SocketHandle kNoSocket = -1;
#endif

// Starts the sockets library where the platform needs it (Windows Sockets 2.2), on the first call
// only; it is stopped when the process exits.
void startSockets();

// A blocking TCP connection to `host` (dotted IPv4 text, read with inet_addr: no name look-up)
// on `port`; kNoSocket when the host is not dotted IPv4, no socket could be made or the
// connection failed.
SocketHandle connectIPv4(const std::string& host, std::uint16_t port);

// One blocking send or recv: the number of bytes moved, 0 when the peer closed (recv), below 0
// on an error. Interrupted calls are retried. Sending never raises SIGPIPE.
long sendSome(SocketHandle socket, const char* data, std::size_t size);
long recvSome(SocketHandle socket, char* data, std::size_t size);

// Shuts both directions down, which wakes a thread blocked in recvSome (it then sees 0).
void shutdownSocket(SocketHandle socket);

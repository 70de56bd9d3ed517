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

// Every socket made here has TCP keep-alive on, so a peer that vanished without a word (a laptop
// gone to sleep, a dropped Wi-Fi) is found out by the system within minutes.

// A TCP connection to `host` (dotted IPv4 text, read with inet_addr: no name look-up) on `port`,
// in two steps so that a caller need not block: beginConnectIPv4 starts it and returns at once
// (kNoSocket when the host is not dotted IPv4 or it failed at once); finishConnect then waits up to `waitMs`
// milliseconds (0: only looks, below 0: as long as it takes). Connected leaves a blocking socket
// ready for sendSome and recvSome; after Failed, or to give up while Pending, close the socket.
enum class ConnectProgress { Pending, Connected, Failed };
SocketHandle beginConnectIPv4(const std::string& host, std::uint16_t port);
ConnectProgress finishConnect(SocketHandle socket, int waitMs);
// Whether a connection to host:port succeeds within `waitMs`; the probe is closed at once.
bool acceptsConnections(const std::string& host, std::uint16_t port, int waitMs);

// One blocking send or recv: the number of bytes moved, 0 when the peer closed (recv), below 0
// on an error. Interrupted calls are retried. Sending never raises SIGPIPE.
long sendSome(SocketHandle socket, const char* data, std::size_t size);
long recvSome(SocketHandle socket, char* data, std::size_t size);

// Shuts both directions down, which wakes a thread blocked in recvSome (it then sees 0).
void shutdownSocket(SocketHandle socket);
// Releases the socket; no thread may be using it any more.
void closeSocket(SocketHandle socket);

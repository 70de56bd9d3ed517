#include "net/Socket.h"

#include <climits>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
using IoSize = int;
constexpr std::size_t kMaxIo = INT_MAX;
#else
using IoSize = std::size_t;
constexpr std::size_t kMaxIo = SSIZE_MAX;
#endif

#if defined(MSG_NOSIGNAL)
constexpr int kSendFlags = MSG_NOSIGNAL;  // a reset peer gives EPIPE instead of killing us
#else
constexpr int kSendFlags = 0;
#endif

// Keep-alive probes after a minute of silence, then every 10 s; five unanswered ones end the link.
constexpr int kKeepAliveIdleSeconds = 60;
constexpr int kKeepAliveIntervalSeconds = 10;
constexpr int kKeepAliveProbes = 5;

bool interrupted() {
#ifdef _WIN32
    return WSAGetLastError() == WSAEINTR;
#else
    return errno == EINTR;
#endif
}

bool connectInProgress() {
#ifdef _WIN32
    return WSAGetLastError() == WSAEWOULDBLOCK;
#else
    return errno == EINPROGRESS || errno == EINTR;
#endif
}

void setOption(SocketHandle socket, int level, int name, int value) {
    setsockopt(socket, level, name, reinterpret_cast<const char*>(&value), sizeof value);
}

void keepAlive(SocketHandle socket) {
    setOption(socket, SOL_SOCKET, SO_KEEPALIVE, 1);
#if defined(TCP_KEEPIDLE) && defined(TCP_KEEPINTVL) && defined(TCP_KEEPCNT)
    setOption(socket, IPPROTO_TCP, TCP_KEEPIDLE, kKeepAliveIdleSeconds);
    setOption(socket, IPPROTO_TCP, TCP_KEEPINTVL, kKeepAliveIntervalSeconds);
    setOption(socket, IPPROTO_TCP, TCP_KEEPCNT, kKeepAliveProbes);
#endif
}

bool setBlocking(SocketHandle socket, bool blocking) {
#ifdef _WIN32
    u_long nonBlocking = blocking ? 0 : 1;
    return ioctlsocket(static_cast<SOCKET>(socket), FIONBIO, &nonBlocking) == 0;
#else
    const int flags = fcntl(socket, F_GETFL, 0);
    if (flags < 0) {
        return false;
    }
    return fcntl(socket, F_SETFL, blocking ? flags & ~O_NONBLOCK : flags | O_NONBLOCK) == 0;
#endif
}

// Waits until the connect under way on `socket` has an outcome: 1 when it has, 0 when `waitMs`
// passed first, -1 when the wait itself failed.
int waitForOutcome(SocketHandle socket, int waitMs) {
#ifdef _WIN32
    // select, not WSAPoll: WSAPoll does not report a refused connect on older systems.
    fd_set writable;
    fd_set failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(static_cast<SOCKET>(socket), &writable);
    FD_SET(static_cast<SOCKET>(socket), &failed);
    timeval limit{waitMs / 1000, (waitMs % 1000) * 1000};
    const int ready = select(0, nullptr, &writable, &failed, waitMs < 0 ? nullptr : &limit);
    return ready == SOCKET_ERROR ? -1 : (ready > 0 ? 1 : 0);
#else
    pollfd entry{socket, POLLOUT, 0};
    for (;;) {
        const int ready = poll(&entry, 1, waitMs);
        if (ready >= 0 || errno != EINTR) {
            return ready < 0 ? -1 : (ready > 0 ? 1 : 0);
        }
    }
#endif
}

}  // namespace

void startSockets() {
#ifdef _WIN32
    // Started on the first call, stopped when the process exits.
    static const struct Winsock {
        Winsock() {
            WSADATA data;
            WSAStartup(0x0202, &data);
        }
        ~Winsock() { WSACleanup(); }
    } winsock;
#endif
}

SocketHandle beginConnectIPv4(const std::string& host, std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = inet_addr(host.c_str());
    // Not dotted IPv4 (a host name, say): inet_addr's INADDR_NONE is the broadcast address,
    // which TCP cannot reach, so fail without trying.
    if (address.sin_addr.s_addr == INADDR_NONE) {
        return kNoSocket;
    }

    const auto socket = static_cast<SocketHandle>(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (socket == kNoSocket) {
        return kNoSocket;
    }
#if !defined(MSG_NOSIGNAL) && defined(SO_NOSIGPIPE)
    setOption(socket, SOL_SOCKET, SO_NOSIGPIPE, 1);
#endif
    keepAlive(socket);
    if (!setBlocking(socket, false)) {
        closeSocket(socket);
        return kNoSocket;
    }
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 &&
        !connectInProgress()) {
        closeSocket(socket);
        return kNoSocket;
    }
    return socket;
}

ConnectProgress finishConnect(SocketHandle socket, int waitMs) {
    const int outcome = waitForOutcome(socket, waitMs);
    if (outcome == 0) {
        return ConnectProgress::Pending;
    }
    int error = 0;
    socklen_t size = sizeof error;
    if (outcome < 0 ||
        getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0 ||
        error != 0 || !setBlocking(socket, true)) {
        return ConnectProgress::Failed;
    }
    return ConnectProgress::Connected;
}

bool acceptsConnections(const std::string& host, std::uint16_t port, int waitMs) {
    const SocketHandle socket = beginConnectIPv4(host, port);
    if (socket == kNoSocket) {
        return false;
    }
    const bool connected = finishConnect(socket, waitMs) == ConnectProgress::Connected;
    closeSocket(socket);
    return connected;
}

long sendSome(SocketHandle socket, const char* data, std::size_t size) {
    const auto chunk = static_cast<IoSize>(size < kMaxIo ? size : kMaxIo);
    for (;;) {
        const auto sent = ::send(socket, data, chunk, kSendFlags);
        if (sent >= 0 || !interrupted()) {
            return static_cast<long>(sent);
        }
    }
}

long recvSome(SocketHandle socket, char* data, std::size_t size) {
    const auto chunk = static_cast<IoSize>(size < kMaxIo ? size : kMaxIo);
    for (;;) {
        const auto received = ::recv(socket, data, chunk, 0);
        if (received >= 0 || !interrupted()) {
            return static_cast<long>(received);
        }
    }
}

void shutdownSocket(SocketHandle socket) {
#ifdef _WIN32
    ::shutdown(static_cast<SOCKET>(socket), SD_BOTH);
#else
    ::shutdown(socket, SHUT_RDWR);
#endif
}

void closeSocket(SocketHandle socket) {
#ifdef _WIN32
    closesocket(static_cast<SOCKET>(socket));
#else
    close(socket);
#endif
}

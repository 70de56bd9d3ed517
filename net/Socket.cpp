#include "net/Socket.h"

#include <climits>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
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

bool interrupted() {
#ifdef _WIN32
    return WSAGetLastError() == WSAEINTR;
#else
    return errno == EINTR;
#endif
}

void closeSocket(SocketHandle socket) {
#ifdef _WIN32
    closesocket(static_cast<SOCKET>(socket));
#else
    close(socket);
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

SocketHandle connectIPv4(const std::string& host, std::uint16_t port) {
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
    const int on = 1;
    setsockopt(socket, SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof on);
#endif
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        closeSocket(socket);
        return kNoSocket;
    }
    return socket;
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

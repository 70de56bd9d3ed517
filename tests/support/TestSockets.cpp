#include "tests/support/TestSockets.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace testnet {

namespace {

#ifdef _WIN32
using OptionValue = char;
int pollSockets(pollfd* fds, unsigned long count, int timeoutMs) {
    return WSAPoll(fds, count, timeoutMs);
}
bool lastCallWouldBlock() { return WSAGetLastError() == WSAEWOULDBLOCK; }
#else
using OptionValue = void;
int pollSockets(pollfd* fds, nfds_t count, int timeoutMs) { return ::poll(fds, count, timeoutMs); }
bool lastCallWouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR; }
#endif

template <typename T>
void setOption(SocketHandle socket, int level, int name, const T& value) {
    ::setsockopt(socket, level, name, reinterpret_cast<const OptionValue*>(&value), sizeof value);
}

long nowResult(long result) {
    return result < 0 && lastCallWouldBlock() ? kWouldBlock : result;
}

}  // namespace

SocketHandle listenOn(const std::string& host, std::uint16_t port, std::uint16_t& bound) {
    startSockets();
    bound = 0;
    const auto socket = static_cast<SocketHandle>(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (socket == kNoSocket) {
        return kNoSocket;
    }
#ifndef _WIN32
    // On Windows the same option would let two listeners share a port.
    setOption(socket, SOL_SOCKET, SO_REUSEADDR, 1);
#endif
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    socklen_t length = sizeof address;
    if (::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1 ||
        ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(socket, 1) != 0 ||
        ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closeSocket(socket);
        return kNoSocket;
    }
    bound = ntohs(address.sin_port);
    return socket;
}

SocketHandle connectLoopback(std::uint16_t port, int receiveBuffer) {
    startSockets();
    const auto socket = static_cast<SocketHandle>(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (socket == kNoSocket) {
        return kNoSocket;
    }
    if (receiveBuffer > 0) {
        setOption(socket, SOL_SOCKET, SO_RCVBUF, receiveBuffer);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        closeSocket(socket);
        return kNoSocket;
    }
    return socket;
}

SocketHandle acceptWithin(SocketHandle listener, int timeoutMs) {
    if (listener == kNoSocket || !readableWithin(listener, timeoutMs)) {
        return kNoSocket;
    }
    const auto peer = static_cast<SocketHandle>(::accept(listener, nullptr, nullptr));
    if (peer != kNoSocket) {
        setOption(peer, IPPROTO_TCP, TCP_NODELAY, 1);
    }
    return peer;
}

std::vector<int> waitForAny(const std::vector<Wait>& waits, int timeoutMs) {
    std::vector<pollfd> entries(waits.size());
    for (std::size_t i = 0; i < waits.size(); ++i) {
        entries[i].fd = waits[i].socket;
        entries[i].events = static_cast<short>(((waits[i].wanted & kReadable) ? POLLIN : 0) |
                                               ((waits[i].wanted & kWritable) ? POLLOUT : 0));
    }
    std::vector<int> ready(waits.size(), kNothing);
    if (pollSockets(entries.data(), entries.size(), timeoutMs) <= 0) {
        return ready;
    }
    for (std::size_t i = 0; i < waits.size(); ++i) {
        // A closed or failed connection is readable: the read then says what happened.
        const bool readable = (entries[i].revents & (POLLIN | POLLHUP | POLLERR)) != 0;
        ready[i] = ((waits[i].wanted & kReadable) && readable ? kReadable : 0) |
                   ((entries[i].revents & POLLOUT) ? kWritable : 0);
    }
    return ready;
}

int waitFor(SocketHandle socket, int wanted, int timeoutMs) {
    return waitForAny({{socket, wanted}}, timeoutMs).front();
}

bool readableWithin(SocketHandle socket, int timeoutMs) {
    return waitFor(socket, kReadable, timeoutMs) == kReadable;
}

bool connectedPair(SocketHandle& first, SocketHandle& second) {
#ifdef _WIN32
    std::uint16_t port = 0;
    const SocketHandle listener = listenOn("127.0.0.1", 0, port);
    first = connectLoopback(port);
    second = first == kNoSocket ? kNoSocket : acceptWithin(listener, 5000);
    if (listener != kNoSocket) {
        closeSocket(listener);
    }
    if (second == kNoSocket && first != kNoSocket) {
        closeSocket(first);
        first = kNoSocket;
    }
    return second != kNoSocket;
#else
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0) {
        return false;
    }
    first = ends[0];
    second = ends[1];
    return true;
#endif
}

bool sendAll(SocketHandle socket, std::string_view bytes) {
    while (!bytes.empty()) {
        const long sent = sendSome(socket, bytes.data(), bytes.size());
        if (sent <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

void setNonBlocking(SocketHandle socket) {
#ifdef _WIN32
    u_long on = 1;
    ioctlsocket(socket, FIONBIO, &on);
#else
    ::fcntl(socket, F_SETFL, ::fcntl(socket, F_GETFL) | O_NONBLOCK);
#endif
}

long sendNow(SocketHandle socket, const char* data, std::size_t size) {
    return nowResult(sendSome(socket, data, size));
}

long recvNow(SocketHandle socket, char* data, std::size_t size) {
    return nowResult(recvSome(socket, data, size));
}

std::size_t pendingBytes(SocketHandle socket) {
#ifdef _WIN32
    u_long count = 0;
    ioctlsocket(socket, FIONREAD, &count);
#else
    int count = 0;
    ::ioctl(socket, FIONREAD, &count);
#endif
    return static_cast<std::size_t>(count);
}

void shutdownWrite(SocketHandle socket) {
#ifdef _WIN32
    ::shutdown(socket, SD_SEND);
#else
    ::shutdown(socket, SHUT_WR);
#endif
}

void closeAbortively(SocketHandle socket) {
    const linger abortive{1, 0};
    setOption(socket, SOL_SOCKET, SO_LINGER, abortive);
    closeSocket(socket);
}

bool underWine() {
#ifdef _WIN32
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
    return false;
#endif
}

void closeSocket(SocketHandle socket) {
#ifdef _WIN32
    ::closesocket(socket);
#else
    ::close(socket);
#endif
}

}  // namespace testnet

#include "tests/net/LoopbackServer.h"

#include <algorithm>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include "net/Framing.h"

namespace {

bool readable(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, timeoutMs) > 0;
}

}  // namespace

LoopbackServer::LoopbackServer(std::uint16_t port) {
    m_listener = socket(AF_INET, SOCK_STREAM, 0);
    const int on = 1;
    setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    socklen_t length = sizeof address;
    if (m_listener < 0 ||
        bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_listener, 1) != 0 ||
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return;
    }
    m_port = ntohs(address.sin_port);
}

LoopbackServer::~LoopbackServer() {
    close();
    if (m_listener >= 0) {
        ::close(m_listener);
    }
}

bool LoopbackServer::accept(int timeoutMs) {
    if (m_listener < 0 || !readable(m_listener, timeoutMs)) {
        return false;
    }
    m_peer = ::accept(m_listener, nullptr, nullptr);
    const int on = 1;
    setsockopt(m_peer, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return m_peer >= 0;
}

bool LoopbackServer::send(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::send(m_peer, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string LoopbackServer::receive(std::size_t size, int timeoutMs) {
    std::string out;
    char chunk[4096];
    while (out.size() < size && readable(m_peer, timeoutMs)) {
        const std::size_t want = std::min(sizeof chunk, size - out.size());
        const ssize_t n = ::recv(m_peer, chunk, want, 0);
        if (n <= 0) {
            break;
        }
        out.append(chunk, static_cast<std::size_t>(n));
    }
    return out;
}

bool LoopbackServer::peerClosed(int timeoutMs) {
    char chunk[4096];
    while (readable(m_peer, timeoutMs)) {
        if (::recv(m_peer, chunk, sizeof chunk, 0) <= 0) {
            return true;
        }
    }
    return false;
}

std::size_t LoopbackServer::pending() const {
    int count = 0;
    ioctl(m_peer, FIONREAD, &count);
    return static_cast<std::size_t>(count);
}

void LoopbackServer::close() {
    if (m_peer >= 0) {
        ::close(m_peer);
        m_peer = -1;
    }
}

void LoopbackServer::reset() {
    if (m_peer >= 0) {
        const linger abortive{1, 0};
        setsockopt(m_peer, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    }
    close();
}

std::string frameOf(std::string_view text) {
    std::string out;
    framing::appendFrame(out, text);
    return out;
}

std::string headerOf(std::uint32_t length) {
    unsigned char header[framing::kHeaderBytes];
    framing::writeHeader(length, header);
    return std::string(reinterpret_cast<const char*>(header), sizeof header);
}

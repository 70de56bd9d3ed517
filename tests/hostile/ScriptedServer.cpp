#include "tests/hostile/ScriptedServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace {

constexpr int kSliceMs = 50;  // how often a wait looks at the stop flag
constexpr auto kAcceptPatience = std::chrono::seconds(20);

}  // namespace

// test thread
ScriptedServer::ScriptedServer(const std::string& host) {
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (m_listener < 0 || ::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1 ||
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 1) != 0 ||
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return;
    }
    m_port = ntohs(address.sin_port);
}

// test thread
ScriptedServer::~ScriptedServer() {
    stop();
    if (m_listener >= 0) {
        ::close(m_listener);
    }
}

// test thread
void ScriptedServer::play(std::string stream, Ending ending) {
    m_thread = std::thread([this, stream = std::move(stream), ending] { run(stream, ending); });
}

// any thread
std::vector<std::string> ScriptedServer::received() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

// test thread
void ScriptedServer::stop() {
    m_stop = true;
    if (m_thread.joinable()) {
        m_thread.join();
    }
    if (m_peer >= 0) {
        ::close(m_peer);
        m_peer = -1;
    }
}

// server thread
bool ScriptedServer::service(bool wantWrite) {
    pollfd peer{m_peer, static_cast<short>(POLLIN | (wantWrite ? POLLOUT : 0)), 0};
    if (::poll(&peer, 1, kSliceMs) <= 0) {
        return false;
    }
    if ((peer.revents & POLLIN) != 0) {
        char bytes[4096];
        const ssize_t n = ::recv(m_peer, bytes, sizeof bytes, MSG_DONTWAIT);
        if (n > 0) {
            m_fromClient.feed(std::string_view(bytes, static_cast<std::size_t>(n)));
            std::string text;
            while (m_fromClient.next(text) == framing::FrameAssembler::Status::Frame) {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_received.push_back(text);
            }
        } else if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
            // The client shut its side or the link failed: nothing more to read, but poll would
            // keep saying so at once; wait a slice instead of spinning.
            ::usleep(kSliceMs * 1000);
        }
    }
    return (peer.revents & POLLOUT) != 0;
}

// server thread
void ScriptedServer::run(const std::string& stream, Ending ending) {
    const auto deadline = std::chrono::steady_clock::now() + kAcceptPatience;
    while (m_peer < 0) {
        if (m_stop || std::chrono::steady_clock::now() > deadline) {
            return;
        }
        pollfd listener{m_listener, POLLIN, 0};
        if (::poll(&listener, 1, kSliceMs) > 0) {
            m_peer = ::accept(m_listener, nullptr, nullptr);
        }
    }
    // One client only: the client's attempts to reconnect after the stream ends are refused, so
    // the scenes go on draining what the stream left in the queue.
    ::close(m_listener);
    m_listener = -1;
    const int on = 1;
    ::setsockopt(m_peer, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);

    std::size_t sent = 0;
    while (sent < stream.size() && !m_stop) {
        if (!service(true)) {
            continue;
        }
        const ssize_t n =
            ::send(m_peer, stream.data() + sent, stream.size() - sent, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            return;  // the client went away; nothing more to script
        }
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            m_written = sent;
        }
    }
    if (m_stop) {
        return;
    }
    if (ending == Ending::HalfClose) {
        ::shutdown(m_peer, SHUT_WR);
    }
    m_finished = true;
    while (!m_stop) {
        service(false);
    }
}

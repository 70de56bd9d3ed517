#include "tests/support/LinkCutter.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>

#include "tests/support/TestSockets.h"

namespace {

void noDelay(int socket) {
    const int on = 1;
    ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

}  // namespace

LinkCutter::LinkCutter(std::uint16_t serverPort, const std::string& listenHost,
                       std::uint16_t listenPort)
    : m_serverPort(serverPort) {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0) {
        return;
    }
    m_wakeRead = ends[0];
    m_wakeWrite = ends[1];
    std::uint16_t bound = 0;
    m_listener = testnet::listenOn(listenHost, listenPort, bound);
    if (m_listener == kNoSocket) {
        return;
    }
    ::listen(m_listener, 16);
    m_port = bound;
    m_thread = std::thread(&LinkCutter::relay, this);
}

LinkCutter::~LinkCutter() {
    if (m_thread.joinable()) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stopping = true;
        }
        const char byte = 0;
        (void)::write(m_wakeWrite, &byte, 1);
        m_thread.join();
    }
    for (int socket : {m_listener, m_wakeRead, m_wakeWrite}) {
        if (socket >= 0) {
            ::close(socket);
        }
    }
}

// any thread
void LinkCutter::cut() {
    if (!m_thread.joinable()) {
        return;
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    const std::uint64_t ticket = ++m_cutsAsked;
    const char byte = 1;
    (void)::write(m_wakeWrite, &byte, 1);
    m_done.wait(lock, [&] { return m_cutsDone >= ticket || m_stopping; });
}

// relay thread
void LinkCutter::relay() {
    std::vector<pollfd> polled;
    for (;;) {
        polled.clear();
        polled.push_back(pollfd{m_wakeRead, POLLIN, 0});
        polled.push_back(pollfd{m_listener, POLLIN, 0});
        for (const Link& link : m_links) {
            polled.push_back(pollfd{link.client, POLLIN, 0});
            polled.push_back(pollfd{link.server, POLLIN, 0});
        }
        if (::poll(polled.data(), polled.size(), -1) < 0) {
            continue;  // interrupted
        }
        if (polled[0].revents != 0) {
            char bytes[64];
            (void)::read(m_wakeRead, bytes, sizeof bytes);
            closeAll();
            std::lock_guard<std::mutex> lock(m_mutex);
            m_cutsDone = m_cutsAsked;
            m_done.notify_all();
            if (m_stopping) {
                return;
            }
            continue;
        }
        // Links first: the polled entries name them by index, which an accept would shift.
        for (std::size_t k = m_links.size(); k-- > 0;) {
            const short fromClient = polled[2 + 2 * k].revents;
            const short fromServer = polled[3 + 2 * k].revents;
            const Link link = m_links[k];
            const bool alive = (fromClient == 0 || pass(link.client, link.server)) &&
                               (fromServer == 0 || pass(link.server, link.client));
            if (!alive) {
                ::close(link.client);
                ::close(link.server);
                m_links.erase(m_links.begin() + static_cast<std::ptrdiff_t>(k));
                --m_linksOpen;
            }
        }
        if (polled[1].revents != 0) {
            acceptLink();
        }
    }
}

// relay thread
void LinkCutter::acceptLink() {
    const int client = ::accept(m_listener, nullptr, nullptr);
    if (client < 0) {
        return;
    }
    const int server = testnet::connectLoopback(m_serverPort);
    if (server == kNoSocket) {
        ::close(client);  // the server is down: the client sees its link refused
        return;
    }
    noDelay(client);
    noDelay(server);
    m_links.push_back(Link{client, server});
    ++m_linksMade;
    ++m_linksOpen;
}

// relay thread
bool LinkCutter::pass(int from, int to) {
    std::array<char, 16384> buffer;
    const long got = recvSome(from, buffer.data(), buffer.size());
    return got > 0 && testnet::sendAll(to, std::string_view(buffer.data(),
                                                            static_cast<std::size_t>(got)));
}

// relay thread
void LinkCutter::closeAll() {
    for (const Link& link : m_links) {
        // A reset, as a router that lost the connection's state would answer.
        testnet::closeAbortively(link.client);
        testnet::closeAbortively(link.server);
    }
    m_links.clear();
    m_linksOpen = 0;
}

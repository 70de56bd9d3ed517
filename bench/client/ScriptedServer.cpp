#include "ScriptedServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "wire/Framing.h"

ScriptedServer::~ScriptedServer() {
    stop();
}

bool ScriptedServer::start(const std::string& host, unsigned short port, std::string& error) {
    m_listenFd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int on = 1;
    ::setsockopt(m_listenFd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1 ||
        ::bind(m_listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listenFd, 8) != 0) {
        error = host + ":" + std::to_string(port) + ": " + std::strerror(errno);
        ::close(m_listenFd);
        m_listenFd = -1;
        return false;
    }
    m_thread = std::thread([this] { serve(); });
    return true;
}

void ScriptedServer::stop() {
    if (m_listenFd < 0) {
        return;
    }
    m_stopping = true;
    m_thread.join();
    ::close(m_listenFd);
    m_listenFd = -1;
    std::lock_guard<std::mutex> lock(m_mutex);
    for (int fd : m_clients) {
        ::close(fd);
    }
    m_clients.clear();
}

void ScriptedServer::setGreeting(std::vector<std::string> texts) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_greeting = std::move(texts);
}

bool ScriptedServer::send(const std::vector<std::string>& texts) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_clients.empty() && sendTo(m_clients.back(), texts);
}

// Caller holds m_mutex.
bool ScriptedServer::sendTo(int fd, const std::vector<std::string>& texts) {
    std::string bytes;
    for (const std::string& text : texts) {
        framing::appendFrame(bytes, text);
    }
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

// Server thread: accepts, greets, and drains every connection until stop().
void ScriptedServer::serve() {
    char sink[4096];
    while (!m_stopping) {
        std::vector<pollfd> fds{{m_listenFd, POLLIN, 0}};
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            for (int fd : m_clients) {
                fds.push_back({fd, POLLIN, 0});
            }
        }
        if (::poll(fds.data(), fds.size(), 50) <= 0) {
            continue;
        }
        if (fds[0].revents & POLLIN) {
            const int fd = ::accept(m_listenFd, nullptr, nullptr);
            if (fd >= 0) {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_clients.push_back(fd);
                sendTo(fd, m_greeting);
                ++m_accepted;
            }
        }
        for (std::size_t i = 1; i < fds.size(); ++i) {
            if (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) {
                if (::recv(fds[i].fd, sink, sizeof sink, 0) <= 0) {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    std::erase(m_clients, fds[i].fd);
                    ::close(fds[i].fd);
                }
            }
        }
    }
}

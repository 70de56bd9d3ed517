#include "tests/server/LoopbackClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "net/Framing.h"
#include "net/MessageDecoder.h"

LoopbackClient::~LoopbackClient() {
    close();
}

bool LoopbackClient::connect(unsigned short port, int receiveBuffer) {
    m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (m_fd < 0) {
        return false;
    }
    if (receiveBuffer > 0) {
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return ::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

bool LoopbackClient::sendText(std::string_view text) {
    std::string frame;
    framing::appendFrame(frame, text);
    return sendRaw(frame);
}

bool LoopbackClient::sendRaw(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

bool LoopbackClient::fill(std::chrono::steady_clock::time_point deadline) {
    if (m_eof) {
        return false;
    }
    const auto left =
        std::chrono::duration_cast<Millis>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
        return false;
    }
    pollfd poller{m_fd, POLLIN, 0};
    if (::poll(&poller, 1, static_cast<int>(left.count())) <= 0) {
        return false;
    }
    char chunk[64 * 1024];
    const ssize_t got = ::recv(m_fd, chunk, sizeof chunk, 0);
    if (got <= 0) {
        m_eof = true;  // closed or reset by the server
        return false;
    }
    m_buffer.append(chunk, static_cast<std::size_t>(got));
    return true;
}

std::optional<std::string> LoopbackClient::receiveText(Millis timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (m_buffer.size() >= framing::kHeaderBytes) {
            const std::uint32_t length =
                framing::readHeader(reinterpret_cast<const unsigned char*>(m_buffer.data()));
            if (m_buffer.size() >= framing::kHeaderBytes + length) {
                std::string text = m_buffer.substr(framing::kHeaderBytes, length);
                m_buffer.erase(0, framing::kHeaderBytes + length);
                return text;
            }
        }
        if (!fill(deadline)) {
            return std::nullopt;
        }
    }
}

std::optional<stMsg> LoopbackClient::receive(const std::string& opt, Millis timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<Millis>(deadline - std::chrono::steady_clock::now());
        const std::optional<std::string> text = receiveText(left);
        if (!text) {
            return std::nullopt;
        }
        stMsg msg;
        if (decodeMessage(*text, msg) == DecodeStatus::Ok && msg.opt == opt) {
            return msg;
        }
    }
}

bool LoopbackClient::waitClosed(Millis timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!m_eof) {
        m_buffer.clear();
        if (!fill(deadline) && !m_eof) {
            return false;
        }
    }
    return true;
}

void LoopbackClient::close() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

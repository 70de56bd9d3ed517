#include "tests/server/net/LoopbackClient.h"

#include "net/MessageDecoder.h"
#include "net/OutgoingMessages.h"
#include "tests/support/TestSockets.h"
#include "wire/Framing.h"

LoopbackClient::~LoopbackClient() {
    close();
}

bool LoopbackClient::connect(unsigned short port, int receiveBuffer) {
    m_socket = testnet::connectLoopback(port, receiveBuffer);
    return m_socket != kNoSocket;
}

bool LoopbackClient::sendText(std::string_view text) {
    std::string frame;
    framing::appendFrame(frame, text);
    return sendRaw(frame);
}

bool LoopbackClient::sendRaw(std::string_view bytes) {
    return testnet::sendAll(m_socket, bytes);
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
    if (!testnet::readableWithin(m_socket, static_cast<int>(left.count()))) {
        return false;
    }
    char chunk[64 * 1024];
    const long got = recvSome(m_socket, chunk, sizeof chunk);
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
    if (m_socket != kNoSocket) {
        testnet::closeSocket(m_socket);
        m_socket = kNoSocket;
    }
}

std::optional<std::pair<stMsg, stMsg>> dealForTwo(unsigned short port, LoopbackClient& one,
                                                  LoopbackClient& two,
                                                  const std::string& oneFirst) {
    if (!one.connect(port) || !two.connect(port)) {
        return std::nullopt;
    }
    if (!oneFirst.empty() && (!one.sendText(oneFirst) || !one.receiveText())) {
        return std::nullopt;
    }
    if (!one.sendText(addMessage())) {
        return std::nullopt;
    }
    const auto first = one.receive("add");
    if (!two.sendText(addMessage())) {
        return std::nullopt;
    }
    const auto second = two.receive("add");
    if (!first || !second || first->desk != second->desk ||
        !one.sendText(readyMessage(first->desk, first->site)) ||
        !two.sendText(readyMessage(second->desk, second->site)) ||
        !one.receive("start").has_value()) {
        return std::nullopt;
    }
    return std::make_pair(*first, *second);
}

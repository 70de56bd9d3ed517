#include "tests/net/LoopbackServer.h"

#include <algorithm>

#include "tests/support/TestSockets.h"
#include "wire/Framing.h"

LoopbackServer::LoopbackServer(std::uint16_t port)
    : m_listener(testnet::listenOn("127.0.0.1", port, m_port)) {}

LoopbackServer::~LoopbackServer() {
    close();
    if (m_listener != kNoSocket) {
        testnet::closeSocket(m_listener);
    }
}

bool LoopbackServer::accept(int timeoutMs) {
    m_peer = testnet::acceptWithin(m_listener, timeoutMs);
    return m_peer != kNoSocket;
}

bool LoopbackServer::send(std::string_view bytes) {
    return testnet::sendAll(m_peer, bytes);
}

std::string LoopbackServer::receive(std::size_t size, int timeoutMs) {
    std::string out;
    char chunk[4096];
    while (out.size() < size && testnet::readableWithin(m_peer, timeoutMs)) {
        const std::size_t want = std::min(sizeof chunk, size - out.size());
        const long n = recvSome(m_peer, chunk, want);
        if (n <= 0) {
            break;
        }
        out.append(chunk, static_cast<std::size_t>(n));
    }
    return out;
}

bool LoopbackServer::peerClosed(int timeoutMs) {
    char chunk[4096];
    while (testnet::readableWithin(m_peer, timeoutMs)) {
        if (recvSome(m_peer, chunk, sizeof chunk) <= 0) {
            return true;
        }
    }
    return false;
}

std::size_t LoopbackServer::pending() const {
    return testnet::pendingBytes(m_peer);
}

void LoopbackServer::close() {
    if (m_peer != kNoSocket) {
        testnet::closeSocket(m_peer);
        m_peer = kNoSocket;
    }
}

void LoopbackServer::reset() {
    if (m_peer != kNoSocket) {
        testnet::closeAbortively(m_peer);
        m_peer = kNoSocket;
    }
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

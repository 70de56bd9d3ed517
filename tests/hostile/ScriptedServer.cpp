#include "tests/hostile/ScriptedServer.h"

#include <chrono>

#include "tests/support/TestSockets.h"

namespace {

constexpr int kSliceMs = 50;  // how often a wait looks at the stop flag
constexpr auto kAcceptPatience = std::chrono::seconds(20);

}  // namespace

// test thread
ScriptedServer::ScriptedServer(const std::string& host)
    : m_listener(testnet::listenOn(host, 0, m_port)) {}

// test thread
ScriptedServer::~ScriptedServer() {
    stop();
    if (m_listener != kNoSocket) {
        testnet::closeSocket(m_listener);
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
    if (m_peer != kNoSocket) {
        testnet::closeSocket(m_peer);
        m_peer = kNoSocket;
    }
}

// server thread
bool ScriptedServer::service(bool wantWrite) {
    const int ready = testnet::waitFor(
        m_peer, testnet::kReadable | (wantWrite ? testnet::kWritable : 0), kSliceMs);
    if ((ready & testnet::kReadable) != 0) {
        char bytes[4096];
        const long n = testnet::recvNow(m_peer, bytes, sizeof bytes);
        if (n > 0) {
            m_fromClient.feed(std::string_view(bytes, static_cast<std::size_t>(n)));
            std::string text;
            while (m_fromClient.next(text) == framing::FrameAssembler::Status::Frame) {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_received.push_back(text);
            }
        } else if (n != testnet::kWouldBlock) {
            // The client shut its side or the link failed: nothing more to read, but the wait
            // would keep saying so at once; wait a slice instead of spinning.
            std::this_thread::sleep_for(std::chrono::milliseconds(kSliceMs));
        }
    }
    return (ready & testnet::kWritable) != 0;
}

// server thread
void ScriptedServer::run(const std::string& stream, Ending ending) {
    const auto deadline = std::chrono::steady_clock::now() + kAcceptPatience;
    while (m_peer == kNoSocket) {
        if (m_stop || std::chrono::steady_clock::now() > deadline) {
            return;
        }
        m_peer = testnet::acceptWithin(m_listener, kSliceMs);
    }
    // One client only: the client's attempts to reconnect after the stream ends are refused, so
    // the scenes go on draining what the stream left in the queue.
    testnet::closeSocket(m_listener);
    m_listener = kNoSocket;
    testnet::setNonBlocking(m_peer);

    std::size_t sent = 0;
    while (sent < stream.size() && !m_stop) {
        if (!service(true)) {
            continue;
        }
        const long n = testnet::sendNow(m_peer, stream.data() + sent, stream.size() - sent);
        if (n < 0 && n != testnet::kWouldBlock) {
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
        testnet::shutdownWrite(m_peer);
    }
    m_finished = true;
    while (!m_stop) {
        service(false);
    }
}

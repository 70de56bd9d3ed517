#include "tests/kit/ScriptedServer.h"

#include <algorithm>
#include <chrono>

#include "tests/support/TestSockets.h"
#include "wire/Framing.h"

namespace {

constexpr int kSliceMs = 50;  // how often the script's thread looks at the stop flag
constexpr auto kAcceptPatience = std::chrono::seconds(20);  // play()'s wait for its client

}  // namespace

struct ScriptedServer::Link {
    SocketHandle socket = kNoSocket;
    std::string out;  // what is still to be written starts at `sent`
    std::size_t sent = 0;
    bool reading = true;   // false once the client shut its side or the link failed
    bool writing = true;   // false once a write failed
    bool ended = false;    // the stream and its ending are written
    framing::FrameAssembler fromClient;
};

ScriptedServer::ScriptedServer(const std::string& host, std::uint16_t port)
    : m_listener(testnet::listenOn(host, port, m_port)) {}

ScriptedServer::~ScriptedServer() {
    stop();
    close();
    if (m_listener != kNoSocket) {
        testnet::closeSocket(m_listener);
    }
}

bool ScriptedServer::accept(int timeoutMs) {
    m_peer = testnet::acceptWithin(m_listener, timeoutMs);
    return m_peer != kNoSocket;
}

bool ScriptedServer::send(std::string_view bytes) {
    return testnet::sendAll(m_peer, bytes);
}

std::string ScriptedServer::receive(std::size_t size, int timeoutMs) {
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

bool ScriptedServer::peerClosed(int timeoutMs) {
    char chunk[4096];
    while (testnet::readableWithin(m_peer, timeoutMs)) {
        if (recvSome(m_peer, chunk, sizeof chunk) <= 0) {
            return true;
        }
    }
    return false;
}

std::size_t ScriptedServer::pending() const {
    return testnet::pendingBytes(m_peer);
}

void ScriptedServer::close() {
    if (m_peer != kNoSocket) {
        testnet::closeSocket(m_peer);
        m_peer = kNoSocket;
    }
}

void ScriptedServer::reset() {
    if (m_peer != kNoSocket) {
        testnet::closeAbortively(m_peer);
        m_peer = kNoSocket;
    }
}

void ScriptedServer::play(std::string stream, Ending ending) {
    m_greeting = std::move(stream);
    start(true, ending);
}

void ScriptedServer::setGreeting(const std::vector<std::string>& texts) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_greeting.clear();
    for (const std::string& text : texts) {
        framing::appendFrame(m_greeting, text);
    }
}

void ScriptedServer::serve() {
    start(false, Ending::KeepOpen);
}

void ScriptedServer::start(bool acceptOnce, Ending ending) {
    m_acceptOnce = acceptOnce;
    m_ending = ending;
    m_thread = std::thread([this] { run(); });
}

bool ScriptedServer::sendFrames(const std::vector<std::string>& texts) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_links.empty() || !m_links.back()->writing) {
        return false;
    }
    Link& latest = *m_links.back();
    for (const std::string& text : texts) {
        framing::appendFrame(latest.out, text);
    }
    writeTo(latest);
    return latest.writing;
}

std::vector<std::string> ScriptedServer::received() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

void ScriptedServer::stop() {
    m_stop = true;
    if (m_thread.joinable()) {
        m_thread.join();
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& link : m_links) {
        testnet::closeSocket(link->socket);
    }
    m_links.clear();
}

// The script's thread: waits a slice for the listener or a connection to be ready for what it
// is waited for, then serves what is. A connection waited for nothing is left out of the wait, as
// its closed end would end every wait at once.
void ScriptedServer::run() {
    constexpr std::size_t kListener = ~std::size_t{0};
    const auto deadline = std::chrono::steady_clock::now() + kAcceptPatience;
    while (!m_stop) {
        std::vector<testnet::Wait> waits;
        std::vector<std::size_t> waiters;  // kListener or the index in m_links
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_acceptOnce && m_links.empty() && std::chrono::steady_clock::now() > deadline) {
                return;
            }
            if (m_listener != kNoSocket) {
                waits.push_back({m_listener, testnet::kReadable});
                waiters.push_back(kListener);
            }
            for (std::size_t i = 0; i < m_links.size(); ++i) {
                const Link& link = *m_links[i];
                const int wanted =
                    (link.reading ? testnet::kReadable : 0) |
                    (link.writing && link.sent < link.out.size() ? testnet::kWritable : 0);
                if (wanted != testnet::kNothing) {
                    waits.push_back({link.socket, wanted});
                    waiters.push_back(i);
                }
            }
        }
        if (waits.empty()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kSliceMs));
            continue;
        }
        const std::vector<int> ready = testnet::waitForAny(waits, kSliceMs);
        std::lock_guard<std::mutex> lock(m_mutex);
        for (std::size_t w = 0; w < waits.size(); ++w) {
            if (waiters[w] == kListener) {
                if (ready[w] != testnet::kNothing) {
                    acceptLink();
                }
                continue;
            }
            Link& link = *m_links[waiters[w]];
            if ((ready[w] & testnet::kReadable) != 0) {
                readFrom(link);
            }
            if ((ready[w] & testnet::kWritable) != 0) {
                writeTo(link);
            }
        }
    }
}

void ScriptedServer::acceptLink() {
    const SocketHandle socket = testnet::acceptWithin(m_listener, 0);
    if (socket == kNoSocket) {
        return;
    }
    if (m_acceptOnce) {
        // One client only: its attempts to reconnect after the stream ends are refused, so the
        // scenes go on draining what the stream left in the queue.
        testnet::closeSocket(m_listener);
        m_listener = kNoSocket;
    }
    testnet::setNonBlocking(socket);
    auto link = std::make_unique<Link>();
    link->socket = socket;
    // play()'s stream goes to its one client without a copy: a test may measure the memory.
    link->out = m_acceptOnce ? std::move(m_greeting) : m_greeting;
    m_links.push_back(std::move(link));
    ++m_accepted;
    writeTo(*m_links.back());
}

void ScriptedServer::readFrom(Link& link) {
    char bytes[4096];
    const long n = testnet::recvNow(link.socket, bytes, sizeof bytes);
    if (n > 0) {
        link.fromClient.feed(std::string_view(bytes, static_cast<std::size_t>(n)));
        std::string text;
        while (link.fromClient.next(text) == framing::FrameAssembler::Status::Frame) {
            m_received.push_back(text);
        }
    } else if (n != testnet::kWouldBlock) {
        link.reading = false;  // the client shut its side or the link failed
    }
}

void ScriptedServer::writeTo(Link& link) {
    while (link.writing && link.sent < link.out.size()) {
        const long n = testnet::sendNow(link.socket, link.out.data() + link.sent,
                                        link.out.size() - link.sent);
        if (n == testnet::kWouldBlock) {
            return;
        }
        if (n <= 0) {
            link.writing = false;  // the client went away; nothing more to script
            return;
        }
        link.sent += static_cast<std::size_t>(n);
        if (link.socket == m_links.front()->socket) {
            m_written = link.sent;
        }
    }
    if (link.writing && !link.ended && m_acceptOnce) {
        link.ended = true;
        if (m_ending == Ending::HalfClose) {
            testnet::shutdownWrite(link.socket);
        }
        m_finished = true;
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

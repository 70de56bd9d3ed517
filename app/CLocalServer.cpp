#include "app/CLocalServer.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "net/Socket.h"

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(50);
// A loopback connection is answered or refused at once; this only bounds a stuck one.
constexpr int kProbeWaitMs = 1000;

bool isLoopback(const std::string& host) { return host.starts_with("127."); }

bool answers(const std::string& host, std::uint16_t port) {
    return acceptsConnections(host, port, kProbeWaitMs);
}

}  // namespace

// main thread
CLocalServer::Outcome CLocalServer::ensureRunning(const ClientOptions& options,
                                                  const std::string& host, std::uint16_t port) {
    if (options.localServer.empty()) {
        return Outcome::NotAsked;
    }
    if (!isLoopback(host)) {
        return Outcome::NotLocal;
    }
    startSockets();
    if (answers(host, port)) {
        if (m_process.running()) {
            return Outcome::Started;
        }
        // Said aloud for `--lan`: that server keeps its own options, loopback only perhaps.
        std::fprintf(stderr, "desk-client: a server already listens on %s:%u; using it\n",
                     host.c_str(), static_cast<unsigned>(port));
        return Outcome::AlreadyListening;
    }
    std::vector<std::string> arguments = {"--host", host, "--port", std::to_string(port)};
    arguments.insert(arguments.end(), options.serverOptions.begin(), options.serverOptions.end());
    std::string error;
    if (!m_process.start(options.localServer, arguments, error)) {
        std::fprintf(stderr, "desk-client: cannot start the local server: %s\n", error.c_str());
        return Outcome::Failed;
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartWaitMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (answers(host, port)) {
            return Outcome::Started;
        }
        if (!m_process.running()) {
            std::fprintf(stderr, "desk-client: the local server %s ended at start\n",
                         options.localServer.c_str());
            return Outcome::Failed;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    std::fprintf(stderr, "desk-client: the local server did not listen on %s:%u in time\n",
                 host.c_str(), static_cast<unsigned>(port));
    m_process.stop();
    return Outcome::Failed;
}

// main thread
void CLocalServer::stop() { m_process.stop(); }

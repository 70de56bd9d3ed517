#pragma once
// The real desk-server as a child process on a free loopback port, for whole-game tests.
// Its log goes to a file in a temporary folder (read for the port it took). It keeps no records
// (--no-records) unless the arguments say where (--data or --db).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/TestSystem.h"

class ServerProcess {
public:
    // Starts `executable` with --host 127.0.0.1 --port 0 and `arguments`; waits (at most 10 s)
    // for its "listening on" line. Check running() afterwards.
    ServerProcess(const std::string& executable, const std::vector<std::string>& arguments);
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;
    // Stops the server and removes its log.
    ~ServerProcess();

    bool running() const { return m_process && m_process->running() && m_port != 0; }
    std::uint16_t port() const { return m_port; }
    // Asks it to end (SIGTERM) and waits, or ends it at once (SIGKILL) as a crash would; its
    // log stays readable either way.
    void stop();
    void kill();
    // Everything the server logged so far.
    std::string log() const;

private:
    std::string m_logDir;
    std::optional<testsys::ChildProcess> m_process;
    std::uint16_t m_port = 0;
};

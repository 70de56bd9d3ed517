#pragma once
// The real desk-server as a child process on a free loopback port, for whole-game tests.
// Its log goes to a temporary file (read for the port it took); it is stopped by its pid.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

class ServerProcess {
public:
    // Starts `executable` with --host 127.0.0.1 --port 0 and `arguments`; waits (at most 10 s)
    // for its "listening on" line. Check running() afterwards.
    ServerProcess(const std::string& executable, const std::vector<std::string>& arguments);
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;
    // Stops the server (SIGTERM, then SIGKILL if it lingers) and removes its log.
    ~ServerProcess();

    bool running() const { return m_pid > 0 && m_port != 0; }
    std::uint16_t port() const { return m_port; }
    // Everything the server logged so far.
    std::string log() const;

private:
    pid_t m_pid = -1;
    std::uint16_t m_port = 0;
    std::string m_logPath;
};

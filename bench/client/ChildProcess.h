#pragma once
// One program the benchmark starts and stops by its process id: environment additions, stdout
// optionally piped back (the headless probe reports its stages there), everything else to a log.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

class ChildProcess {
public:
    ~ChildProcess() { stop(); }

    // Starts `argv` with `env` added ("NAME=value"); false when it cannot be started.
    bool start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
               const std::string& logPath, bool pipeStdout);
    // Later starts run as this user and group (the caller is root), without supplementary groups.
    void runAs(uid_t uid, gid_t gid) {
        m_uid = uid;
        m_gid = gid;
    }
    // SIGTERM, then SIGKILL after a second; reaps it.
    void stop();

    pid_t pid() const { return m_pid; }
    bool alive() const;
    std::chrono::steady_clock::time_point startedAt() const { return m_startedAt; }
    // The next line of the child's stdout, without its newline; false after `timeout` or EOF.
    bool readLine(std::string& line, std::chrono::milliseconds timeout);

private:
    pid_t m_pid = -1;
    uid_t m_uid = static_cast<uid_t>(-1);  // -1: as the caller
    gid_t m_gid = static_cast<gid_t>(-1);
    int m_stdout = -1;
    std::string m_pending;
    std::chrono::steady_clock::time_point m_startedAt;
};

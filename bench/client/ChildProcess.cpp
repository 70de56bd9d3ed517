#include "ChildProcess.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

extern char** environ;

bool ChildProcess::start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                         const std::string& logPath, bool pipeStdout) {
    int out[2] = {-1, -1};
    if (pipeStdout && ::pipe(out) != 0) {
        return false;
    }
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    std::vector<std::string> envStrings(env);
    for (char** e = environ; *e; ++e) {
        envStrings.emplace_back(*e);  // later duplicates lose: getenv takes the first
    }
    std::vector<char*> envp;
    for (const std::string& e : envStrings) {
        envp.push_back(const_cast<char*>(e.c_str()));
    }
    envp.push_back(nullptr);
    const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    m_startedAt = std::chrono::steady_clock::now();
    m_pid = ::fork();
    if (m_pid == 0) {
        if (log >= 0) {
            ::dup2(log, 2);
            ::dup2(log, 1);
        }
        if (pipeStdout) {
            ::dup2(out[1], 1);
        }
        ::close_range(3, ~0u, 0);  // the child keeps none of our descriptors (the port lock)
        if (m_uid != static_cast<uid_t>(-1) &&
            (::setgroups(0, nullptr) != 0 || ::setgid(m_gid) != 0 || ::setuid(m_uid) != 0)) {
            ::_exit(126);
        }
        ::execve(args[0], args.data(), envp.data());
        ::_exit(127);
    }
    if (log >= 0) {
        ::close(log);
    }
    if (pipeStdout) {
        ::close(out[1]);
        m_stdout = out[0];
    }
    return m_pid > 0;
}

bool ChildProcess::alive() const {
    return m_pid > 0 && ::waitpid(m_pid, nullptr, WNOHANG) == 0;
}

void ChildProcess::stop() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        for (int i = 0; i < 20 && alive(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (alive()) {
            ::kill(m_pid, SIGKILL);
        }
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
    if (m_stdout >= 0) {
        ::close(m_stdout);
        m_stdout = -1;
    }
}

bool ChildProcess::readLine(std::string& line, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto end = m_pending.find('\n');
        if (end != std::string::npos) {
            line = m_pending.substr(0, end);
            m_pending.erase(0, end + 1);
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (m_stdout < 0 || left.count() <= 0) {
            return false;
        }
        pollfd fd{m_stdout, POLLIN, 0};
        if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        char buffer[256];
        const ssize_t n = ::read(m_stdout, buffer, sizeof buffer);
        if (n <= 0) {
            return false;
        }
        m_pending.append(buffer, static_cast<std::size_t>(n));
    }
}

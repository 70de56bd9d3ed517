#include "tests/integration/ServerProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

constexpr const char* kListening = "listening on 127.0.0.1:";

bool waitForExit(pid_t pid, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

}  // namespace

ServerProcess::ServerProcess(const std::string& executable,
                             const std::vector<std::string>& arguments) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "desk-server-log-XXXXXX").string();
    const int logFd = mkstemp(pattern.data());
    if (logFd < 0) {
        return;
    }
    close(logFd);
    m_logPath = pattern;

    std::vector<std::string> words = {executable, "--host", "127.0.0.1", "--port", "0"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, m_logPath.c_str(),
                                     O_WRONLY | O_APPEND, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned =
        posix_spawn(&pid, executable.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return;
    }
    m_pid = pid;

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (m_port == 0 && std::chrono::steady_clock::now() < deadline) {
        const std::string text = log();
        const std::size_t at = text.find(kListening);
        if (at != std::string::npos && text.find('\n', at) != std::string::npos) {
            m_port =
                static_cast<std::uint16_t>(std::atoi(text.c_str() + at + std::strlen(kListening)));
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

ServerProcess::~ServerProcess() {
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        if (!waitForExit(m_pid, std::chrono::seconds(5))) {
            kill(m_pid, SIGKILL);
            waitForExit(m_pid, std::chrono::seconds(5));
        }
    }
    if (!m_logPath.empty()) {
        std::remove(m_logPath.c_str());
    }
}

std::string ServerProcess::log() const {
    std::ifstream file(m_logPath);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

#include "tests/support/TestSystem.h"

#include <filesystem>
#include <random>
#include <thread>

#include "engine/platform/CommandLine.h"
#include "engine/platform/FileUtils.h"

#ifdef _WIN32
#include <windows.h>

#include <cstdlib>
#else
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

extern char** environ;
#endif

namespace testsys {

namespace fs = std::filesystem;
using engine::FileUtils;

std::string makeTempDir(const std::string& prefix) {
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (;;) {
        const fs::path dir =
            fs::temp_directory_path() / FileUtils::pathFromUtf8(prefix + "-" +
                                                                std::to_string(random()));
        if (fs::create_directories(dir)) {
            return FileUtils::utf8FromPath(dir);
        }
    }
}

#ifdef _WIN32

namespace {

std::wstring wide(const std::string& utf8) {
    return FileUtils::pathFromUtf8(utf8).wstring();
}

}  // namespace

// The wide variables: a value in the system's narrow code page may not hold a UTF-8 path.
void setEnv(const std::string& name, const std::string& value) {
    _wputenv_s(wide(name).c_str(), wide(value).c_str());
}

void unsetEnv(const std::string& name) { _wputenv_s(wide(name).c_str(), L""); }


struct ChildProcess::Handle {
    PROCESS_INFORMATION process{};
};

ChildProcess::ChildProcess(const std::string& executable,
                           const std::vector<std::string>& arguments,
                           const std::string& errorLog) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE log = CreateFileW(wide(errorLog).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ |
                             FILE_SHARE_WRITE, &inherit, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
    HANDLE nothing = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit,
                                 OPEN_EXISTING, 0, nullptr);
    std::vector<std::string> words = {executable};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::wstring commandLine = wide(engine::quoteCommandLine(words));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = nothing;
    startup.hStdError = log;
    auto handle = std::make_unique<Handle>();
    if (log != INVALID_HANDLE_VALUE && nothing != INVALID_HANDLE_VALUE &&
        CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &handle->process)) {
        m_handle = std::move(handle);
    }
    if (log != INVALID_HANDLE_VALUE) CloseHandle(log);
    if (nothing != INVALID_HANDLE_VALUE) CloseHandle(nothing);
}

bool ChildProcess::running() const {
    return m_handle && WaitForSingleObject(m_handle->process.hProcess, 0) == WAIT_TIMEOUT;
}

void ChildProcess::kill() { stop(std::chrono::milliseconds(0)); }

void ChildProcess::stop(std::chrono::milliseconds) {
    if (!m_handle) {
        return;
    }
    TerminateProcess(m_handle->process.hProcess, 1);
    WaitForSingleObject(m_handle->process.hProcess, INFINITE);
    CloseHandle(m_handle->process.hProcess);
    CloseHandle(m_handle->process.hThread);
    m_handle.reset();
}

#else

void setEnv(const std::string& name, const std::string& value) {
    ::setenv(name.c_str(), value.c_str(), 1);
}

void unsetEnv(const std::string& name) { ::unsetenv(name.c_str()); }


struct ChildProcess::Handle {
    pid_t pid = -1;
};

namespace {

bool exitedWithin(pid_t pid, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    do {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

}  // namespace

ChildProcess::ChildProcess(const std::string& executable,
                           const std::vector<std::string>& arguments,
                           const std::string& errorLog) {
    std::vector<std::string> words = {executable};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorLog.c_str(),
                                     O_WRONLY | O_APPEND | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned =
        posix_spawn(&pid, executable.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned == 0) {
        m_handle = std::make_unique<Handle>(Handle{pid});
    }
}

// A child found ended is reaped here, so its id is forgotten: stop() and kill() must not signal
// or wait for an id the system may already have given to another process.
bool ChildProcess::running() const {
    if (!m_handle || m_handle->pid == -1) {
        return false;
    }
    if (waitpid(m_handle->pid, nullptr, WNOHANG) == 0) {
        return true;
    }
    m_handle->pid = -1;
    return false;
}

void ChildProcess::stop(std::chrono::milliseconds patience) {
    if (!m_handle || m_handle->pid == -1) {
        m_handle.reset();
        return;
    }
    ::kill(m_handle->pid, SIGTERM);
    if (!exitedWithin(m_handle->pid, patience)) {
        ::kill(m_handle->pid, SIGKILL);
        exitedWithin(m_handle->pid, patience);
    }
    m_handle.reset();
}

void ChildProcess::kill() {
    if (!m_handle || m_handle->pid == -1) {
        m_handle.reset();
        return;
    }
    ::kill(m_handle->pid, SIGKILL);
    exitedWithin(m_handle->pid, std::chrono::seconds(5));
    m_handle.reset();
}

#endif

ChildProcess::~ChildProcess() { stop(); }

}  // namespace testsys

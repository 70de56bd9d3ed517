#include "engine/platform/TiedProcess.h"

#include <chrono>
#include <thread>

#ifdef _WIN32
#include <windows.h>

#include "engine/platform/CommandLine.h"
#include "engine/platform/FileUtils.h"
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#ifdef __linux__
#include <sys/prctl.h>
#endif
#endif

namespace engine {

namespace {

constexpr auto kStopPatience = std::chrono::seconds(2);

}  // namespace

TiedProcess::~TiedProcess() { stop(); }

#ifdef _WIN32

namespace {

std::string systemMessage(const char* what) {
    return std::string(what) + " failed (Windows error " + std::to_string(GetLastError()) + ")";
}

}  // namespace

// main thread
bool TiedProcess::start(const std::string& program, const std::vector<std::string>& arguments,
                        std::string& error) {
    if (m_process) {
        error = "a program was started already";
        return false;
    }
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (!job) {
        error = systemMessage("CreateJobObject");
        return false;
    }
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits,
                                 sizeof limits)) {
        error = systemMessage("SetInformationJobObject");
        CloseHandle(job);
        return false;
    }
    std::vector<std::string> words = {program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    // The UTF-8 text to UTF-16 through the path type, which converts exactly that way.
    std::wstring commandLine = FileUtils::pathFromUtf8(quoteCommandLine(words)).wstring();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process)) {
        error = systemMessage("CreateProcess");
        CloseHandle(job);
        return false;
    }
    if (!AssignProcessToJobObject(job, process.hProcess)) {
        error = systemMessage("AssignProcessToJobObject");
        TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        CloseHandle(job);
        return false;
    }
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);
    m_job = job;
    m_process = process.hProcess;
    return true;
}

// main thread
bool TiedProcess::running() {
    return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

// main thread
void TiedProcess::stop() {
    if (!m_process) {
        return;
    }
    TerminateJobObject(m_job, 0);
    WaitForSingleObject(m_process,
                        static_cast<DWORD>(std::chrono::milliseconds(kStopPatience).count()));
    CloseHandle(m_process);
    CloseHandle(m_job);
    m_process = nullptr;
    m_job = nullptr;
}

#else

namespace {

bool reapedWithin(pid_t pid, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace

// main thread
bool TiedProcess::start(const std::string& program, const std::vector<std::string>& arguments,
                        std::string& error) {
    if (m_pid != -1) {
        error = "a program was started already";
        return false;
    }
    // Everything the child needs is made before the fork: after it, in a process with threads,
    // the child may only make calls that are safe in a signal handler.
    std::vector<std::string> words = {program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    if (access(argv[0], X_OK) != 0) {
        error = program + ": " + std::strerror(errno);
        return false;
    }
    sigset_t noSignals;
    sigemptyset(&noSignals);
#ifdef __linux__
    const pid_t parent = getpid();
#endif

    const pid_t pid = fork();
    if (pid < 0) {
        error = std::string("fork failed: ") + std::strerror(errno);
        return false;
    }
    if (pid == 0) {
        // SIGTERM back to its default first (the parent's handler is inherited by the fork, and
        // an ignored signal would stay ignored across exec), unblocked, so that the parent's death
        // from here on ends the child whether or not the program runs yet.
        struct sigaction fallback {};
        fallback.sa_handler = SIG_DFL;
        sigaction(SIGTERM, &fallback, nullptr);
        sigprocmask(SIG_SETMASK, &noSignals, nullptr);
#ifdef __linux__
        if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent) {
            _exit(127);
        }
        // The client's window, sockets and files stay with the client.
        close_range(3, ~0U, 0);
#endif
        execv(argv[0], argv.data());
        _exit(127);
    }
    m_pid = pid;
    return true;
}

// main thread
bool TiedProcess::running() {
    if (m_pid == -1) {
        return false;
    }
    if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
        m_pid = -1;
        return false;
    }
    return true;
}

// main thread
void TiedProcess::stop() {
    if (m_pid == -1) {
        return;
    }
    kill(m_pid, SIGTERM);
    if (!reapedWithin(m_pid, kStopPatience)) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    m_pid = -1;
}

#endif

}  // namespace engine

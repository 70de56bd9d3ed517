#include "server/platform/ProcessControl.h"

#include <asio/post.hpp>
#include <asio/signal_set.hpp>

#ifdef _WIN32
#include <windows.h>

#include <atomic>
#include <mutex>
#else
#include <sys/resource.h>
#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <csignal>
#endif

namespace server {

#ifdef _WIN32

void prepareProcess() {}

void lowerThisThreadsPriority() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
}

void returnFreeMemory() {}

namespace {

// The loop to stop while a ShutdownRequests lives; the console handler runs on a thread of the
// system's own.
std::mutex g_mutex;
asio::io_context* g_io = nullptr;
std::function<void()> g_stop;
std::atomic<bool> g_finished{false};

BOOL WINAPI onConsoleEvent(DWORD event) {
    {
        std::lock_guard lock(g_mutex);
        if (!g_io) {
            return FALSE;
        }
        asio::post(*g_io, g_stop);
    }
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        return TRUE;
    }
    // Closing, log-off, shut-down: returning ends the process, so wait for the loop to finish.
    while (!g_finished) {
        Sleep(20);
    }
    return TRUE;
}

}  // namespace

struct ShutdownRequests::State {};

ShutdownRequests::ShutdownRequests(asio::io_context& io, std::function<void()> stop)
    : m_state(std::make_unique<State>()) {
    std::lock_guard lock(g_mutex);
    g_io = &io;
    g_stop = std::move(stop);
    g_finished = false;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

ShutdownRequests::~ShutdownRequests() {
    {
        std::lock_guard lock(g_mutex);
        g_io = nullptr;
        g_stop = nullptr;
    }
    g_finished = true;
}

#else

void prepareProcess() {
    std::signal(SIGPIPE, SIG_IGN);
    // Every connection is a descriptor: allow as many as the system lets this process have.
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

void lowerThisThreadsPriority() {
    constexpr int kWorkerNice = 10;
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kWorkerNice);
}

void returnFreeMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

struct ShutdownRequests::State {
    explicit State(asio::io_context& io) : signals(io, SIGINT, SIGTERM) {}
    asio::signal_set signals;
};

ShutdownRequests::ShutdownRequests(asio::io_context& io, std::function<void()> stop)
    : m_state(std::make_unique<State>(io)) {
    m_state->signals.async_wait([stop = std::move(stop)](const asio::error_code& error, int) {
        if (!error) {
            stop();
        }
    });
}

ShutdownRequests::~ShutdownRequests() = default;

#endif

}  // namespace server

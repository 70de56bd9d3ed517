#pragma once
// The server process's dealings with its operating system, kept apart from the game: raising
// the limits a busy server needs, and ending cleanly when asked to. POSIX: SIGINT or SIGTERM;
// Windows: Ctrl+C, Ctrl+Break, or the console window closing (or the user logging off).

#include <asio/io_context.hpp>
#include <functional>
#include <memory>

namespace server {

// Lets the process hold as many connections as the system allows; a write to a closed peer
// fails with an error instead of ending the process.
void prepareProcess();

// Lowers the calling thread's scheduling priority (a nice value of 10 on Linux, which gives each
// thread its own; below normal on Windows), for work that must yield to the event loop.
void lowerThisThreadsPriority();

// Hands the memory the allocator holds free back to the system (glibc keeps freed pages between
// live blocks until asked); nothing where the allocator needs no asking.
void returnFreeMemory();

// While alive, a request to end makes `stop` run on the loop's thread (the loop is expected to
// run out afterwards). On Windows a closing console waits, in the system's handler thread, until
// this object is destroyed, because the process is ended as soon as that handler returns.
class ShutdownRequests {
public:
    ShutdownRequests(asio::io_context& io, std::function<void()> stop);
    ~ShutdownRequests();
    ShutdownRequests(const ShutdownRequests&) = delete;
    ShutdownRequests& operator=(const ShutdownRequests&) = delete;

private:
    struct State;  // what the platform needs to keep listening
    std::unique_ptr<State> m_state;
};

}  // namespace server

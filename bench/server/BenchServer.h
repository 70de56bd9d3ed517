#pragma once
// The desk-server process a loopback benchmark runs against, and what the benchmarks read of a
// process from outside: started as a child that the system stops when the bench ends, however it
// ends; stopped by its process id; its memory and CPU from /proc. Linux only, like the
// benchmarks that use it.

#include <sys/types.h>

#include <asio.hpp>
#include <string>
#include <vector>

class BenchServer {
public:
    // Starts `program` with `args` (without the program's own name) and waits until it listens
    // on 127.0.0.1:port; false with a message on stderr when it does not (the process is then
    // stopped already). The calling thread must live until stop: the child gets SIGTERM when it
    // ends.
    bool start(const std::string& program, const std::vector<std::string>& args,
               unsigned short port);
    // SIGTERM and wait: true when it exited by itself with status 0. Stops only what start
    // spawned, once.
    bool stop();
    ~BenchServer();

    pid_t pid() const { return m_pid; }

private:
    pid_t m_pid = 0;
};

// A port that was free a moment ago: bind to port 0 and let it go.
unsigned short freeLoopbackPort(asio::io_context& io);

// A field of /proc/PID/status in kB, such as VmRSS or VmHWM; -1 when unreadable.
long procStatusKb(pid_t pid, const std::string& field);

// User plus system CPU seconds of a process, from /proc/PID/stat; -1 when unreadable.
double processCpuSeconds(pid_t pid);

// The value at fraction p (0..1) of the sorted values, by rank; 0 for none. Reorders `values`.
double percentile(std::vector<double>& values, double p);

// The soft limit on open descriptors raised to the hard one (thousands of loopback links).
void raiseDescriptorLimit();

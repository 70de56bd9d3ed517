#include "bench/server/BenchServer.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>

extern char** environ;

namespace {

bool waitListening(unsigned short port) {
    asio::io_context io;
    for (int attempt = 0; attempt < 100; ++attempt) {
        asio::ip::tcp::socket probe(io);
        asio::error_code error;
        probe.connect({asio::ip::address_v4::loopback(), port}, error);
        if (!error) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

}  // namespace

bool BenchServer::start(const std::string& program, const std::vector<std::string>& args,
                        unsigned short port) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    const pid_t parent = getpid();
    m_pid = fork();
    if (m_pid == 0) {
        // The server ends with the bench, also when the bench is killed (a test's time limit):
        // nothing is left running behind it.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() == parent) {
            execve(program.c_str(), argv.data(), environ);
        }
        _exit(127);
    }
    if (m_pid < 0) {
        m_pid = 0;
        std::fprintf(stderr, "cannot start %s\n", program.c_str());
        return false;
    }
    if (!waitListening(port)) {
        std::fprintf(stderr, "the server does not listen on port %u\n", port);
        stop();
        return false;
    }
    return true;
}

bool BenchServer::stop() {
    if (m_pid == 0) {
        return false;
    }
    kill(m_pid, SIGTERM);
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_pid = 0;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

BenchServer::~BenchServer() {
    stop();
}

unsigned short freeLoopbackPort(asio::io_context& io) {
    asio::ip::tcp::acceptor probe(io, asio::ip::tcp::endpoint(asio::ip::address_v4::loopback(), 0));
    return probe.local_endpoint().port();
}

long procStatusKb(pid_t pid, const std::string& field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::atol(line.c_str() + field.size() + 1);
        }
    }
    return -1;
}

double processCpuSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    if (close == std::string::npos) {
        return -1;
    }
    std::vector<std::string> fields;
    std::size_t at = close + 2;
    while (at < text.size()) {
        const auto space = text.find(' ', at);
        fields.push_back(text.substr(at, space - at));
        if (space == std::string::npos) {
            break;
        }
        at = space + 1;
    }
    // Fields after the name start at "state" (field 3): utime is field 14, stime field 15.
    if (fields.size() < 13) {
        return -1;
    }
    return (std::atof(fields[11].c_str()) + std::atof(fields[12].c_str())) /
           static_cast<double>(sysconf(_SC_CLK_TCK));
}

double percentile(std::vector<double>& values, double p) {
    if (values.empty()) {
        return 0;
    }
    const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + static_cast<long>(index), values.end());
    return values[index];
}

void raiseDescriptorLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

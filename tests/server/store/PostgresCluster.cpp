#include "tests/server/store/PostgresCluster.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "tests/support/TestSockets.h"

extern char** environ;

namespace testpg {

namespace fs = std::filesystem;

namespace {

// The newest /usr/lib/postgresql/<version>/bin holding initdb, or "" for PATH.
std::string findBin() {
    std::string best;
    int bestVersion = -1;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/usr/lib/postgresql", error)) {
        const std::string name = entry.path().filename().string();
        const int version = std::atoi(name.c_str());
        if (version > bestVersion && fs::exists(entry.path() / "bin" / "initdb")) {
            bestVersion = version;
            best = (entry.path() / "bin").string();
        }
    }
    return best;
}

// Runs argv to its end; its output goes to `logFile`. The exit status, or -1.
int runToEnd(const std::vector<std::string>& argv, const std::string& logFile) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return -1;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

PostgresCluster::~PostgresCluster() {
    stop();
}

std::string PostgresCluster::url() const {
    return "postgresql://postgres@127.0.0.1:" + std::to_string(m_port) + "/postgres";
}

std::string PostgresCluster::log() const {
    std::stringstream text;
    for (const char* name : {"/tools.log", "/server.log"}) {
        std::ifstream in(m_folder + name);
        text << in.rdbuf();
    }
    return text.str();
}

bool PostgresCluster::runTool(const std::string& tool, const std::vector<std::string>& arguments,
                              std::string& error) const {
    std::vector<std::string> argv;
    if (geteuid() == 0) {
        argv = {"runuser", "-u", "postgres", "--"};
    }
    argv.push_back(m_bin.empty() ? tool : m_bin + "/" + tool);
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const int status = runToEnd(argv, m_folder + "/tools.log");
    if (status != 0) {
        error = tool + " failed (status " + std::to_string(status) + "):\n" + log();
        return false;
    }
    return true;
}

bool PostgresCluster::start(std::string& error) {
    m_bin = findBin();
    char pattern[] = "/tmp/desk-pg-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        error = "cannot make a temporary folder";
        return false;
    }
    m_folder = pattern;
    if (geteuid() == 0) {
        const passwd* user = getpwnam("postgres");
        if (user == nullptr || chown(m_folder.c_str(), user->pw_uid, user->pw_gid) != 0) {
            error = "running as root and no postgres user to run the server as (is the postgresql "
                    "package installed? scripts/setup --check installs it)";
            return false;
        }
    }
    return runTool("initdb", {"-D", m_folder + "/data", "-A", "trust", "-U", "postgres", "-E",
                              "UTF8", "--locale=C", "--no-sync"},
                   error) &&
           launch(error);
}

bool PostgresCluster::launch(std::string& error) {
    if (m_port == 0) {
        const SocketHandle probe = testnet::listenOn("127.0.0.1", 0, m_port);
        if (probe == kNoSocket) {
            error = "no free loopback port";
            return false;
        }
        testnet::closeSocket(probe);
    }
    const std::string options = "-p " + std::to_string(m_port) + " -k " + m_folder +
                                " -c listen_addresses=127.0.0.1 -c fsync=off"
                                " -c full_page_writes=off -c synchronous_commit=off";
    m_running = runTool("pg_ctl", {"-D", m_folder + "/data", "-l", m_folder + "/server.log", "-w", "-t",
                                   "60", "-o", options, "start"},
                        error);
    return m_running;
}

bool PostgresCluster::halt(int signal, std::string& error) {
    std::ifstream pidFile(m_folder + "/data/postmaster.pid");
    pid_t pid = 0;
    if (!(pidFile >> pid) || pid <= 0) {
        error = "no postmaster.pid";
        return false;
    }
    kill(pid, signal);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (kill(pid, 0) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            error = "the server did not stop within 30 s";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

bool PostgresCluster::pause(std::string& error) {
    m_running = !halt(SIGINT, error);
    return !m_running;
}

bool PostgresCluster::resume(std::string& error) {
    return launch(error);
}

void PostgresCluster::stop() {
    if (m_folder.empty()) {
        return;
    }
    std::string ignored;
    if (m_running) {
        halt(SIGQUIT, ignored);
        m_running = false;
    }
    std::error_code error;
    fs::remove_all(m_folder, error);
    m_folder.clear();
}

}  // namespace testpg

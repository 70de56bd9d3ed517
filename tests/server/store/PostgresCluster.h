#pragma once
// A PostgreSQL server of a test's own: initdb makes a cluster in a new temporary folder, pg_ctl
// starts it on a free loopback port (and a socket in that folder), and stop() ends it by the
// process id in its postmaster.pid, then removes the folder. initdb and pg_ctl write to tools.log
// there, the server to server.log; a failure to start quotes both. POSIX only.
//
// initdb and postgres refuse to run as root (as CI runs): as root they run as the `postgres`
// system user that Debian's postgresql package makes, through runuser; otherwise as the caller.
// The binaries are the newest under /usr/lib/postgresql/*/bin, or those on PATH.

#include <cstdint>
#include <string>
#include <vector>

namespace testpg {

class PostgresCluster {
public:
    PostgresCluster() = default;
    ~PostgresCluster();
    PostgresCluster(const PostgresCluster&) = delete;
    PostgresCluster& operator=(const PostgresCluster&) = delete;

    // Makes and starts the cluster; false with `error` saying why (with the server's log).
    bool start(std::string& error);
    // Stops the server (immediate shutdown) and removes the folder.
    void stop();

    // The server down (fast shutdown) and up again on the same data and port, for outage tests.
    bool pause(std::string& error);
    bool resume(std::string& error);

    // A libpq connection string for the database `postgres` as the superuser.
    std::string url() const;

private:
    bool runTool(const std::string& tool, const std::vector<std::string>& arguments,
                 std::string& error) const;
    bool launch(std::string& error);
    // SIGINT: a fast shutdown (sessions ended, a checkpoint); SIGQUIT: an immediate one, for
    // a cluster about to be removed.
    bool halt(int signal, std::string& error);
    std::string log() const;

    std::string m_bin;     // the folder holding initdb, pg_ctl, postgres
    std::string m_folder;  // the cluster's temporary folder: data/, log, socket
    std::uint16_t m_port = 0;
    bool m_running = false;
};

}  // namespace testpg

// desk-server: the reference game server. One event loop serves every connection and desk until
// SIGINT or SIGTERM.

#include <sys/resource.h>

#include <asio.hpp>
#include <csignal>
#include <cstdio>

#include "server/ServerOptions.h"
#include "server/net/Server.h"

namespace {

// Every connection is a descriptor: allow as many as the system lets this process have.
void raiseDescriptorLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    server::ServerConfig config;
    bool help = false;
    std::string error;
    if (!server::parseServerOptions(argc, argv, config, help, error)) {
        std::fprintf(stderr, "desk-server: %s\n%s", error.c_str(), server::usageText().c_str());
        return 2;
    }
    if (help) {
        std::fputs(server::usageText().c_str(), stdout);
        return 0;
    }
    std::signal(SIGPIPE, SIG_IGN);
    raiseDescriptorLimit();

    asio::io_context io;
    server::Server server(io, config);
    if (!server.start(error)) {
        std::fprintf(stderr, "desk-server: %s\n", error.c_str());
        return 1;
    }
    asio::signal_set signals(io, SIGINT, SIGTERM);
    signals.async_wait([&server](const asio::error_code& waitError, int) {
        if (!waitError) {
            server.stop();
        }
    });
    io.run();
    return 0;
}

// desk-server: the reference game server. One event loop serves every connection and desk until
// the process is asked to end (SIGINT or SIGTERM; on Windows Ctrl+C or the console closing).

#include <asio.hpp>
#include <cstdio>
#include <string>
#include <vector>

#include "server/ServerOptions.h"
#include "server/net/Server.h"
#include "server/platform/NetworkAddresses.h"
#include "server/platform/ProcessControl.h"
#include "server/platform/Utf8.h"

int main(int argc, char* argv[]) {
    // UTF-8 on every platform, so that --data may name a folder in Chinese on Windows too.
    const std::vector<std::string> arguments = server::commandLineArguments(argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) {
        pointers.push_back(argument.c_str());
    }
    server::ServerConfig config;
    bool help = false;
    std::string error;
    if (!server::parseServerOptions(static_cast<int>(pointers.size()), pointers.data(), config,
                                    help, error)) {
        std::fprintf(stderr, "desk-server: %s\n%s", error.c_str(), server::usageText().c_str());
        return 2;
    }
    if (help) {
        std::fputs(server::usageText().c_str(), stdout);
        return 0;
    }
    if (config.printAddresses) {
        const std::string text = server::friendAddressesText(
            server::addressesForFriends(server::interfaceAddresses()), config.port);
        std::fputs(text.c_str(), stdout);
        return 0;
    }
    server::prepareProcess();

    asio::io_context io;
    server::Server server(io, config);
    if (!server.start(error)) {
        std::fprintf(stderr, "desk-server: %s\n", error.c_str());
        return 1;
    }
    server::ShutdownRequests shutdown(io, [&server] { server.stop(); });
    io.run();
    return 0;
}

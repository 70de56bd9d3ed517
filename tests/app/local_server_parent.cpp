// A stand-in for the client in the local-server tests: starts desk-server the way the client does
// (CLocalServer) on 127.0.0.1:<port>, then lives <seconds> and returns normally, unless a test
// kills it first, as a crash would.
//   local_server_parent <desk-server> <port> <seconds>
// Exit status: 0 after a normal life, 3 when the server did not start, 2 for bad arguments.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "app/CLocalServer.h"

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fputs("usage: local_server_parent <desk-server> <port> <seconds>\n", stderr);
        return 2;
    }
    const int port = std::atoi(argv[2]);
    const int seconds = std::atoi(argv[3]);
    if (port <= 0 || port > 65535 || seconds < 0) {
        std::fputs("local_server_parent: bad port or seconds\n", stderr);
        return 2;
    }
    ClientOptions options;
    options.localServer = argv[1];
    options.serverOptions = {"--no-records", "--quiet"};
    CLocalServer server;
    if (server.ensureRunning(options, "127.0.0.1", static_cast<std::uint16_t>(port)) !=
        CLocalServer::Outcome::Started) {
        return 3;
    }
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    return 0;
}

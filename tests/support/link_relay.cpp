// link_relay <listen-host> <listen-port> <server-port>: a LinkCutter as a program, for the
// end-to-end test's shell (listen port 0: any free one). It prints "relay <port>" once it
// listens, cuts every link on SIGUSR1 and ends on SIGTERM or SIGINT.

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "tests/support/LinkCutter.h"

int main(int argc, char** argv) {
    const long listenPort = argc == 4 ? std::strtol(argv[2], nullptr, 10) : -1;
    const long serverPort = argc == 4 ? std::strtol(argv[3], nullptr, 10) : 0;
    if (listenPort < 0 || listenPort > 65535 || serverPort <= 0 || serverPort > 65535) {
        std::fprintf(stderr, "usage: link_relay <listen-host> <listen-port> <server-port>\n");
        return 2;
    }
    // Blocked before the relay's thread starts, so only sigwait below sees them.
    sigset_t signals;
    sigemptyset(&signals);
    for (int signal : {SIGUSR1, SIGTERM, SIGINT}) {
        sigaddset(&signals, signal);
    }
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    LinkCutter relay(static_cast<std::uint16_t>(serverPort), argv[1],
                     static_cast<std::uint16_t>(listenPort));
    if (!relay.listening()) {
        std::fprintf(stderr, "link_relay: cannot listen\n");
        return 1;
    }
    std::printf("relay %u\n", static_cast<unsigned>(relay.port()));
    std::fflush(stdout);
    for (;;) {
        int signal = 0;
        if (sigwait(&signals, &signal) != 0 || signal != SIGUSR1) {
            return 0;
        }
        relay.cut();
        std::printf("cut\n");
        std::fflush(stdout);
    }
}

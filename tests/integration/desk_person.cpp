// desk_person <port> [--token HEX] [--manual]: another person at a desk of the server on
// 127.0.0.1:port, for the end-to-end test's shell. It asks for a seat, readies for every game and
// hands its seat to the computer player at every deal (with --manual it leaves its turns to the
// server's turn timer); with a token its seat is held when it is killed. Runs until killed,
// printing "seated <desk> <site>" once seated.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "tests/integration/DeskObserver.h"

int main(int argc, char** argv) {
    const long port = argc >= 2 ? std::strtol(argv[1], nullptr, 10) : 0;
    DeskObserver::Options options;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--token") == 0 && i + 1 < argc) {
            options.token = argv[++i];
        } else if (std::strcmp(argv[i], "--manual") == 0) {
            options.autoPlay = false;
        } else {
            std::fprintf(stderr, "desk_person: unknown argument %s\n", argv[i]);
            return 2;
        }
    }
    DeskObserver person;
    if (port <= 0 || port > 65535 || !person.start(static_cast<std::uint16_t>(port), options)) {
        std::fprintf(stderr, "usage: desk_person <port> [--token HEX] [--manual]; no link\n");
        return 1;
    }
    bool told = false;
    while (person.linked()) {
        const DeskObserver::Record record = person.record();
        if (!told && record.site >= 0) {
            std::printf("seated %d %d\n", record.desk, record.site);
            std::fflush(stdout);
            told = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return 0;
}

// A storm of "auto" beside one desk of computer players. N links (LoadClient flooders) say hello,
// sit four to a desk and, through their games, hand the seat to the computer player and take it
// back, one "auto" each 20 ms: 50 frames a second, the server's sustained frame limit, from at
// most 64 links an address (its per-address cap; the first 64 from 127.0.0.1, the next from
// 127.0.0.2, ...). A spectator watches the server's one desk of hard computer players (bot delay
// 1 s, as served, one worker thread); the bench prints how often that desk moved and its longest
// pause, and from the server's log how many "auto" requests were ignored and how many searches
// were run and dropped.
//
//   server_auto_flood_bench --server PATH [--flooders N] [--seconds S] [--short]
//   defaults: 64 flooders (a multiple of 4) for 30 s, counted after 3 s of warming up;
//   --short: 8 flooders for 6 s. --flooders 0 shows the desk alone.

#include <algorithm>
#include <asio.hpp>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "bench/server/LoadClient.h"
#include "tests/integration/ServerProcess.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kLinksPerAddress = 64;  // desk-server's --max-per-address
constexpr std::chrono::milliseconds kAutoEvery{20};
constexpr std::chrono::seconds kWarmUp{3};
constexpr int kBotDesk = 0;  // the computer players' desk opens first

struct Options {
    std::string server;
    int flooders = 64;
    int seconds = 30;
};

bool parse(int argc, char* argv[], Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--short") {
            options.flooders = 8;
            options.seconds = 6;
        } else if (i + 1 < argc && arg == "--server") {
            options.server = argv[++i];
        } else if (i + 1 < argc && arg == "--flooders") {
            options.flooders = std::atoi(argv[++i]);
        } else if (i + 1 < argc && arg == "--seconds") {
            options.seconds = std::atoi(argv[++i]);
        } else {
            return false;
        }
    }
    return !options.server.empty() && options.flooders >= 0 && options.flooders % 4 == 0 &&
           options.seconds > 0;
}

// The loopback address of the index-th group of kLinksPerAddress links.
std::string loopbackAddress(int index) {
    return "127.0.0." + std::to_string(1 + index);
}

// The sum of the first numbers of every log line that `pattern` (with one group) matches.
unsigned long long sumOf(const std::string& log, const std::regex& pattern) {
    unsigned long long sum = 0;
    for (auto it = std::sregex_iterator(log.begin(), log.end(), pattern);
         it != std::sregex_iterator(); ++it) {
        sum += std::stoull((*it)[1].str());
    }
    return sum;
}

unsigned long long countOf(const std::string& log, const std::string& text) {
    unsigned long long count = 0;
    for (auto at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) {
        ++count;
    }
    return count;
}

}  // namespace

int main(int argc, char* argv[]) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: server_auto_flood_bench --server PATH [--flooders N (a "
                             "multiple of 4)] [--seconds S] [--short]\n");
        return 2;
    }
    ServerProcess server(options.server, {"--bot-desks", "1", "--bot-level", "hard",
                                          "--bot-wait", "600"});
    if (!server.running()) {
        std::fprintf(stderr, "the server did not start:\n%s\n", server.log().c_str());
        return 1;
    }
    const asio::ip::tcp::endpoint endpoint(asio::ip::address_v4::loopback(), server.port());
    LoadStats floodStats;
    LoadStats watchStats;
    const auto started = Clock::now();
    {
        asio::io_context io;
        for (int i = 0; i < options.flooders; ++i) {
            LoadClient::Options flooder;
            flooder.games = 1000000;
            flooder.seed = 7000 + static_cast<std::uint64_t>(i);
            flooder.autoEvery = kAutoEvery;
            flooder.localAddress = loopbackAddress(i / kLinksPerAddress);
            std::make_shared<LoadClient>(io, floodStats, flooder, [] {})->start(endpoint);
        }
        LoadClient::Options spectator;
        spectator.seed = 9000;
        spectator.watchDesk = kBotDesk;
        spectator.timeMoves = true;
        // The first address with room left under the cap.
        spectator.localAddress = loopbackAddress(options.flooders / kLinksPerAddress);
        std::make_shared<LoadClient>(io, watchStats, spectator, [] {})->start(endpoint);
        io.run_for(kWarmUp + std::chrono::seconds(options.seconds));
    }  // every link closes with the io_context: the server logs what each had ignored
    std::this_thread::sleep_for(std::chrono::seconds(1));
    server.stop();
    const std::string log = server.log();

    const auto from = started + kWarmUp;
    const auto until = from + std::chrono::seconds(options.seconds);
    std::vector<Clock::time_point> moves;
    for (const auto at : watchStats.moves) {
        if (at >= from && at <= until) {
            moves.push_back(at);
        }
    }
    double longest = 0;
    auto last = from;
    for (const auto at : moves) {
        longest = std::max(longest, std::chrono::duration<double>(at - last).count());
        last = at;
    }
    longest = std::max(longest, std::chrono::duration<double>(until - last).count());
    const unsigned long long ignored =
        sumOf(log, std::regex(R"(: (\d+) auto requests ignored)"));
    const unsigned long long searched = sumOf(log, std::regex(R"(searches: (\d+) made)"));
    const unsigned long long dropped = sumOf(log, std::regex(R"(made, (\d+) dropped)"));
    const unsigned long long refused = countOf(log, "refused: too many");

    std::printf("auto flood: %d flooders (one auto each %lld ms) beside 1 desk of hard computer "
                "players, %d s after %lld s warming up\n",
                options.flooders, static_cast<long long>(kAutoEvery.count()), options.seconds,
                static_cast<long long>(kWarmUp.count()));
    std::printf("  the desk's moves      %zu, %.2f per second, longest pause %.1f s\n",
                moves.size(), static_cast<double>(moves.size()) / options.seconds, longest);
    std::printf("  auto ignored          %llu (the server's log)\n", ignored);
    std::printf("  searches              %llu made, %llu dropped as stale (the server's log)\n",
                searched, dropped);
    std::printf("  links failed          %llu of %d (refused by the server: %llu)\n",
                static_cast<unsigned long long>(floodStats.failures + watchStats.failures),
                options.flooders + 1, refused);
    return 0;
}

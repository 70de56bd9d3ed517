// N protocol clients on loopback against a real desk-server process: each joins, readies and
// plays whole games, four persons a desk. Prints messages per second, the latency from a play to
// the server's "game" message reporting it (p50, p99), and the server's peak memory.
//
//   server_load_bench --server PATH [--clients N] [--games G] [--deal D] [--short]
//                     [--bot-desks K --bot-level easy|normal|hard] [--drops [--drop-every S]]
//                     [--records DIR] [--think-ms T] [--watchers W [--watcher-nice N]]
//   defaults: 2000 clients, 2 games of 27 cards; --short: 200 clients, 1 game of 27 cards.
//   --think-ms T: each client waits T ms before each play (50): a person's pace. At 0 the
//   clients of a desk answer at once, and on loopback a desk can go fast enough for the server
//   to close its links for flooding (over 50 frames a second each).
//   --bot-desks K: the server also runs K desks of four computer players of that level, playing
//   all along (their bot delay 1 s, as served); the persons' desks never get computer players.
//   --drops: one client in ten closes its link every S seconds (8; give or take an eighth) in
//   mid-game and connects again with its token; the time from the connect to the "resume" is
//   printed (median, p99). Every client says hello with its own token, drops or not. The server
//   refuses more than 10 hellos a minute with one token: S below 7 makes those clients fail.
//   --watchers W: W more clients watch the persons' desks, spread evenly over them (desk i % D
//   of the D persons' desks; at most 50 a desk and 2000 in all, the server's caps), from the
//   start of the first game to the end of the last; the persons' figures are as without them.
//   They arrive over the first two seconds and run on a thread of their own; --watcher-nice N
//   gives that thread nice value N (Linux), so that on a small machine their reading yields to
//   the persons' and the server.
//   --records DIR: the server records every game in SQLite in DIR (its default data folder's
//   store, elsewhere); without it the server keeps no records.

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <asio.hpp>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "bench/server/BenchServer.h"
#include "bench/server/LoadClient.h"
#include "server/hall/Hall.h"

namespace {

// The spectators arrive spread over this long.
constexpr int kWatcherArrivalMs = 2000;

struct Options {
    std::string server;
    int clients = 2000;
    int games = 2;
    int deal = 27;
    int botDesks = 0;
    std::string botLevel = "hard";
    bool drops = false;
    double dropEvery = 8.0;
    std::string records;  // the server's --data folder; "" for --no-records
    int thinkMs = 50;
    int watchers = 0;
    int watcherNice = 0;
};

bool parse(int argc, char* argv[], Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--short") {
            options.clients = 200;
            options.games = 1;
        } else if (i + 1 < argc && arg == "--server") {
            options.server = argv[++i];
        } else if (i + 1 < argc && arg == "--clients") {
            options.clients = std::atoi(argv[++i]);
        } else if (i + 1 < argc && arg == "--games") {
            options.games = std::atoi(argv[++i]);
        } else if (i + 1 < argc && arg == "--deal") {
            options.deal = std::atoi(argv[++i]);
        } else if (i + 1 < argc && arg == "--bot-desks") {
            options.botDesks = std::atoi(argv[++i]);
        } else if (i + 1 < argc && arg == "--bot-level") {
            options.botLevel = argv[++i];
        } else if (i + 1 < argc && arg == "--records") {
            options.records = argv[++i];
        } else if (i + 1 < argc && arg == "--think-ms") {
            options.thinkMs = std::atoi(argv[++i]);
        } else if (i + 1 < argc && arg == "--watchers") {
            options.watchers = std::atoi(argv[++i]);
        } else if (i + 1 < argc && arg == "--watcher-nice") {
            options.watcherNice = std::atoi(argv[++i]);
        } else if (arg == "--drops") {
            options.drops = true;
        } else if (i + 1 < argc && arg == "--drop-every") {
            options.dropEvery = std::atof(argv[++i]);
        } else {
            return false;
        }
    }
    return !options.server.empty() && options.clients > 0 && options.clients % 4 == 0 &&
           options.games > 0 && options.deal >= 1 && options.deal <= 27 && options.botDesks >= 0 &&
           options.dropEvery > 0 && options.thinkMs >= 0 && options.watchers >= 0 &&
           options.watchers <= server::kMaxWatchers &&
           options.watchers <= options.clients / 4 * server::kMaxWatchersPerDesk;
}

}  // namespace

int main(int argc, char* argv[]) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: server_load_bench --server PATH [--clients N (a multiple of 4)] "
                     "[--games G] [--deal D] [--short] [--bot-desks K --bot-level L] "
                     "[--drops [--drop-every S]] [--records DIR] [--think-ms T] "
                     "[--watchers W (at most 50 a desk, 2000 in all) [--watcher-nice N]]\n");
        return 2;
    }
    raiseDescriptorLimit();
    asio::io_context io;
    const unsigned short port = freeLoopbackPort(io);
    const std::string portText = std::to_string(port);
    const std::string dealText = std::to_string(options.deal);
    // Every client comes from the one loopback address: the caps are raised to let them all in
    // (twice over: a rejoining client's new link may come before its old one is seen closed),
    // hold all their seats and let all watch (a quarter of the spectators' cap at one desk),
    // while the read deadlines keep their defaults.
    const std::string clientsText = std::to_string(2 * (options.clients + options.watchers));
    const std::string watchersText = std::to_string(8 * (options.clients + options.watchers));
    const std::string botDesksText = std::to_string(options.botDesks);
    std::vector<std::string> args = {"--port",          portText,    "--quiet",
                                     "--seed",          "1",         "--deal",
                                     dealText,          "--ready-timeout", "600",
                                     "--turn-timeout",  "600",       "--max-connections",
                                     clientsText,       "--max-per-address", clientsText,
                                     "--max-held-per-address", clientsText,
                                     "--max-watchers-per-address", watchersText};
    if (options.botDesks > 0) {
        // The persons' desks fill with four clients long before a computer player would sit.
        args.insert(args.end(), {"--bot-wait", "600", "--bot-desks", botDesksText, "--bot-level",
                                 options.botLevel});
    } else {
        args.push_back("--no-bots");
    }
    if (options.records.empty()) {
        args.push_back("--no-records");
    } else {
        args.insert(args.end(), {"--data", options.records});
    }
    BenchServer server;
    if (!server.start(options.server, args, port)) {
        return 1;
    }
    const pid_t serverPid = server.pid();
    const double cpuBefore = processCpuSeconds(serverPid);

    LoadStats stats;
    int running = options.clients;
    const asio::ip::tcp::endpoint endpoint(asio::ip::address_v4::loopback(), port);
    const auto started = std::chrono::steady_clock::now();
    for (int i = 0; i < options.clients; ++i) {
        LoadClient::Options clientOptions;
        clientOptions.games = options.games;
        clientOptions.seed = 1000 + static_cast<std::uint64_t>(i);
        clientOptions.think = std::chrono::milliseconds(options.thinkMs);
        if (options.drops && i % 10 == 0) {
            clientOptions.dropEvery =
                std::chrono::milliseconds(static_cast<long long>(options.dropEvery * 1000));
        }
        auto client = std::make_shared<LoadClient>(io, stats, clientOptions, [&running, &io] {
            if (--running == 0) {
                io.stop();
            }
        });
        client->start(endpoint);
    }
    // The desks of computer players open first and never stop playing, so the persons' desks
    // are the next ones: botDesks .. botDesks + clients / 4 - 1. The spectators have a thread
    // of their own, so that reading their texts does not delay the persons' measured here.
    const int personDesks = options.clients / 4;
    asio::io_context watcherIo;
    auto watcherWork = asio::make_work_guard(watcherIo);
    LoadStats watcherStats;
    for (int i = 0; i < options.watchers; ++i) {
        LoadClient::Options watcherOptions;
        watcherOptions.seed = 500000 + static_cast<std::uint64_t>(i);
        watcherOptions.watchDesk = options.botDesks + i % personDesks;
        // Spectators come in over the first two seconds, as people do, not in one burst.
        watcherOptions.startAfter = std::chrono::milliseconds(2 * i % kWatcherArrivalMs);
        std::make_shared<LoadClient>(watcherIo, watcherStats, watcherOptions, [] {})
            ->start(endpoint);
    }
    std::thread watcherThread([&watcherIo, &options] {
        if (options.watcherNice > 0) {
            // Linux: a thread's nice value is its own (the calling thread's id).
            setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), options.watcherNice);
        }
        watcherIo.run();
    });
    asio::steady_timer limit(io, std::chrono::seconds(110));
    limit.async_wait([&io](const asio::error_code& error) {
        if (!error) {
            io.stop();
        }
    });
    io.run();
    watcherWork.reset();
    watcherIo.stop();
    watcherThread.join();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    const long peakKb = procStatusKb(serverPid, "VmHWM");
    const double serverCpu = processCpuSeconds(serverPid) - cpuBefore;
    const bool serverExitedCleanly = server.stop();

    std::vector<double> latency = stats.playLatencyMs;
    std::printf("server load: %d clients, %d game(s) each of %d cards, %d ms to think, %.2f s\n",
                options.clients, options.games, options.deal, options.thinkMs, seconds);
    std::printf("  records               %s\n",
                options.records.empty() ? "none" : ("SQLite in " + options.records).c_str());
    if (options.botDesks > 0) {
        std::printf("  beside them           %d desks of %s computer players\n", options.botDesks,
                    options.botLevel.c_str());
    }
    std::printf("  games finished        %llu (desk-games %llu)\n",
                static_cast<unsigned long long>(stats.games),
                static_cast<unsigned long long>(stats.games / 4));
    std::printf("  messages received     %llu, %.0f per second\n",
                static_cast<unsigned long long>(stats.messages),
                static_cast<double>(stats.messages) / seconds);
    if (options.watchers > 0) {
        std::printf("  spectators            %d over %d desks, %llu watching, %llu texts to them\n",
                    options.watchers, personDesks,
                    static_cast<unsigned long long>(watcherStats.watching),
                    static_cast<unsigned long long>(watcherStats.spectatorMessages));
        std::printf("  failed spectators     %llu\n",
                    static_cast<unsigned long long>(watcherStats.failures));
    }
    std::printf("  play -> game latency  p50 %.3f ms, p99 %.3f ms (%zu plays)\n",
                percentile(latency, 0.50), percentile(latency, 0.99), latency.size());
    if (options.drops) {
        std::vector<double> resume = stats.resumeMs;
        std::printf("  drops                 %llu (seats freed before the rejoin %llu)\n",
                    static_cast<unsigned long long>(stats.drops),
                    static_cast<unsigned long long>(stats.seatsLost));
        std::vector<double> connect = stats.connectMs;
        std::printf("  reconnect -> resume   p50 %.3f ms, p99 %.3f ms (%zu resumes)\n",
                    percentile(resume, 0.50), percentile(resume, 0.99), resume.size());
        std::printf("    of which connecting p50 %.3f ms, p99 %.3f ms\n",
                    percentile(connect, 0.50), percentile(connect, 0.99));
    }
    std::printf("  server peak memory    %.1f MiB (VmHWM), CPU %.2f s\n",
                static_cast<double>(peakKb) / 1024.0, serverCpu);
    std::printf("  failed clients        %llu, unfinished %d\n",
                static_cast<unsigned long long>(stats.failures), running);
    const bool ok = stats.failures == 0 && watcherStats.failures == 0 && running == 0 &&
                    serverExitedCleanly;
    if (!ok) {
        std::printf("FAILED: every client should finish its games and the server exit cleanly\n");
    }
    return ok ? 0 : 1;
}

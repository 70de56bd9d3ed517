// The server under a soak: persons with tokens play whole games one after another, four a desk
// (no computer players), through a relay of the benchmark's own that delays their bytes, splits
// their frames and cuts their links at random, while hostile clients run every flood at once
// within the server's limits. A probe measures the event loop's stalls from outside, and the
// server's memory is read before, during and after the floods. See bench/README.md.
//
//   server_soak_bench --server PATH [--short | --calm] [--persons N] [--minutes M]
//                     [--calm-seconds S] [--after-seconds S] [--think-ms T] [--cut-share F]
//                     [--max-delay-ms D] [--seed N] [--floods KIND,...]
//   defaults: 400 persons, 10 minutes of floods after 60 s calm, 70 s after them;
//   --short: 100 persons, 16 s of floods (fewer hostile links, lower rates) after 6 s calm,
//   6 s after them, with the server's --away-hold at 3 s so that the seats the create storm
//   left held are freed by then; each person's link is cut once a minute on average (cut share
//   1), so that the short run sees some 25 cuts. --calm: the calm phase only. --floods: only
//   these hostile kinds (names, create, hello, codes, watch, auto, talk), to tell which costs what.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/server/BenchServer.h"
#include "bench/server/FaultyRelay.h"
#include "bench/server/GameAudit.h"
#include "bench/server/HostileFloods.h"
#include "bench/server/LoadClient.h"
#include "bench/server/SoakReport.h"
#include "bench/server/StallProbe.h"

namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

constexpr int kDeal = 27;
constexpr double kWarmUpSeconds = 3;
constexpr std::chrono::milliseconds kSampleEvery{250};
constexpr std::chrono::milliseconds kProbeEvery{10};
constexpr int kProbeLinks = 3;  // 33 queries a second each, under the server's 50 frames
constexpr std::chrono::seconds kShortFinishLimit{20};
constexpr std::chrono::seconds kFullFinishLimit{90};

struct Options {
    std::string server;
    int persons = 400;
    double floodSeconds = 600;
    double calmSeconds = 60;
    double afterSeconds = 70;
    int thinkMs = 50;
    double cutShare = 0.1;
    int maxDelayMs = 4;
    std::uint64_t seed = 1;
    bool shortMode = false;
    bool calmOnly = false;
    std::string floods;  // "": every kind
};

bool parse(int argc, char* argv[], Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool value = i + 1 < argc;
        if (arg == "--short") {
            options.shortMode = true;
            options.persons = 100;
            options.floodSeconds = 16;
            options.calmSeconds = 6;
            options.afterSeconds = 6;
            options.cutShare = 1;
        } else if (arg == "--calm") {
            options.calmOnly = true;
        } else if (value && arg == "--server") {
            options.server = argv[++i];
        } else if (value && arg == "--persons") {
            options.persons = std::atoi(argv[++i]);
        } else if (value && arg == "--minutes") {
            options.floodSeconds = 60 * std::atof(argv[++i]);
        } else if (value && arg == "--calm-seconds") {
            options.calmSeconds = std::atof(argv[++i]);
        } else if (value && arg == "--after-seconds") {
            options.afterSeconds = std::atof(argv[++i]);
        } else if (value && arg == "--think-ms") {
            options.thinkMs = std::atoi(argv[++i]);
        } else if (value && arg == "--cut-share") {
            options.cutShare = std::atof(argv[++i]);
        } else if (value && arg == "--max-delay-ms") {
            options.maxDelayMs = std::atoi(argv[++i]);
        } else if (value && arg == "--floods") {
            options.floods = argv[++i];
        } else if (value && arg == "--seed") {
            options.seed = std::strtoull(argv[++i], nullptr, 10);
        } else {
            return false;
        }
    }
    FloodPlan plan;
    if (!options.floods.empty() && !keepOnly(options.floods, plan)) {
        return false;
    }
    // Persons come from 127.1.x.y, 250 addresses a block.
    return !options.server.empty() && options.persons > 0 && options.persons % 4 == 0 &&
           options.persons <= 250 * 250 && options.floodSeconds > 0 && options.calmSeconds > 0 &&
           options.afterSeconds >= 0 && options.thinkMs >= 0 && options.cutShare >= 0 &&
           options.maxDelayMs >= 0;
}

// One thread running an io_context until it runs dry or is stopped.
class IoThread {
public:
    void start() {
        m_thread = std::thread([this] { m_io.run(); });
    }
    void join() {
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }
    ~IoThread() {
        m_io.stop();
        join();
    }
    asio::io_context& io() { return m_io; }

private:
    asio::io_context m_io;
    std::thread m_thread;
};

// What the main thread watches while a phase runs: the server's memory and open links.
struct Watch {
    pid_t server = 0;
    const StallProbe* probe = nullptr;
    long rssPeakKb = 0;
    long onlinePeak = 0;

    void sleepFor(double seconds) {
        const auto end = Clock::now() + std::chrono::duration_cast<Clock::duration>(Seconds(seconds));
        while (Clock::now() < end) {
            std::this_thread::sleep_for(std::min<Clock::duration>(kSampleEvery, end - Clock::now()));
            rssPeakKb = std::max(rssPeakKb, procStatusKb(server, "VmRSS"));
            onlinePeak = std::max(onlinePeak, probe->online());
        }
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: server_soak_bench --server PATH [--short | --calm] [--persons N "
                     "(a multiple of 4)] [--minutes M] [--calm-seconds S] [--after-seconds S] "
                     "[--think-ms T] [--cut-share F] [--max-delay-ms D] [--seed N] "
                     "[--floods KIND,... (names, create, hello, codes, watch, auto, talk)]\n");
        return 2;
    }
    raiseDescriptorLimit();
    SoakFigures figures;
    figures.persons = options.persons;
    figures.thinkMs = options.thinkMs;
    figures.cutShare = options.cutShare;
    figures.maxDelayMs = options.maxDelayMs;
    figures.calmOnly = options.calmOnly;
    figures.shortMode = options.shortMode;

    asio::io_context setUp;
    const unsigned short port = freeLoopbackPort(setUp);
    std::vector<std::string> args = {"--port", std::to_string(port), "--quiet", "--seed", "1",
                                     "--no-bots", "--no-records"};
    if (options.shortMode) {
        figures.awayHold = "3 s";
        args.insert(args.end(), {"--away-hold", "3"});
    }
    BenchServer server;
    if (!server.start(options.server, args, port)) {
        return 1;
    }
    const asio::ip::tcp::endpoint endpoint(asio::ip::address_v4::loopback(), port);

    IoThread relayThread;
    RelayShape shape;
    shape.maxDelay = std::chrono::milliseconds(options.maxDelayMs);
    figures.maxPieces = shape.maxPieces;
    FaultyRelay relay(relayThread.io(), endpoint, options.persons, shape, options.seed);
    relayThread.start();

    IoThread personsThread;
    DeskLedger ledger(kDeal);
    figures.ledger = &ledger;
    std::vector<std::unique_ptr<GameAudit>> audits;
    std::vector<std::shared_ptr<LoadClient>> persons;
    std::atomic<bool> stopPlaying{false};
    std::atomic<int> playing{options.persons};
    for (int i = 0; i < options.persons; ++i) {
        audits.push_back(std::make_unique<GameAudit>(ledger, kDeal));
        LoadClient::Options person;
        person.games = INT_MAX;
        person.seed = options.seed * 1000003 + static_cast<std::uint64_t>(i);
        person.think = std::chrono::milliseconds(options.thinkMs);
        person.rejoinOnLoss = true;
        person.cuts = &relay.cuts(i);
        person.stop = &stopPlaying;
        person.audit = audits.back().get();
        persons.push_back(std::make_shared<LoadClient>(personsThread.io(), figures.phases[kWarmUp],
                                                       person, [&playing] { --playing; }));
        persons.back()->start(relay.endpoint(i));
    }
    personsThread.start();
    const auto recordPhase = [&](SoakPhase phase) {
        asio::post(personsThread.io(), [&persons, &figures, phase] {
            for (const auto& person : persons) {
                person->recordInto(figures.phases[phase]);
            }
        });
    };

    StallProbe probe(port, kProbeEvery, kProbeLinks);
    probe.start();
    figures.probeLinks = kProbeLinks;
    Watch watch{server.pid(), &probe};
    double cpuMark = processCpuSeconds(server.pid());
    const auto endPhase = [&](SoakPhase phase) {
        figures.worstStallMs[phase] = probe.takeWorstMs();
        figures.onlineAtEnd[phase] = probe.online();
        const double cpu = processCpuSeconds(server.pid());
        figures.serverCpu[phase] = cpu - cpuMark;
        cpuMark = cpu;
    };

    watch.sleepFor(kWarmUpSeconds);
    endPhase(kWarmUp);
    recordPhase(kCalm);
    watch.sleepFor(options.calmSeconds);
    endPhase(kCalm);
    figures.seconds[kCalm] = options.calmSeconds;
    figures.rssBeforeKb = procStatusKb(server.pid(), "VmRSS");

    IoThread hostileThread;
    FloodPlan plan = options.shortMode ? shortFloodPlan() : FloodPlan{};
    if (!options.floods.empty()) {
        keepOnly(options.floods, plan);
        figures.floodKinds = options.floods;
    }
    HostileFloods floods(hostileThread.io(), endpoint, plan, options.persons / 4,
                         options.seed * 7 + 3);
    if (!options.calmOnly) {
        figures.floods = &floods;
        recordPhase(kFloods);
        relay.setCutting(true, options.cutShare);
        asio::post(hostileThread.io(), [&floods] { floods.start(); });
        watch.rssPeakKb = figures.rssBeforeKb;
        watch.onlinePeak = 0;
        hostileThread.start();
        watch.sleepFor(options.floodSeconds);
        relay.setCutting(false, 0);
        asio::post(hostileThread.io(), [&floods] { floods.stop(); });
        hostileThread.join();  // every hostile link closed
        endPhase(kFloods);
        figures.seconds[kFloods] = options.floodSeconds;
        figures.rssPeakKb = watch.rssPeakKb;
        figures.onlinePeak = watch.onlinePeak;

        recordPhase(kAfter);
        watch.sleepFor(options.afterSeconds);
        endPhase(kAfter);
        figures.seconds[kAfter] = options.afterSeconds;
        figures.rssAfterKb = procStatusKb(server.pid(), "VmRSS");
    }

    // The persons finish the games they are in, within a limit.
    stopPlaying = true;
    const auto finishBy =
        Clock::now() + (options.shortMode ? kShortFinishLimit : kFullFinishLimit);
    while (playing > 0 && Clock::now() < finishBy) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    figures.unfinishedPersons = playing;
    personsThread.io().stop();
    personsThread.join();
    probe.stop();
    figures.probeQueries = probe.queries();
    figures.probeFailures = probe.failures();
    asio::post(relayThread.io(), [&relay] { relay.stop(); });
    relayThread.join();
    figures.cutsMade = relay.cutsMade();
    figures.hwmKb = procStatusKb(server.pid(), "VmHWM");
    figures.serverExitedCleanly = server.stop();
    return reportSoak(figures) ? 0 : 1;
}

#include "bench/server/SoakReport.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/server/BenchServer.h"

namespace {

constexpr double kLatencyRatioTarget = 1.2;
constexpr double kStallTargetMs = 50;
constexpr double kMemoryBackTarget = 0.10;

const char* verdict(bool met) {
    return met ? "met" : "MISSED";
}

double mib(long kb) {
    return static_cast<double>(kb) / 1024.0;
}

// The persons' figures of every phase together.
LoadStats total(const SoakFigures& figures) {
    LoadStats sum;
    for (const LoadStats& phase : figures.phases) {
        sum.games += phase.games;
        sum.failures += phase.failures;
        sum.runs += phase.runs;
        sum.cutsSeen += phase.cutsSeen;
        sum.linksLost += phase.linksLost;
        sum.backAtSeat += phase.backAtSeat;
        sum.seatsMoved += phase.seatsMoved;
        sum.seatsLost += phase.seatsLost;
        sum.cutToResumeMs.insert(sum.cutToResumeMs.end(), phase.cutToResumeMs.begin(),
                                 phase.cutToResumeMs.end());
        sum.seatLosses.insert(sum.seatLosses.end(), phase.seatLosses.begin(),
                              phase.seatLosses.end());
    }
    return sum;
}

void printHeading(const SoakFigures& f) {
    std::printf("server soak: %d persons at %d desks, %d ms to think, through the relay (delays "
                "up to %d ms, writes in up to %d pieces)%s\n",
                f.persons, f.persons / 4, f.thinkMs, f.maxDelayMs, f.maxPieces,
                f.shortMode ? ", short mode" : "");
    if (f.calmOnly) {
        std::printf("  calm only: %.0f s, no cuts, no hostile clients\n", f.seconds[kCalm]);
        return;
    }
    std::printf("  phases: calm %.0f s; cuts (%.2f of the persons a minute) and %s %.0f s; "
                "after the floods %.0f s%s%s\n",
                f.seconds[kCalm], f.cutShare,
                f.floodKinds.empty() ? "every flood" : ("the floods " + f.floodKinds).c_str(),
                f.seconds[kFloods], f.seconds[kAfter],
                f.awayHold.empty() ? "" : ", the server's --away-hold ", f.awayHold.c_str());
}

bool printCorrectness(const SoakFigures& f, const LoadStats& persons) {
    const DeskLedger& ledger = *f.ledger;
    std::uint64_t freedAtGameEnd = 0;
    for (const SeatLoss& loss : persons.seatLosses) {
        freedAtGameEnd += ledger.gameEndedBetween(loss.desk, loss.cut, loss.answered) ? 1 : 0;
    }
    const std::uint64_t seatsLost = persons.seatLosses.size() - freedAtGameEnd;
    std::printf("correctness\n");
    std::printf("  games finished          %llu at the persons' desks (%llu seen whole, %llu "
                "with all four hands checked)\n",
                static_cast<unsigned long long>(ledger.gamesFinished()),
                static_cast<unsigned long long>(ledger.gamesAudited()),
                static_cast<unsigned long long>(ledger.gamesWithFourHands()));
    std::printf("  games not adding up     %llu\n",
                static_cast<unsigned long long>(ledger.badGames()));
    for (const std::string& reason : ledger.reasons()) {
        std::printf("    %s\n", reason.c_str());
    }
    std::printf("  \"run\" received          %llu\n",
                static_cast<unsigned long long>(persons.runs));
    std::printf("  cuts                    %llu made, %llu seen by the persons: %llu back at "
                "their seat, %llu seats freed as their game ended during the cut, %llu seats "
                "lost, %llu moved\n",
                static_cast<unsigned long long>(f.cutsMade),
                static_cast<unsigned long long>(persons.cutsSeen),
                static_cast<unsigned long long>(persons.backAtSeat),
                static_cast<unsigned long long>(freedAtGameEnd),
                static_cast<unsigned long long>(seatsLost),
                static_cast<unsigned long long>(persons.seatsMoved));
    std::printf("  links lost without a cut %llu (closed by the server)\n",
                static_cast<unsigned long long>(persons.linksLost));
    std::printf("  failed persons          %llu, unfinished %d, server exit %s\n",
                static_cast<unsigned long long>(persons.failures), f.unfinishedPersons,
                f.serverExitedCleanly ? "clean" : "NOT CLEAN");
    const bool allBack =
        persons.backAtSeat + freedAtGameEnd == persons.cutsSeen && persons.seatsMoved == 0;
    return ledger.gamesFinished() > 0 && ledger.badGames() == 0 && persons.runs == 0 && allBack &&
           persons.linksLost == 0 && persons.failures == 0 && f.unfinishedPersons == 0 &&
           f.serverExitedCleanly;
}

void printLatency(const SoakFigures& f, LoadStats& persons) {
    std::vector<double> calm = f.phases[kCalm].playLatencyMs;
    const double calmP50 = percentile(calm, 0.50);
    const double calmP99 = percentile(calm, 0.99);
    std::printf("latency\n");
    std::printf("  play -> \"game\", calm     p50 %.2f ms, p99 %.2f ms (%zu plays)\n", calmP50,
                calmP99, calm.size());
    if (!f.calmOnly) {
        std::vector<double> floods = f.phases[kFloods].playLatencyMs;
        const double p50 = percentile(floods, 0.50);
        const double p99 = percentile(floods, 0.99);
        const double ratio = calmP99 > 0 ? p99 / calmP99 : 0;
        std::printf("  play -> \"game\", floods   p50 %.2f ms, p99 %.2f ms (%zu plays): p99 "
                    "%.2f x calm, target <= %.1f x: %s\n",
                    p50, p99, floods.size(), ratio, kLatencyRatioTarget,
                    verdict(ratio <= kLatencyRatioTarget));
        std::vector<double> after = f.phases[kAfter].playLatencyMs;
        std::printf("  play -> \"game\", after    p50 %.2f ms, p99 %.2f ms (%zu plays)\n",
                    percentile(after, 0.50), percentile(after, 0.99), after.size());
        std::printf("  cut -> \"resume\"          p50 %.2f ms, p99 %.2f ms (%zu resumes)\n",
                    percentile(persons.cutToResumeMs, 0.50),
                    percentile(persons.cutToResumeMs, 0.99), persons.cutToResumeMs.size());
    }
    std::printf("  event loop, worst stall  calm %.1f ms", f.worstStallMs[kCalm]);
    double worst = f.worstStallMs[kCalm];
    if (!f.calmOnly) {
        std::printf(", floods %.1f ms, after %.1f ms", f.worstStallMs[kFloods],
                    f.worstStallMs[kAfter]);
        worst = std::max({worst, f.worstStallMs[kFloods], f.worstStallMs[kAfter]});
    }
    std::printf(": target <= %.0f ms: %s (%llu queries on %d links, %llu failed)\n",
                kStallTargetMs, verdict(worst <= kStallTargetMs),
                static_cast<unsigned long long>(f.probeQueries), f.probeLinks,
                static_cast<unsigned long long>(f.probeFailures));
}

void printMemory(const SoakFigures& f) {
    std::printf("memory (VmRSS)\n");
    std::printf("  before the floods       %.1f MiB, %ld links open\n", mib(f.rssBeforeKb),
                f.onlineAtEnd[kCalm]);
    if (f.calmOnly) {
        return;
    }
    std::printf("  peak during the floods  %.1f MiB, %ld links open at most (VmHWM %.1f MiB)\n",
                mib(f.rssPeakKb), f.onlinePeak, mib(f.hwmKb));
    if (f.rssBeforeKb <= 0 || f.rssAfterKb <= 0) {
        std::printf("  after the floods        unreadable: the server has gone\n");
        return;
    }
    const double grown = static_cast<double>(f.rssAfterKb - f.rssBeforeKb) /
                         static_cast<double>(f.rssBeforeKb);
    std::printf("  %.0f s after the floods  %.1f MiB (%+.1f %% of before), %ld links open "
                "(the persons' and the probe's: %d): target within %.0f %%: %s\n",
                f.seconds[kAfter], mib(f.rssAfterKb), 100 * grown, f.onlineAtEnd[kAfter],
                f.persons + f.probeLinks, 100 * kMemoryBackTarget,
                verdict(grown <= kMemoryBackTarget));
    if (f.shortMode) {
        std::printf("  (short mode: measured %.0f s after the floods, not a minute)\n",
                    f.seconds[kAfter]);
    }
    std::printf("  server CPU              calm %.2f s, floods %.2f s, after %.2f s\n",
                f.serverCpu[kCalm], f.serverCpu[kFloods], f.serverCpu[kAfter]);
}

void printFloods(const SoakFigures& f) {
    std::printf("hostile clients           links  requests   answers  refused  closed by "
                "the server  games\n");
    for (int kind = 0; kind < kHostileKinds; ++kind) {
        const HostileTally& tally = f.floods->tally(static_cast<HostileKind>(kind));
        std::printf("  %-22s %7llu %9llu %9llu %8llu %20llu %6llu", 
                    hostileKindName(static_cast<HostileKind>(kind)),
                    static_cast<unsigned long long>(tally.links),
                    static_cast<unsigned long long>(tally.requests),
                    static_cast<unsigned long long>(tally.answers),
                    static_cast<unsigned long long>(tally.refusals),
                    static_cast<unsigned long long>(tally.closedByServer),
                    static_cast<unsigned long long>(tally.games));
        if (tally.linksRefused > 0) {
            std::printf("  (%llu links refused)",
                        static_cast<unsigned long long>(tally.linksRefused));
        }
        std::printf("\n");
    }
}

}  // namespace

bool reportSoak(const SoakFigures& figures) {
    LoadStats persons = total(figures);
    printHeading(figures);
    const bool correct = printCorrectness(figures, persons);
    printLatency(figures, persons);
    printMemory(figures);
    if (!figures.calmOnly && figures.floods != nullptr) {
        printFloods(figures);
    }
    if (!correct) {
        std::printf("FAILED: every game must add up, no \"run\" reach a person, every person "
                    "come back to its seat after each cut and finish, and the server exit "
                    "cleanly\n");
    }
    return correct;
}

#pragma once
// What the soak benchmark measured, printed, and judged: the correctness figures decide the exit
// status; latency, stalls and memory are only printed against their targets.

#include <array>
#include <cstdint>
#include <string>

#include "bench/server/GameAudit.h"
#include "bench/server/HostileFloods.h"
#include "bench/server/LoadClient.h"

// The run's phases: the persons settle at their desks, play calmly, play through the cuts and
// floods, and play on after the floods.
enum SoakPhase : int { kWarmUp, kCalm, kFloods, kAfter, kSoakPhases };

struct SoakFigures {
    // The set-up, for the heading.
    int persons = 0;
    int thinkMs = 0;
    double cutShare = 0;
    int maxDelayMs = 0;
    int maxPieces = 0;
    std::array<double, kSoakPhases> seconds{};
    bool calmOnly = false;
    bool shortMode = false;
    std::string awayHold;    // the server's --away-hold when the bench set it
    std::string floodKinds;  // "": every hostile kind

    std::array<LoadStats, kSoakPhases> phases{};  // the persons' figures, phase by phase
    const DeskLedger* ledger = nullptr;
    const HostileFloods* floods = nullptr;
    std::uint64_t cutsMade = 0;
    int unfinishedPersons = 0;

    std::array<double, kSoakPhases> worstStallMs{};
    std::uint64_t probeQueries = 0;
    std::uint64_t probeFailures = 0;
    int probeLinks = 0;
    std::array<long, kSoakPhases> onlineAtEnd{};  // open links at each phase's end
    long onlinePeak = 0;                           // during the floods

    long rssBeforeKb = 0;  // at the end of the calm phase
    long rssPeakKb = 0;    // during the floods
    long rssAfterKb = 0;   // at the end of the phase after the floods
    long hwmKb = 0;        // VmHWM at the end
    std::array<double, kSoakPhases> serverCpu{};
    bool serverExitedCleanly = false;
};

// Prints every figure; true when every correctness figure holds.
bool reportSoak(const SoakFigures& figures);

#pragma once
// The client as start-up leaves it, against a ScriptedServer: the headless back end, the
// catalogue, the one link connected to the script's loopback address, and the hall running.
// Each gtest case runs in a process of its own, so each gets a fresh link.

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "tests/hostile/HostileMix.h"
#include "tests/kit/ScriptedServer.h"

class HostileClient : public ::testing::Test {
protected:
    static constexpr const char* kHost = "127.0.97.1";

    void SetUp() override;
    // The link goes quiet before the server stops.
    void TearDown() override;

    // Polls `done` in real time until it holds or `patience` has passed.
    static bool waitFor(const std::function<bool()>& done,
                        std::chrono::milliseconds patience = std::chrono::seconds(20));
    // Steps the virtual clock until the scenes have taken every queued record, then a few frames
    // more for the last one's effects; false when `maxSeconds` of virtual time pass first.
    static bool drainThroughScenes(double maxSeconds);

    // The boxes shown so far on the main thread (the scenes) and on any other (the link).
    static std::vector<ShownBox> sceneBoxes();
    static std::vector<ShownBox> linkBoxes();

    ScriptedServer m_server{kHost};
};

// ---- Resident memory of this process, from /proc/self/status
// VmRSS or VmHWM (the peak) in KiB; 0 when unreadable.
std::size_t residentKiB(const char* field);
// Starts a new peak: VmHWM falls back to the current VmRSS.
void resetPeakResident();

#pragma once
// Opt-in frame timing for benchmarks: when the environment variable DESK_FRAME_STATS names a
// file, every frame the director runs appends one line "<microseconds> <drawn 0|1>" to it,
// flushed at once so a reader sees each frame as it ends. Unset, recording costs one branch.
// Wall-clock time, whatever the back end's clock. Main thread only.

#include <chrono>
#include <cstdio>

namespace engine {

class FrameStats {
public:
    static FrameStats& instance();

    bool enabled() const { return m_file != nullptr; }
    void record(std::chrono::steady_clock::time_point started, bool drawn);

private:
    FrameStats();
    std::FILE* m_file = nullptr;  // open for the life of the process
};

}  // namespace engine

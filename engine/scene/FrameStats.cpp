#include "engine/scene/FrameStats.h"

#include <cstdlib>

namespace engine {

FrameStats& FrameStats::instance() {
    static FrameStats stats;
    return stats;
}

FrameStats::FrameStats() {
    if (const char* path = std::getenv("DESK_FRAME_STATS"); path && *path) {
        m_file = std::fopen(path, "a");
    }
}

void FrameStats::record(std::chrono::steady_clock::time_point started, bool drawn) {
    if (!m_file) {
        return;
    }
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - started);
    std::fprintf(m_file, "%lld %d\n", static_cast<long long>(micros.count()), drawn ? 1 : 0);
    std::fflush(m_file);
}

}  // namespace engine

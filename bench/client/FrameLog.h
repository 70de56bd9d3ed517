#pragma once
// Reads the per-frame lines the engine appends to $DESK_FRAME_STATS ("<microseconds> <drawn>").
// mark() notes where the file ends now; drawnSince() gives the durations, in milliseconds, of the
// frames drawn after the mark.

#include <string>
#include <vector>

class FrameLog {
public:
    explicit FrameLog(std::string path) : m_path(std::move(path)) {}
    void mark();
    std::vector<double> drawnSince() const;

private:
    std::string m_path;
    long long m_offset = 0;
};

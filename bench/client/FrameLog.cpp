#include "FrameLog.h"

#include <fstream>

void FrameLog::mark() {
    std::ifstream in(m_path, std::ios::ate);
    m_offset = in ? static_cast<long long>(in.tellg()) : 0;
}

std::vector<double> FrameLog::drawnSince() const {
    std::vector<double> millis;
    std::ifstream in(m_path);
    in.seekg(m_offset);
    long long micros = 0;
    int drawn = 0;
    while (in >> micros >> drawn) {
        if (drawn) {
            millis.push_back(static_cast<double>(micros) / 1000.0);
        }
    }
    return millis;
}

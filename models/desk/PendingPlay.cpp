#include "models/desk/PendingPlay.h"

#include <algorithm>

void PendingPlay::add(const std::vector<int>& codes, bool soundPlayed) {
    m_soundPlayed = empty() ? soundPlayed : (m_soundPlayed && soundPlayed);
    m_codes.insert(m_codes.end(), codes.begin(), codes.end());
    std::sort(m_codes.begin(), m_codes.end());
}

void PendingPlay::clear() {
    m_codes.clear();
    m_soundPlayed = false;
}

bool PendingPlay::isEchoedBy(const std::vector<int>& echoed) const {
    std::vector<int> sorted = echoed;
    std::sort(sorted.begin(), sorted.end());
    return !m_codes.empty() && sorted == m_codes;
}

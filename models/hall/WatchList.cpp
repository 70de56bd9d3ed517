#include "models/hall/WatchList.h"

#include <algorithm>
#include <cstdio>

#include "models/hall/JoinCode.h"
#include "models/hall/RefusalWords.h"
#include "wire/GameConstants.h"

namespace {

std::string seatText(const st_watch_desk& desk, std::size_t seat) {
    if (desk.names[seat].empty()) {
        return WatchList::kFreeSeatText;
    }
    return desk.names[seat] + (desk.bots[seat] != 0 ? WatchList::kBotTag : "");
}

// The two partners of a team: seats `seat` and `seat` + 2.
std::string teamText(const st_watch_desk& desk, std::size_t seat) {
    return seatText(desk, seat) + "、" + seatText(desk, seat + 2);
}

}  // namespace

void WatchList::clear() {
    *this = WatchList{};
}

void WatchList::take(const stMsg& answer) {
    m_desks = answer.desks;
    m_answered = true;
    clamp();
}

bool WatchList::scrollBy(int rows) {
    const int before = m_first;
    m_first += rows;
    clamp();
    return m_first != before;
}

void WatchList::clamp() {
    const int last = std::max(0, size() - kVisibleRows);
    m_first = std::clamp(m_first, 0, last);
}

int WatchList::deskAt(int slot) const {
    const int index = m_first + slot;
    if (slot < 0 || slot >= kVisibleRows || index >= size()) {
        return -1;
    }
    return m_desks[static_cast<std::size_t>(index)].desk;
}

bool WatchList::ask(int slot) {
    if (m_asked || deskAt(slot) < 0) {
        return false;
    }
    m_asked = true;
    m_message = kEnteringText;
    return true;
}

void WatchList::refuse(const stMsg& answer) {
    m_asked = false;
    m_message = refusalwords::text(answer.reason, answer.retry, refusalwords::Asked::WatchByNumber);
}

std::string WatchList::statusText() const {
    if (!m_answered) {
        return kWaitingText;
    }
    return m_desks.empty() ? kEmptyText : "";
}

std::string WatchList::rangeText() const {
    if (size() <= kVisibleRows) {
        return "";
    }
    return std::to_string(m_first + 1) + "-" + std::to_string(m_first + kVisibleRows) + " / " +
           std::to_string(size());
}

std::vector<WatchList::Row> WatchList::shownRows() const {
    std::vector<Row> rows;
    const std::size_t end =
        std::min(m_desks.size(), static_cast<std::size_t>(m_first + kVisibleRows));
    for (std::size_t i = static_cast<std::size_t>(m_first); i < end; ++i) {
        const st_watch_desk& desk = m_desks[i];
        rows.push_back(Row{std::to_string(desk.desk) + "号桌", teamText(desk, 0), teamText(desk, 1),
                           desk.p0, desk.p1, timeText(desk.seconds),
                           std::to_string(desk.watchers)});
    }
    return rows;
}

std::string WatchList::timeText(int seconds) {
    const int whole = std::max(0, seconds);
    char text[24];
    std::snprintf(text, sizeof text, "%d:%02d", whole / 60, whole % 60);
    return text;
}

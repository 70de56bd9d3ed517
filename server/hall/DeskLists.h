#pragma once
// The desks that "add", "create" and "desks" look for, kept by state so that none of them scans
// every desk: open (public, no game running, a free seat) and running (public, a game running),
// each by ascending number, and the free numbers below the highest desk (an emptied desk is
// destroyed; a new one takes the lowest free number). The hall's DeskPool updates a desk after
// every change to it (DeskPool::settle) and when it makes one. Event-loop thread.

#include <optional>
#include <set>

#include "server/game/DeskGame.h"

namespace server {

class DeskLists {
public:
    // Files the desk under the lists its state now belongs to.
    void update(const DeskGame& desk, bool isPrivate);
    // The desk `number` is gone: its number is free.
    void remove(int number);
    // Numbers from `count` on are past the last desk: no longer kept as free.
    void endAt(int count);
    // The lowest-numbered open desk, and the lowest free number; none when there is none.
    std::optional<int> firstOpen() const { return first(m_open); }
    std::optional<int> firstFree() const { return first(m_free); }
    const std::set<int>& running() const { return m_running; }

private:
    static std::optional<int> first(const std::set<int>& list);
    static void keep(std::set<int>& list, int desk, bool listed);

    std::set<int> m_open;
    std::set<int> m_running;
    std::set<int> m_free;
};

}  // namespace server

#pragma once
// The desks that "add", "create" and "desks" look for, kept by state so that none of them scans
// every desk: open (public, no game running, a free seat), empty (public, every seat free) and
// running (public, a game running), each by ascending number. The hall updates a desk after
// every change to it (Hall::collect) and when it opens one. Event-loop thread.

#include <optional>
#include <set>

#include "server/game/DeskGame.h"

namespace server {

class DeskLists {
public:
    // Files the desk under the lists its state now belongs to.
    void update(const DeskGame& desk, bool isPrivate);
    // The lowest-numbered open (empty) desk; none when there is none.
    std::optional<int> firstOpen() const { return first(m_open); }
    std::optional<int> firstEmpty() const { return first(m_empty); }
    const std::set<int>& running() const { return m_running; }

private:
    static std::optional<int> first(const std::set<int>& list);
    static void keep(std::set<int>& list, int desk, bool listed);

    std::set<int> m_open;
    std::set<int> m_empty;
    std::set<int> m_running;
};

}  // namespace server

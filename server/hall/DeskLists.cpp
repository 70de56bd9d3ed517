#include "server/hall/DeskLists.h"

namespace server {

void DeskLists::update(const DeskGame& desk, bool isPrivate) {
    const int number = desk.number();
    keep(m_open, number, !isPrivate && !desk.playing() && desk.hasFreeSeat());
    keep(m_running, number, !isPrivate && desk.playing());
    m_free.erase(number);
}

void DeskLists::remove(int number) {
    m_open.erase(number);
    m_running.erase(number);
    m_free.insert(number);
}

void DeskLists::endAt(int count) {
    m_free.erase(m_free.lower_bound(count), m_free.end());
}

std::optional<int> DeskLists::first(const std::set<int>& list) {
    if (list.empty()) {
        return std::nullopt;
    }
    return *list.begin();
}

void DeskLists::keep(std::set<int>& list, int desk, bool listed) {
    if (listed) {
        list.insert(desk);
    } else {
        list.erase(desk);
    }
}

}  // namespace server

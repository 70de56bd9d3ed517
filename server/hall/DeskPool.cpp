#include "server/hall/DeskPool.h"

namespace server {

DeskPool::DeskPool(const DeskConfig& config, std::uint64_t seed) : m_config(config), m_seed(seed) {}

DeskGame& DeskPool::make() {
    const std::optional<int> free = m_lists.firstFree();
    const int number = free ? *free : static_cast<int>(m_desks.size());
    if (!free) {
        m_desks.emplace_back();
    }
    ++m_made;
    // A fixed odd multiplier spreads the desks' seeds apart; a number used again gets new deals.
    const std::uint64_t seed = m_seed + 0x9E3779B97F4A7C15ull * m_made;
    // Room for 2^32 BotJobs a desk before its serials reach the next desk's.
    m_desks[number] = std::make_unique<DeskGame>(number, m_config, seed, m_made << 32);
    m_lists.update(*m_desks[number], false);
    return *m_desks[number];
}

DeskGame& DeskPool::open() {
    const std::optional<int> open = m_lists.firstOpen();
    const std::optional<int> free = m_lists.firstFree();
    return open && (!free || *open < *free) ? *m_desks[*open] : make();
}

bool DeskPool::settle(int number, bool isPrivate) {
    m_lists.update(*m_desks[number], isPrivate);
    if (!m_desks[number]->isEmpty()) {
        return false;
    }
    m_desks[number].reset();
    m_lists.remove(number);
    while (!m_desks.empty() && m_desks.back() == nullptr) {
        m_desks.pop_back();
    }
    m_lists.endAt(static_cast<int>(m_desks.size()));
    // After a storm of desks, the numbers' room goes back too.
    if (m_desks.capacity() > 2 * m_desks.size() + 64) {
        m_desks.shrink_to_fit();
    }
    return true;
}

bool DeskPool::has(int number) const {
    return number >= 0 && number < static_cast<int>(m_desks.size()) && m_desks[number] != nullptr;
}

}  // namespace server

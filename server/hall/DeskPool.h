#pragma once
// The hall's desks by number, and the lists that find them (DeskLists). Desks are numbered from
// 0, the lowest free number first: a desk left empty is destroyed and its number is the first a
// new desk takes. Each new desk gets a seed and BotJob serials of its own, so an answer or a
// timer meant for a destroyed desk is dropped or finds nothing due. Event-loop thread.

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

#include "server/game/DeskGame.h"
#include "server/hall/DeskLists.h"

namespace server {

class DeskPool {
public:
    // Every desk plays by `config`; `seed` is where the desks' seeds start.
    DeskPool(const DeskConfig& config, std::uint64_t seed);

    // A new desk at the lowest free number.
    DeskGame& make();
    // The lowest-numbered public desk with a free seat and no game running, unless a free number
    // lies below it: then a new desk there, which is the first desk with a free seat.
    DeskGame& open();
    // After a desk changed: filed under the lists its state now belongs to, and destroyed when
    // every seat is free (true; its number is free then).
    bool settle(int number, bool isPrivate);

    bool has(int number) const;
    // A desk that has(number) finds.
    DeskGame& at(int number) { return *m_desks[number]; }
    const DeskGame& at(int number) const { return *m_desks[number]; }
    // One past the highest number in use; lower numbers may be free.
    std::size_t end() const { return m_desks.size(); }
    // The public desks whose game runs, by ascending number.
    const std::set<int>& running() const { return m_lists.running(); }

private:
    DeskConfig m_config;
    std::uint64_t m_seed = 0;
    std::vector<std::unique_ptr<DeskGame>> m_desks;  // by number; null: a free number
    std::uint64_t m_made = 0;
    DeskLists m_lists;  // the open, empty and running public desks
};

}  // namespace server

#pragma once
// The names persons show now, for the hall's names rules (Hall.h): who shows a name, and the
// lowest free number for a taken one, each found with a few lookups however many persons there
// are. Pure; the hall keeps it in step with every person's shown name. Event-loop thread.
//
// Every shown name that ends in ASCII digits is also filed under each way of cutting it into a
// stem and a number without a leading zero: "x12" under stem "x" (12) and stem "x1" (2). A
// candidate stem + number is then shown exactly when the number is filed under the stem, so a
// long name that gives up its last characters for the number needs no rule of its own. The
// numbers filed under a stem are kept as runs of consecutive numbers, so the lowest one not
// filed from any start is one lookup, also after names in the middle were freed.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>

#include "server/game/DeskOutput.h"

namespace server {

class ShownNames {
public:
    // Who shows `name`; 0 for nobody.
    PersonId holder(const std::string& name) const;
    // `person` shows `name` from now on; nobody else may show it.
    void add(const std::string& name, PersonId person);
    // Nobody shows `name` any more.
    void remove(const std::string& name);

    // `name` when nobody shows it, else nameWithSuffix(name, n) for the lowest n from 2 that
    // nobody shows.
    std::string freeName(const std::string& name) const;
    // The lowest n from `from` such that nobody shows `prefix` + n.
    std::uint64_t freeNumber(const std::string& prefix, std::uint64_t from) const;

    // Lookups of a name or a stem so far: what a name costs, for tests and benchmarks.
    std::uint64_t lookups() const { return m_lookups; }

private:
    using Runs = std::map<std::uint64_t, std::uint64_t>;  // first -> last, none adjacent

    // Files (or unfiles) the name's numbers under their stems.
    void file(std::string_view name, bool shown);
    static void insert(Runs& runs, std::uint64_t number);
    static void erase(Runs& runs, std::uint64_t number);

    std::unordered_map<std::string, PersonId> m_holders;
    std::unordered_map<std::string, Runs> m_numbers;  // by stem
    mutable std::uint64_t m_lookups = 0;
};

}  // namespace server

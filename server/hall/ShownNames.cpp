#include "server/hall/ShownNames.h"

#include <cassert>
#include <charconv>
#include <iterator>

#include "wire/PlayerName.h"

namespace server {

namespace {

// The longest number filed: every std::uint64_t of this many digits fits.
constexpr std::size_t kMaxDigits = 19;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

PersonId ShownNames::holder(const std::string& name) const {
    ++m_lookups;
    const auto found = m_holders.find(name);
    return found == m_holders.end() ? 0 : found->second;
}

void ShownNames::add(const std::string& name, PersonId person) {
    const bool added = m_holders.emplace(name, person).second;
    assert(added && "a name has one holder at a time");
    if (added) {
        file(name, true);
    }
}

void ShownNames::remove(const std::string& name) {
    if (m_holders.erase(name) > 0) {
        file(name, false);
    }
}

std::string ShownNames::freeName(const std::string& name) const {
    if (holder(name) == 0) {
        return name;
    }
    // The numbers of one digit count share one stem (a long name gives up as many characters
    // as the number has), so the first count with a free number under its stem holds the lowest.
    // A stem files one number per shown name, so a count with more numbers than there are
    // names always has one free.
    std::uint64_t low = 2;
    std::uint64_t next = 10;  // the first number with one digit more
    for (std::size_t digits = 1;; ++digits, low = next, next *= 10) {
        const std::string first = nameWithSuffix(name, std::to_string(low));
        const std::string stem = first.substr(0, first.size() - digits);
        const std::uint64_t number = freeNumber(stem, low);
        if (number < next) {
            return stem + std::to_string(number);
        }
    }
}

std::uint64_t ShownNames::freeNumber(const std::string& prefix, std::uint64_t from) const {
    ++m_lookups;
    const auto stem = m_numbers.find(prefix);
    if (stem == m_numbers.end()) {
        return from;
    }
    const Runs& runs = stem->second;
    auto run = runs.upper_bound(from);
    if (run == runs.begin()) {
        return from;
    }
    --run;
    return run->second >= from ? run->second + 1 : from;
}

void ShownNames::file(std::string_view name, bool shown) {
    for (std::size_t start = name.size();
         start > 0 && name.size() - start < kMaxDigits && isDigit(name[start - 1]);) {
        --start;
        if (name[start] == '0') {
            continue;  // numbers are written without leading zeros
        }
        std::uint64_t number = 0;
        std::from_chars(name.data() + start, name.data() + name.size(), number);
        const std::string stem(name.substr(0, start));
        if (shown) {
            insert(m_numbers[stem], number);
            continue;
        }
        const auto found = m_numbers.find(stem);
        if (found != m_numbers.end()) {
            erase(found->second, number);
            if (found->second.empty()) {
                m_numbers.erase(found);
            }
        }
    }
}

void ShownNames::insert(Runs& runs, std::uint64_t number) {
    const auto after = runs.upper_bound(number);
    const auto before = after == runs.begin() ? runs.end() : std::prev(after);
    if (before != runs.end() && before->second >= number) {
        return;  // filed already
    }
    const bool joinsBefore = before != runs.end() && before->second + 1 == number;
    const bool joinsAfter = after != runs.end() && after->first == number + 1;
    const std::uint64_t last = joinsAfter ? after->second : number;
    if (joinsAfter) {
        runs.erase(after);
    }
    if (joinsBefore) {
        before->second = last;
    } else {
        runs.emplace(number, last);
    }
}

void ShownNames::erase(Runs& runs, std::uint64_t number) {
    auto run = runs.upper_bound(number);
    if (run == runs.begin()) {
        return;
    }
    --run;
    const std::uint64_t first = run->first;
    const std::uint64_t last = run->second;
    if (last < number) {
        return;
    }
    runs.erase(run);
    if (first < number) {
        runs.emplace(first, number - 1);
    }
    if (number < last) {
        runs.emplace(number + 1, last);
    }
}

}  // namespace server

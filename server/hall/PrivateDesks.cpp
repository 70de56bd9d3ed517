#include "server/hall/PrivateDesks.h"

#include <algorithm>
#include <cassert>
#include <iterator>
#include <memory>
#include <utility>

#include "wire/GameConstants.h"

namespace server {

namespace {

constexpr std::uint32_t kCodeCount = 1000000;  // 10 ^ kPrivateCodeDigits
// The largest multiple of kCodeCount a 32-bit draw can reach: draws at or above it are drawn
// again, so every code is equally likely.
constexpr std::uint32_t kDrawLimit = (0xFFFFFFFFu / kCodeCount) * kCodeCount;

PrivateDesks::CodeSource systemSource() {
    auto device = std::make_shared<std::random_device>();
    return [device]() { return static_cast<std::uint32_t>((*device)()); };
}

}  // namespace

PrivateDesks::PrivateDesks(CodeSource source)
    : m_source(source ? std::move(source) : systemSource()) {}

std::string PrivateDesks::open(int desk, Owner owner, const std::string& address) {
    assert(!isPrivate(desk) && "a desk is opened private once");
    std::string code = drawCode();
    m_codes.emplace(code, desk);
    m_desks.emplace(desk, Desk{code, std::move(owner), address});
    ++m_opened[address];
    return code;
}

void PrivateDesks::close(int desk) {
    const auto found = m_desks.find(desk);
    if (found == m_desks.end()) {
        return;
    }
    m_codes.erase(found->second.code);
    const auto opened = m_opened.find(found->second.address);
    if (--opened->second == 0) {
        m_opened.erase(opened);
    }
    m_desks.erase(found);
}

std::optional<int> PrivateDesks::deskOf(std::string_view code) const {
    const auto found = m_codes.find(std::string(code));
    if (found == m_codes.end()) {
        return std::nullopt;
    }
    return found->second;
}

bool PrivateDesks::isOwner(int desk, const Owner& who) const {
    const auto found = m_desks.find(desk);
    if (found == m_desks.end()) {
        return false;
    }
    const Owner& owner = found->second.owner;
    return owner.tokenHash.empty() ? owner.person == who.person : owner.tokenHash == who.tokenHash;
}

int PrivateDesks::openedFrom(const std::string& address) const {
    const auto found = m_opened.find(address);
    return found == m_opened.end() ? 0 : found->second;
}

void PrivateDesks::tidy() {
    m_codes.rehash(0);
    m_opened.rehash(0);
    m_byLink.rehash(0);
    m_byAddress.rehash(0);
}

long long PrivateDesks::waitSeconds(std::uint64_t link, const std::string& address, Millis now) {
    long long wait = 0;
    if (const auto own = m_byLink.find(link); own != m_byLink.end()) {
        prune(own->second, now);
        wait = waitOf(own->second, now);
    }
    if (const auto shared = m_byAddress.find(address); shared != m_byAddress.end()) {
        prune(shared->second, now);
        wait = std::max(wait, waitOf(shared->second, now));
    }
    return wait;
}

int PrivateDesks::wrongCode(std::uint64_t link, const std::string& address, Millis now) {
    if (m_byAddress.size() >= m_sweepAt) {
        for (auto entry = m_byAddress.begin(); entry != m_byAddress.end();) {
            prune(entry->second, now);
            entry = entry->second.empty() ? m_byAddress.erase(entry) : std::next(entry);
        }
        m_sweepAt = 2 * m_byAddress.size() + 1024;
    }
    Times& own = m_byLink[link];
    prune(own, now);
    own.push_back(now);
    Times& shared = m_byAddress[address];
    prune(shared, now);
    shared.push_back(now);
    return static_cast<int>(shared.size());
}

std::string PrivateDesks::drawCode() {
    for (;;) {
        const std::uint32_t draw = m_source();
        if (draw >= kDrawLimit) {
            continue;
        }
        std::string code = std::to_string(draw % kCodeCount);
        code.insert(0, kPrivateCodeDigits - code.size(), '0');
        if (m_codes.count(code) == 0) {
            return code;
        }
    }
}

void PrivateDesks::prune(Times& times, Millis now) {
    while (!times.empty() && times.front() + kWrongCodeWindow <= now) {
        times.pop_front();
    }
}

long long PrivateDesks::waitOf(const Times& times, Millis now) {
    if (times.size() < static_cast<std::size_t>(kWrongCodesPerMinute)) {
        return 0;
    }
    // The oldest of the last kWrongCodesPerMinute must leave the window.
    const Millis until = times[times.size() - kWrongCodesPerMinute] + kWrongCodeWindow - now;
    return (until.count() + 999) / 1000;
}

}  // namespace server

#pragma once
// The hall's book of private desks: which desks are private, their codes and creators, and the
// limit on wrong codes. Pure (time passed in); the hall seats the persons and keeps the desks.
//
//   rule                    how
//   a code                  6 decimal digits ("000000" .. "999999"), drawn uniformly from the
//                           code source (std::random_device unless one is given), so it says
//                           nothing about the desk's number; drawn again while a live desk has it
//   a code's life           from open until close (the hall closes a desk's code when its last
//                           person, present or held, is gone); a closed code names no desk
//   creators' addresses     the live desks opened from each address are counted (openedFrom),
//                           for the hall's budget of private desks an address may hold
//   wrong codes             kWrongCodesPerMinute a link, and the same an address, within
//                           kWrongCodeWindow; beyond either, every join is refused until the
//                           oldest of those wrong codes is a window old
// Joins refused for the limit are not counted again, so a refused client does not wait longer
// for trying.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <unordered_map>

#include "server/game/DeskOutput.h"

namespace server {

// Wrong codes one link, and one remote address, may send within kWrongCodeWindow.
inline constexpr int kWrongCodesPerMinute = 10;
inline constexpr Millis kWrongCodeWindow{60000};

class PrivateDesks {
public:
    // 32 random bits a call.
    using CodeSource = std::function<std::uint32_t()>;
    // Who opened a desk: the token's hash, which names them on any link and after a rejoin; a
    // person without a token (empty hash) by the person.
    struct Owner {
        std::string tokenHash;
        PersonId person = 0;
    };

    // `source` null: codes come from std::random_device.
    explicit PrivateDesks(CodeSource source = {});

    // ---- Desks
    // Makes `desk` private, created by `owner` from `address`; returns its new code.
    std::string open(int desk, Owner owner, const std::string& address);
    void close(int desk);
    bool isPrivate(int desk) const { return m_desks.count(desk) != 0; }
    // The desk whose code is `code`; none for any other text.
    std::optional<int> deskOf(std::string_view code) const;
    // Whether `who` created the private desk `desk`.
    bool isOwner(int desk, const Owner& who) const;
    // The live private desks opened from `address`.
    int openedFrom(const std::string& address) const;
    // Fits the maps' buckets to what they hold now: they stay at their peak until asked.
    void tidy();

    // ---- The wrong-code limit (a link and its remote address)
    // Whole seconds until a join may be tried again; 0 when it may be tried now.
    long long waitSeconds(std::uint64_t link, const std::string& address, Millis now);
    // Counts a wrong code; returns how many the address sent within the window, this one included.
    int wrongCode(std::uint64_t link, const std::string& address, Millis now);
    // The link closed: its own count goes (its address's stays).
    void forgetLink(std::uint64_t link) { m_byLink.erase(link); }

private:
    struct Desk {
        std::string code;
        Owner owner;
        std::string address;  // the creator's
    };
    using Times = std::deque<Millis>;  // wrong codes within the window, oldest first

    std::string drawCode();
    static void prune(Times& times, Millis now);
    static long long waitOf(const Times& times, Millis now);

    CodeSource m_source;
    std::map<int, Desk> m_desks;
    std::unordered_map<std::string, int> m_codes;  // code -> desk
    std::unordered_map<std::string, int> m_opened;  // creator's address -> live desks, never 0
    std::unordered_map<std::uint64_t, Times> m_byLink;
    std::unordered_map<std::string, Times> m_byAddress;
    std::size_t m_sweepAt = 1024;  // addresses known when the next sweep runs
};

}  // namespace server

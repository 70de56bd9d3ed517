#pragma once
// The player tokens the hall has seen, kept only as SHA-256 hashes: the person each names now,
// and its accepted hellos of the last kReconnectWindow, of which one token may make
// hellosPerMinute. Pure (time passed in). Event-loop thread.

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "server/game/DeskOutput.h"

namespace server {

// Accepted hellos one token may make within kReconnectWindow, unless HallConfig says otherwise.
inline constexpr int kHellosPerMinute = 10;
inline constexpr Millis kReconnectWindow{60000};

class Tokens {
public:
    // The hash a token is kept by, in lowercase hex: either case names the same token.
    static std::string hashOf(std::string token);

    explicit Tokens(int hellosPerMinute) : m_hellosPerMinute(hellosPerMinute) {}

    // A hello with the token `hash` at `now`: 0 when it is accepted (and counted); when the
    // token made hellosPerMinute within the window, the whole seconds until the oldest of them
    // is a window old (not counted).
    long long admit(const std::string& hash, Millis now);
    // The person the token names now; 0 for nobody.
    PersonId person(const std::string& hash) const;
    // The token names `person` from now on.
    void name(const std::string& hash, PersonId person);
    // `person` is gone: a token that names them names nobody now.
    void forget(const std::string& hash, PersonId person);
    // The tokens known have doubled since the last tidy: the hall tidies before the next hello.
    bool tidyDue() const { return m_tokens.size() >= m_tidyAt; }
    // Forgets the tokens that name nobody and made no hello within the window, and gives back
    // the room a storm of them left.
    void tidy(Millis now);

private:
    struct Token {
        PersonId person = 0;         // 0 when no person holds it now
        std::vector<Millis> hellos;  // accepted ones, at most hellosPerMinute, oldest first
    };

    int m_hellosPerMinute = kHellosPerMinute;
    std::unordered_map<std::string, Token> m_tokens;  // by hash
    std::size_t m_tidyAt = 1024;  // tidyDue when this many tokens are known
};

}  // namespace server

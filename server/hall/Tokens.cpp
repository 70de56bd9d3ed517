#include "server/hall/Tokens.h"

#include <algorithm>

#include "server/hall/Sha256.h"

namespace server {

std::string Tokens::hashOf(std::string token) {
    std::transform(token.begin(), token.end(), token.begin(),
                   [](char c) { return (c >= 'A' && c <= 'F') ? static_cast<char>(c + 32) : c; });
    return toHex(sha256(token));
}

long long Tokens::admit(const std::string& hash, Millis now) {
    std::vector<Millis>& hellos = m_tokens[hash].hellos;
    while (!hellos.empty() && hellos.front() + kReconnectWindow <= now) {
        hellos.erase(hellos.begin());
    }
    if (hellos.size() >= static_cast<std::size_t>(m_hellosPerMinute)) {
        const Millis wait = hellos.front() + kReconnectWindow - now;
        return (wait.count() + 999) / 1000;
    }
    hellos.push_back(now);
    return 0;
}

PersonId Tokens::person(const std::string& hash) const {
    const auto found = m_tokens.find(hash);
    return found == m_tokens.end() ? 0 : found->second.person;
}

void Tokens::name(const std::string& hash, PersonId person) {
    m_tokens[hash].person = person;
}

void Tokens::forget(const std::string& hash, PersonId person) {
    const auto found = m_tokens.find(hash);
    if (found != m_tokens.end() && found->second.person == person) {
        found->second.person = 0;
    }
}

void Tokens::tidy(Millis now) {
    std::erase_if(m_tokens, [now](const auto& entry) {
        const Token& token = entry.second;
        return token.person == 0 &&
               (token.hellos.empty() || token.hellos.back() + kReconnectWindow <= now);
    });
    m_tidyAt = 2 * m_tokens.size() + 1024;
    // Buckets stay at their peak until asked: rehash(0) fits them to what is left.
    m_tokens.rehash(0);
}

}  // namespace server

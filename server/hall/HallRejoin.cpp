// The hall's hello and rejoin: a token's person taken up by a new link, their held seat given
// back with "resume", and the seats held for away persons within their address's budget (the
// rules in Hall.h; the tokens' book in Tokens.h). Event-loop thread, like the hall.

#include "server/hall/Hall.h"
#include "server/protocol/ServerMessages.h"

namespace server {

namespace {

constexpr std::size_t kLoggedHashDigits = 16;

}  // namespace

void Hall::hello(LinkId link, const ClientRequest& request, Millis now, Output& out) {
    const std::string& token = request.token;
    Link& self = m_links.at(link);
    int named = -1;  // a desk where the asked name took a seat's
    const auto answerName = [&](PersonId id) { return askName(id, request.name, named); };
    const auto collectNamed = [&] {
        if (named >= 0) {
            collect(named, out);
        }
    };
    const bool wellFormed = isPlayerToken(token);
    const std::string hash = wellFormed ? Tokens::hashOf(token) : std::string();
    const std::string shown =
        wellFormed ? " (token " + hash.substr(0, kLoggedHashDigits) + ")" : std::string();
    if (self.helloSeen) {
        refuse(link, kHelloAgain, -1, answerName(self.person), out);
        out.log.back() += shown;
        collectNamed();
        return;
    }
    self.helloSeen = true;
    if (!wellFormed) {
        refuse(link, kHelloBadToken, -1, answerName(self.person), out);
        collectNamed();
        return;
    }
    if (m_people.at(self.person).place.desk >= 0) {
        refuse(link, kHelloSeated, -1, answerName(self.person), out);
        out.log.back() += shown;
        collectNamed();
        return;
    }
    if (m_tokens.tidyDue()) {
        tidy(now);
    }
    if (const long long retry = m_tokens.admit(hash, now); retry > 0) {
        refuse(link, kHelloTooMany, retry, answerName(self.person), out);
        out.log.back() += shown + ", retry in " + std::to_string(retry) + " s";
        collectNamed();
        return;
    }
    const PersonId id = m_tokens.person(hash);
    if (id == 0) {
        // A new token, or one whose person has gone: the link's own person takes it.
        m_tokens.name(hash, self.person);
        m_people.at(self.person).token = hash;
        out.sends.push_back(
            Send{link, helloOkMessage(false, m_recordsKept, answerName(self.person))});
        out.log.push_back(linkText(link) + ": hello accepted" + shown);
        return;
    }
    Person& person = m_people.at(id);
    std::string line = linkText(link) + ": hello accepted" + shown;
    if (person.link != 0) {
        out.closeLinks.push_back(person.link);
        m_links.erase(person.link);
        line += ", replaces " + linkText(person.link);
    }
    // Whoever watched through either link sees nothing more: the client starts afresh.
    stopWatching(self.person, out);
    stopWatching(id, out);
    forget(self.person);  // the link's own person: never seated
    self.person = id;
    release(person);
    person.link = link;
    person.address = self.address;
    const Place place = person.place;
    if (place.desk < 0) {
        out.sends.push_back(Send{link, helloOkMessage(false, m_recordsKept, answerName(id))});
        out.log.push_back(std::move(line));
        return;
    }
    DeskGame& desk = m_pool.at(place.desk);
    desk.markBack(place.seat, now, m_deskOut);
    // The desk's "presence" and any "change" for the name go out after the answer and "resume".
    out.sends.push_back(Send{link, helloOkMessage(true, m_recordsKept, answerName(id))});
    RejoinSnapshot snapshot = desk.snapshot(place.seat, now);
    snapshot.creator = m_private.isOwner(place.desk, asOwner(id));
    out.sends.push_back(Send{link, resumeMessage(snapshot)});
    out.restartIdle.push_back(link);
    out.log.push_back(line + ", resumes desk " + std::to_string(place.desk) + " seat " +
                      std::to_string(place.seat));
    collect(place.desk, out);
}

void Hall::refuse(LinkId link, std::string_view reason, long long retry, const NameAnswer& name,
                  Output& out) {
    out.sends.push_back(Send{link, helloRefusedMessage(reason, retry, name)});
    out.log.push_back(linkText(link) + ": hello refused, " + std::string(reason));
}

void Hall::forget(PersonId id) {
    const auto found = m_people.find(id);
    if (found == m_people.end()) {
        return;
    }
    m_tokens.forget(found->second.token, id);
    unlistName(id);
    release(found->second);
    m_people.erase(found);
}

bool Hall::hold(Person& person) {
    const auto counted = m_heldFrom.find(person.address);
    const int held = counted == m_heldFrom.end() ? 0 : counted->second;
    if (held >= m_config.maxHeldPerAddress) {
        return false;
    }
    ++m_heldFrom[person.address];
    person.held = true;
    return true;
}

void Hall::release(Person& person) {
    if (person.held) {
        person.held = false;
        uncount(m_heldFrom, person.address);
    }
}

}  // namespace server

#include "server/hall/Hall.h"

#include <algorithm>

#include "server/hall/Sha256.h"
#include "server/protocol/ServerMessages.h"

namespace server {

namespace {

constexpr std::size_t kLoggedHashDigits = 16;

// Either case names the same token.
std::string tokenHash(std::string token) {
    std::transform(token.begin(), token.end(), token.begin(),
                   [](char c) { return (c >= 'A' && c <= 'F') ? static_cast<char>(c + 32) : c; });
    return toHex(sha256(token));
}

std::string linkText(LinkId link) {
    return "connection " + std::to_string(link);
}

}  // namespace

Hall::Hall(const HallConfig& config) : m_config(config), m_private(config.codeSource) {}

void Hall::connect(LinkId link, std::string address) {
    const PersonId person = m_nextPerson++;
    Link made;
    made.person = person;
    made.address = std::move(address);
    m_links.emplace(link, made);
    Person& own = m_people[person];
    own.link = link;
    own.address = made.address;
}

void Hall::disconnect(LinkId link, Millis now, Output& out) {
    const auto found = m_links.find(link);
    if (found == m_links.end()) {
        return;  // unknown, or replaced by a new link
    }
    const PersonId id = found->second.person;
    stopWatching(id, out);
    if (found->second.desksIgnored > 0) {
        out.log.push_back(linkText(link) + ": " + std::to_string(found->second.desksIgnored) +
                          " desks requests ignored (more than one a second)");
    }
    if (found->second.lookupsIgnored > 0) {
        out.log.push_back(linkText(link) + ": " + std::to_string(found->second.lookupsIgnored) +
                          " record or leaderboard requests ignored (more than one a second)");
    }
    if (found->second.talksIgnored > 0) {
        out.log.push_back(linkText(link) + ": " + std::to_string(found->second.talksIgnored) +
                          " talk requests ignored (a bad index, or more than one in " +
                          std::to_string(kTalkEvery.count() / 1000) + " s)");
    }
    if (found->second.autosIgnored > 0) {
        out.log.push_back(linkText(link) + ": " + std::to_string(found->second.autosIgnored) +
                          " auto requests ignored (more than one in " +
                          std::to_string(kAutoEvery.count()) + " ms)");
    }
    m_links.erase(found);
    m_private.forgetLink(link);
    Person& person = m_people.at(id);
    person.link = 0;
    const Place place = person.place;
    if (place.desk >= 0 && !person.token.empty()) {
        if (hold(person)) {
            m_desks[place.desk]->markAway(place.seat, now, m_deskOut);
            collect(place.desk, out);
            return;
        }
        out.log.push_back(linkText(link) + " (" + person.address + "): seat not held, " +
                          std::to_string(m_config.maxHeldPerAddress) +
                          " held for the address already");
    }
    forget(id);
    if (place.desk >= 0) {
        m_desks[place.desk]->leave(place.seat, now, m_deskOut);
        collect(place.desk, out);
    }
}

bool Hall::inGame(LinkId link) const {
    const auto found = m_links.find(link);
    if (found == m_links.end()) {
        return false;
    }
    const Person& person = m_people.at(found->second.person);
    const Place& place = person.place;
    return person.watching >= 0 || (place.desk >= 0 && m_desks[place.desk]->playing());
}

PersonId Hall::personOf(LinkId link) const {
    const auto found = m_links.find(link);
    return found == m_links.end() ? 0 : found->second.person;
}

void Hall::handle(LinkId link, const ClientRequest& request, Millis now, Output& out) {
    const auto found = m_links.find(link);
    if (found == m_links.end()) {
        return;
    }
    using Kind = ClientRequest::Kind;
    if (request.kind == Kind::Hello) {
        hello(link, request, now, out);
        return;
    }
    if (request.kind == Kind::Name) {
        nameRequest(link, request, out);
        return;
    }
    const PersonId id = found->second.person;
    Place& place = m_people.at(id).place;
    switch (request.kind) {
        case Kind::Query:
            out.sends.push_back(Send{link, queryMessage(online())});
            return;
        case Kind::Record:
        case Kind::Leaderboard:
            lookup(link, request.kind == Kind::Leaderboard, now, out);
            return;
        case Kind::Add:
            if (place.desk < 0) {
                stopWatching(id, out);
                seatAt(openDesk(), id, now, out);
            }
            return;
        case Kind::Desks:
            desksList(link, now, out);
            return;
        case Kind::Watch:
            watch(link, request, now, out);
            return;
        case Kind::Unwatch:
            stopWatching(id, out);
            return;
        case Kind::Sit:
            sit(link, now, out);
            return;
        case Kind::Create:
            createPrivate(id, now, out);
            return;
        case Kind::Join:
            joinPrivate(link, request.code, now, out);
            return;
        default:
            break;
    }
    if (place.desk < 0 || place.desk != request.desk || place.seat != request.seat) {
        return;
    }
    if (request.kind == Kind::Talk) {
        talk(link, request.say, now, out);
        return;
    }
    if (request.kind == Kind::Bots) {
        addBots(id, request.level, now, out);
        return;
    }
    if (request.kind == Kind::Auto && tooSoon(m_people.at(id).lastAuto, kAutoEvery, now)) {
        ++found->second.autosIgnored;
        return;
    }
    DeskGame& desk = *m_desks[place.desk];
    const int deskNumber = place.desk;
    if (request.kind == Kind::Ready) {
        desk.ready(place.seat, now, m_deskOut);
    } else if (request.kind == Kind::Play) {
        desk.act(place.seat, request.cards, now, m_deskOut);
    } else if (request.kind == Kind::Auto) {
        desk.setAuto(place.seat, request.on, m_deskOut);
    } else {
        desk.leave(place.seat, now, m_deskOut);
        unseat(id);
    }
    collect(deskNumber, out);
}

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
    const std::string hash = wellFormed ? tokenHash(token) : std::string();
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
    sweepTokens(now);
    Token& entry = m_tokens[hash];
    while (!entry.hellos.empty() && entry.hellos.front() + kReconnectWindow <= now) {
        entry.hellos.erase(entry.hellos.begin());
    }
    if (entry.hellos.size() >= static_cast<std::size_t>(m_config.hellosPerMinute)) {
        const Millis wait = entry.hellos.front() + kReconnectWindow - now;
        const long long retry = (wait.count() + 999) / 1000;
        refuse(link, kHelloTooMany, retry, answerName(self.person), out);
        out.log.back() += shown + ", retry in " + std::to_string(retry) + " s";
        collectNamed();
        return;
    }
    entry.hellos.push_back(now);

    if (entry.person == 0) {
        // A new token, or one whose person has gone: the link's own person takes it.
        entry.person = self.person;
        m_people.at(self.person).token = hash;
        out.sends.push_back(
            Send{link, helloOkMessage(false, m_recordsKept, answerName(self.person))});
        out.log.push_back(linkText(link) + ": hello accepted" + shown);
        return;
    }
    const PersonId id = entry.person;
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
    DeskGame& desk = *m_desks[place.desk];
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

void Hall::lookup(LinkId link, bool leaderboard, Millis now, Output& out) {
    Link& self = m_links.at(link);
    if (tooSoon(leaderboard ? self.lastLeaderboard : self.lastRecord, kLookupEvery, now)) {
        ++self.lookupsIgnored;
        return;
    }
    const std::string& token = m_people.at(self.person).token;
    if (token.empty()) {
        out.sends.push_back(Send{link, noRecordsMessage(leaderboard ? kLeaderboardOpt : kRecordOpt)});
        return;
    }
    out.lookups.push_back(Lookup{link, leaderboard, token});
}

void Hall::talk(LinkId link, int say, Millis now, Output& out) {
    Link& self = m_links.at(link);
    Person& person = m_people.at(self.person);
    if (say < 0 || say >= kTalkCount || (person.lastTalk && now < *person.lastTalk + kTalkEvery)) {
        ++self.talksIgnored;
        return;
    }
    person.lastTalk = now;
    m_desks[person.place.desk]->talk(person.place.seat, say, m_deskOut);
    collect(person.place.desk, out);
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
    const auto token = m_tokens.find(found->second.token);
    if (token != m_tokens.end() && token->second.person == id) {
        token->second.person = 0;
    }
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

void Hall::uncount(std::unordered_map<std::string, int>& counts, const std::string& address) {
    const auto counted = counts.find(address);
    if (counted != counts.end() && --counted->second <= 0) {
        counts.erase(counted);
    }
}

void Hall::sweepTokens(Millis now) {
    if (m_tokens.size() >= m_sweepAt) {
        tidy(now);
    }
}

void Hall::tidy(Millis now) {
    std::erase_if(m_tokens, [now](const auto& entry) {
        const Token& token = entry.second;
        return token.person == 0 &&
               (token.hellos.empty() || token.hellos.back() + kReconnectWindow <= now);
    });
    m_sweepAt = 2 * m_tokens.size() + 1024;
    // Buckets stay at their peak until asked: rehash(0) fits them to what is left.
    m_tokens.rehash(0);
    m_people.rehash(0);
    m_links.rehash(0);
    m_heldFrom.rehash(0);
    m_watchersFrom.rehash(0);
    m_private.tidy();
}

bool Hall::hasDesk(int number) const {
    return number >= 0 && number < static_cast<int>(m_desks.size()) && m_desks[number] != nullptr;
}

void Hall::advanceDesk(int desk, Millis now, Output& out) {
    if (!hasDesk(desk)) {
        return;
    }
    m_desks[desk]->advance(now, m_deskOut);
    collect(desk, out);
}

void Hall::botDecided(const BotJob& job, std::vector<int> cards, Millis now, Output& out) {
    if (!hasDesk(job.desk)) {
        return;
    }
    m_desks[job.desk]->botDecided(job.serial, std::move(cards), now, m_deskOut);
    collect(job.desk, out);
}

void Hall::openBotDesk(Millis now, Output& out) {
    DeskGame& desk = newDesk();
    desk.seatBots(now, m_deskOut);
    collect(desk.number(), out);
}

std::optional<Millis> Hall::deskDeadline(int desk) const {
    if (!hasDesk(desk)) {
        return std::nullopt;
    }
    return m_desks[desk]->nextDeadline();
}

void Hall::seatAt(DeskGame& desk, PersonId id, Millis now, Output& out) {
    unlistName(id);
    Person& person = m_people.at(id);
    if (person.chosen.empty()) {
        person.shown = madeUpName();
    }
    Place& place = person.place;
    place.seat = desk.seatPerson(id, person.shown, now, m_deskOut,
                                 m_private.isOwner(desk.number(), asOwner(id)));
    place.desk = desk.number();
    listName(id);
    collect(place.desk, out);
}

DeskGame& Hall::openDesk() {
    // The lowest-numbered desk that would do, unless a free number lies below it: a new desk
    // there is the first desk with a free seat.
    const std::optional<int> open = m_deskLists.firstOpen();
    const std::optional<int> free = m_deskLists.firstFree();
    return open && (!free || *open < *free) ? *m_desks[*open] : newDesk();
}

DeskGame& Hall::newDesk() {
    const std::optional<int> free = m_deskLists.firstFree();
    const int number = free ? *free : static_cast<int>(m_desks.size());
    if (!free) {
        m_desks.emplace_back();
        m_watchers.emplace_back();
    }
    ++m_desksMade;
    // A fixed odd multiplier spreads the desks' seeds apart; a number used again gets new deals.
    const std::uint64_t seed = m_config.seed + 0x9E3779B97F4A7C15ull * m_desksMade;
    // Room for 2^32 BotJobs a desk before its serials reach the next desk's.
    m_desks[number] = std::make_unique<DeskGame>(number, m_config.desk, seed, m_desksMade << 32);
    m_deskLists.update(*m_desks[number], false);
    return *m_desks[number];
}

void Hall::dropIfEmpty(int desk) {
    if (!m_desks[desk]->isEmpty()) {
        return;
    }
    m_desks[desk].reset();
    m_watchers[desk] = {};
    m_deskLists.remove(desk);
    while (!m_desks.empty() && m_desks.back() == nullptr) {
        m_desks.pop_back();
        m_watchers.pop_back();
    }
    m_deskLists.endAt(static_cast<int>(m_desks.size()));
    // After a storm of desks, the numbers' room goes back too.
    if (m_desks.capacity() > 2 * m_desks.size() + 64) {
        m_desks.shrink_to_fit();
        m_watchers.shrink_to_fit();
    }
}

void Hall::collect(int desk, Output& out) {
    for (Delivery& delivery : m_deskOut.deliveries) {
        const auto person = m_people.find(delivery.person);
        // Computer players (0) and away persons have no link to send to.
        if (person != m_people.end() && person->second.link != 0) {
            out.sends.push_back(Send{person->second.link, std::move(delivery.text)});
        }
    }
    deliverPublic(desk, out);
    for (PersonId id : m_deskOut.gameEnded) {
        const auto person = m_people.find(id);
        if (person != m_people.end() && person->second.link != 0) {
            out.restartIdle.push_back(person->second.link);
        }
    }
    // Before the unseated are forgotten: an away person freed at the game's end is still known.
    for (FinishedDeskGame& game : m_deskOut.finished) {
        if (nameByToken(game, out)) {
            out.finished.push_back(std::move(game));
        }
    }
    for (PersonId id : m_deskOut.unseated) {
        const auto person = m_people.find(id);
        if (person == m_people.end()) {
            continue;
        }
        unseat(id);
        if (person->second.link == 0) {
            forget(id);
        }
    }
    for (std::string& line : m_deskOut.log) {
        out.log.push_back(std::move(line));
    }
    for (BotJob& job : m_deskOut.botJobs) {
        out.botJobs.push_back(std::move(job));
    }
    out.touchedDesks.push_back(desk);
    m_deskOut.clear();
    closeIfDeserted(desk, out);
    unwatchIfDeserted(desk, out);
    m_deskLists.update(*m_desks[desk], m_private.isPrivate(desk));
    dropIfEmpty(desk);
}

bool Hall::nameByToken(FinishedDeskGame& game, Output& out) const {
    for (std::size_t index = 0; index < game.seats.size(); ++index) {
        FinishedSeat& seat = game.seats[index];
        if (seat.person == 0) {
            continue;
        }
        const auto person = m_people.find(seat.person);
        if (person == m_people.end() || person->second.token.empty()) {
            out.log.push_back("desk " + std::to_string(game.desk) +
                              ": game not recorded, seat " + std::to_string(index) +
                              " is a guest (no hello)");
            return false;
        }
        seat.tokenHash = person->second.token;
    }
    return true;
}

}  // namespace server

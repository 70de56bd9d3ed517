// The hall's routing: links come and go, requests go to the part of the hall or the desk they
// are for, and what a desk said goes to the links of its persons and spectators (the rules in
// Hall.h). Event-loop thread, like the hall.

#include "server/hall/Hall.h"

#include "server/protocol/ServerMessages.h"

namespace server {

Hall::Hall(const HallConfig& config)
    : m_config(config),
      m_tokens(config.hellosPerMinute),
      m_pool(config.desk, config.seed),
      m_private(config.codeSource) {}

std::string Hall::linkText(LinkId link) {
    return "connection " + std::to_string(link);
}

bool Hall::tooSoon(std::optional<Millis>& last, Millis every, Millis now) {
    if (last && now < *last + every) {
        return true;
    }
    last = now;
    return false;
}

void Hall::uncount(std::unordered_map<std::string, int>& counts, const std::string& address) {
    const auto counted = counts.find(address);
    if (counted != counts.end() && --counted->second <= 0) {
        counts.erase(counted);
    }
}

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
            m_pool.at(place.desk).markAway(place.seat, now, m_deskOut);
            collect(place.desk, out);
            return;
        }
        out.log.push_back(linkText(link) + " (" + person.address + "): seat not held, " +
                          std::to_string(m_config.maxHeldPerAddress) +
                          " held for the address already");
    }
    forget(id);
    if (place.desk >= 0) {
        m_pool.at(place.desk).leave(place.seat, now, m_deskOut);
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
    return person.watching >= 0 || (place.desk >= 0 && m_pool.at(place.desk).playing());
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
    DeskGame& desk = m_pool.at(place.desk);
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

void Hall::lookup(LinkId link, bool leaderboard, Millis now, Output& out) {
    Link& self = m_links.at(link);
    if (tooSoon(leaderboard ? self.lastLeaderboard : self.lastRecord, kLookupEvery, now)) {
        ++self.lookupsIgnored;
        return;
    }
    const std::string& token = m_people.at(self.person).token;
    if (token.empty()) {
        out.sends.push_back(
            Send{link, noRecordsMessage(leaderboard ? kLeaderboardOpt : kRecordOpt)});
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
    m_pool.at(person.place.desk).talk(person.place.seat, say, m_deskOut);
    collect(person.place.desk, out);
}

void Hall::tidy(Millis now) {
    m_tokens.tidy(now);
    // Buckets stay at their peak until asked: rehash(0) fits them to what is left.
    m_people.rehash(0);
    m_links.rehash(0);
    m_heldFrom.rehash(0);
    m_watchersFrom.rehash(0);
    m_private.tidy();
}

void Hall::advanceDesk(int desk, Millis now, Output& out) {
    if (!hasDesk(desk)) {
        return;
    }
    m_pool.at(desk).advance(now, m_deskOut);
    collect(desk, out);
}

void Hall::botDecided(const BotJob& job, std::vector<int> cards, Millis now, Output& out) {
    if (!hasDesk(job.desk)) {
        return;
    }
    m_pool.at(job.desk).botDecided(job.serial, std::move(cards), now, m_deskOut);
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
    return m_pool.at(desk).nextDeadline();
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
    DeskGame& desk = m_pool.open();
    fitWatchers();
    return desk;
}

DeskGame& Hall::newDesk() {
    DeskGame& desk = m_pool.make();
    fitWatchers();
    return desk;
}

void Hall::fitWatchers() {
    m_watchers.resize(m_pool.end());
    // After a storm of desks, the numbers' room goes back too.
    if (m_watchers.capacity() > 2 * m_watchers.size() + 64) {
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
    if (m_pool.settle(desk, m_private.isPrivate(desk))) {
        m_watchers[desk] = {};
        fitWatchers();
    }
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

// The hall's spectators: "desks", "watch", "unwatch", "sit", and the public texts of a watched
// desk handed to each of its spectators (the rules in Hall.h). Event-loop thread, like the hall.

#include <algorithm>

#include "server/hall/Hall.h"
#include "server/protocol/ServerMessages.h"

namespace server {

namespace {

std::string deskText(int desk) {
    return "desk " + std::to_string(desk);
}

}  // namespace

int Hall::watchers(int desk) const {
    if (desk < 0 || desk >= static_cast<int>(m_watchers.size())) {
        return 0;
    }
    return static_cast<int>(m_watchers[desk].size());
}

void Hall::desksList(LinkId link, Millis now, Output& out) {
    Link& self = m_links.at(link);
    if (tooSoon(self.lastDesks, kDesksEvery, now)) {
        ++self.desksIgnored;
        return;
    }
    std::vector<WatchListEntry> list;
    for (const int number : m_pool.running()) {
        if (list.size() >= static_cast<std::size_t>(kWatchListSize)) {
            break;
        }
        const DeskGame& desk = m_pool.at(number);
        const Round* round = desk.round();
        WatchListEntry entry;
        entry.desk = desk.number();
        entry.teamPoints = round->teamPoints();
        entry.seconds = std::max<long long>(0, (now - desk.dealtAt()).count() / 1000);
        entry.watchers = watchers(desk.number());
        for (int index = 0; index < 4; ++index) {
            const DeskGame::Seat& seat = desk.seat(index);
            entry.seats[index] = WatchSeat{seat.name, seat.kind == DeskGame::SeatKind::Bot};
        }
        list.push_back(entry);
    }
    out.sends.push_back(Send{link, desksMessage(list)});
}

void Hall::watch(LinkId link, const ClientRequest& request, Millis now, Output& out) {
    const PersonId id = m_links.at(link).person;
    Person& person = m_people.at(id);
    const auto refuse = [&](std::string_view reason, long long retry = -1) {
        out.sends.push_back(Send{link, watchRefusedMessage(reason, retry)});
    };
    if (person.place.desk >= 0) {
        refuse(kJoinSeated);
        return;
    }
    if (const long long wait = codeWait(link, "watch", now, out); wait > 0) {
        refuse(kJoinTooMany, wait);
        return;
    }
    std::optional<int> number;
    if (request.byCode) {
        number = deskByCode(link, request.code, now, out);
    } else if (hasDesk(request.desk) && m_pool.at(request.desk).playing() &&
               !m_private.isPrivate(request.desk)) {
        number = request.desk;
    }
    if (!number) {
        refuse(kWatchNoDesk);
        return;
    }
    const int desk = *number;
    std::vector<PersonId>& list = m_watchers[desk];
    const bool again = person.watching == desk;
    if (!again) {
        if (tooManyFrom(person, desk)) {
            refuse(kWatchFromAddress);
            out.log.push_back(codeAsker(link) +
                              ": watch refused, too many spectators from the address");
            return;
        }
        if (list.size() >= static_cast<std::size_t>(m_config.maxWatchersPerDesk)) {
            refuse(kJoinFull);
            return;
        }
        const std::size_t others = m_watcherCount - (person.watching >= 0 ? 1 : 0);
        if (others >= static_cast<std::size_t>(m_config.maxWatchers)) {
            refuse(kWatchServerFull);
            return;
        }
        stopWatching(id, out);
        list.push_back(id);
        ++m_watcherCount;
        ++m_watchersFrom[person.address];
        person.watching = desk;
        m_pool.at(desk).setWatched(true);
        out.log.push_back(deskText(desk) + ": watched by connection " + std::to_string(link) +
                          ", " + std::to_string(list.size()) + " watching");
    }
    const RejoinSnapshot snapshot = m_pool.at(desk).snapshot(-1, now);
    out.sends.push_back(Send{link, watchMessage(snapshot, static_cast<int>(list.size()))});
    if (!again) {
        tellWatchers(desk, out);
    }
}

bool Hall::tooManyFrom(const Person& person, int desk) const {
    const std::vector<PersonId>& list = m_watchers[desk];
    const auto atDesk = std::count_if(list.begin(), list.end(), [&](PersonId other) {
        return m_people.at(other).address == person.address;
    });
    const auto counted = m_watchersFrom.find(person.address);
    const int all = counted == m_watchersFrom.end() ? 0 : counted->second;
    return atDesk >= m_config.maxWatchersPerAddressAtDesk ||
           all - (person.watching >= 0 ? 1 : 0) >= m_config.maxWatchersPerAddress;
}

void Hall::sit(LinkId link, Millis now, Output& out) {
    const PersonId id = m_links.at(link).person;
    const int number = m_people.at(id).watching;
    const auto refuse = [&](std::string_view reason) {
        out.sends.push_back(Send{link, sitRefusedMessage(reason)});
    };
    if (number < 0) {
        refuse(kSitNotWatching);
        return;
    }
    DeskGame& desk = m_pool.at(number);
    if (desk.playing()) {
        refuse(kJoinPlaying);
        return;
    }
    if (!desk.hasFreeSeat()) {
        refuse(kSitNoSeat);
        return;
    }
    stopWatching(id, out);
    seatAt(desk, id, now, out);
}

void Hall::stopWatching(PersonId id, Output& out) {
    const auto found = m_people.find(id);
    if (found == m_people.end() || found->second.watching < 0) {
        return;
    }
    const int desk = found->second.watching;
    found->second.watching = -1;
    std::vector<PersonId>& list = m_watchers[desk];
    std::erase(list, id);
    --m_watcherCount;
    uncount(m_watchersFrom, found->second.address);
    m_pool.at(desk).setWatched(!list.empty());
    out.log.push_back(deskText(desk) + ": connection " + std::to_string(found->second.link) +
                      " stops watching, " + std::to_string(list.size()) + " watching");
    tellWatchers(desk, out);
}

void Hall::tellWatchers(int desk, Output& out) {
    const std::vector<PersonId>& list = m_watchers[desk];
    const std::string text = watchersMessage(static_cast<int>(list.size()));
    for (PersonId id : list) {
        out.sends.push_back(Send{m_people.at(id).link, text});
    }
}

void Hall::deliverPublic(int desk, Output& out) {
    for (const std::string& text : m_deskOut.publicTexts) {
        for (PersonId id : m_watchers[desk]) {
            out.sends.push_back(Send{m_people.at(id).link, text});
        }
    }
}

void Hall::unwatchIfDeserted(int desk, Output& out) {
    std::vector<PersonId>& list = m_watchers[desk];
    if (list.empty() || !m_pool.at(desk).isEmpty()) {
        return;
    }
    const std::string text = unwatchClosedMessage();
    for (PersonId id : list) {
        Person& person = m_people.at(id);
        person.watching = -1;
        uncount(m_watchersFrom, person.address);
        out.sends.push_back(Send{person.link, text});
    }
    out.log.push_back(deskText(desk) + ": deserted, " + std::to_string(list.size()) +
                      " spectators sent back to the hall");
    m_watcherCount -= list.size();
    list.clear();
    m_pool.at(desk).setWatched(false);
}

}  // namespace server

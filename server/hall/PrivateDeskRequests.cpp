// The hall's private desks: "create", "join" by code and the creator's "bots" (the rules in
// Hall.h; the codes and the wrong-code limit in PrivateDesks), and the code check "watch" shares.
// Event-loop thread, like the hall.

#include "server/hall/Hall.h"
#include "server/protocol/ServerMessages.h"

namespace server {

void Hall::createPrivate(PersonId id, Millis now, Output& out) {
    const Person& person = m_people.at(id);
    if (person.place.desk >= 0) {
        return;  // as "add": one seat a person
    }
    if (m_private.openedFrom(person.address) >= m_config.maxPrivatePerAddress) {
        out.sends.push_back(Send{person.link, createRefusedMessage(kCreateTooMany)});
        out.log.push_back(codeAsker(person.link) + ": create refused, " +
                          std::to_string(m_config.maxPrivatePerAddress) +
                          " private desks from the address already");
        return;
    }
    stopWatching(id, out);
    DeskGame& desk = newDesk();
    desk.setPrivateCode(m_private.open(desk.number(), asOwner(id), person.address));
    out.log.push_back("desk " + std::to_string(desk.number()) + ": private desk opened");
    seatAt(desk, id, now, out);
}

void Hall::joinPrivate(LinkId link, const std::string& code, Millis now, Output& out) {
    const Link& self = m_links.at(link);
    if (m_people.at(self.person).place.desk >= 0) {
        out.sends.push_back(Send{link, joinRefusedMessage(kJoinSeated)});
        return;
    }
    if (const long long wait = codeWait(link, "join", now, out); wait > 0) {
        out.sends.push_back(Send{link, joinRefusedMessage(kJoinTooMany, wait)});
        return;
    }
    const std::optional<int> number = deskByCode(link, code, now, out);
    if (!number) {
        out.sends.push_back(Send{link, joinRefusedMessage(kJoinWrongCode)});
        return;
    }
    DeskGame& desk = m_pool.at(*number);
    if (desk.playing()) {
        out.sends.push_back(Send{link, joinRefusedMessage(kJoinPlaying)});
        return;
    }
    if (!desk.hasFreeSeat()) {
        out.sends.push_back(Send{link, joinRefusedMessage(kJoinFull)});
        return;
    }
    stopWatching(self.person, out);
    seatAt(desk, self.person, now, out);
}

long long Hall::codeWait(LinkId link, std::string_view opt, Millis now, Output& out) {
    const Link& self = m_links.at(link);
    const long long wait = m_private.waitSeconds(link, self.address, now);
    if (wait > 0) {
        out.log.push_back(codeAsker(link) + ": " + std::string(opt) +
                          " refused, too many wrong codes, retry in " + std::to_string(wait) +
                          " s");
    }
    return wait;
}

std::optional<int> Hall::deskByCode(LinkId link, const std::string& code, Millis now,
                                    Output& out) {
    const std::optional<int> number = m_private.deskOf(code);
    if (!number) {
        const int count = m_private.wrongCode(link, m_links.at(link).address, now);
        out.log.push_back(codeAsker(link) + ": wrong private-desk code, " + std::to_string(count) +
                          " from the address in the last minute");
    }
    return number;
}

std::string Hall::codeAsker(LinkId link) const {
    return "connection " + std::to_string(link) + " (" + m_links.at(link).address + ")";
}

void Hall::addBots(PersonId id, const std::string& level, Millis now, Output& out) {
    const int number = m_people.at(id).place.desk;
    BotLevel chosen = BotLevel::Easy;
    if (!m_private.isOwner(number, asOwner(id)) || !parseBotLevel(level, chosen)) {
        return;
    }
    m_pool.at(number).seatBots(chosen, now, m_deskOut);
    collect(number, out);
}

PrivateDesks::Owner Hall::asOwner(PersonId id) const {
    return {m_people.at(id).token, id};
}

void Hall::closeIfDeserted(int desk, Output& out) {
    if (!m_private.isPrivate(desk) || m_pool.at(desk).hasPerson()) {
        return;
    }
    m_private.close(desk);
    m_pool.at(desk).setPrivateCode({});
    out.log.push_back("desk " + std::to_string(desk) + ": private desk closed, its code is gone");
}

}  // namespace server

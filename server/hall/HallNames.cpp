// The hall's names: the rules in Hall.h's names table, and m_shown kept in step with them.

#include "server/hall/Hall.h"
#include "wire/PlayerName.h"

namespace server {

NameAnswer Hall::askName(PersonId id, const std::optional<std::string>& asked, int& desk) {
    if (!asked) {
        return {};
    }
    const NameCheck check = checkPlayerName(*asked);
    if (check.fault != NameFault::None) {
        return {{}, nameFaultText(check.fault)};
    }
    Person& person = m_people.at(id);
    if (check.name == person.chosen) {
        return {person.shown, {}};
    }
    const Place place = person.place;
    if (place.desk >= 0 && m_pool.at(place.desk).playing()) {
        return {{}, kNameInGame};
    }
    unlistName(id);  // the person's own name is no one else's
    person.chosen = check.name;
    person.shown = m_shown.freeName(check.name);
    listName(id);
    if (place.desk >= 0) {
        m_pool.at(place.desk).renameSeat(place.seat, person.shown, m_deskOut);
        desk = place.desk;
    }
    return {person.shown, {}};
}

void Hall::nameRequest(LinkId link, const ClientRequest& request, Output& out) {
    int desk = -1;
    const NameAnswer answer = askName(m_links.at(link).person, request.name, desk);
    out.sends.push_back(Send{link, nameMessage(answer)});
    if (desk >= 0) {
        collect(desk, out);
    }
}

std::string Hall::madeUpName() {
    m_nextName = m_shown.freeNumber(m_config.namePrefix, m_nextName);
    return m_config.namePrefix + std::to_string(m_nextName++);
}

bool Hall::showsName(const Person& person) {
    return !person.chosen.empty() || person.place.desk >= 0;
}

void Hall::unlistName(PersonId id) {
    const Person& person = m_people.at(id);
    if (showsName(person)) {
        m_shown.remove(person.shown);
    }
}

void Hall::listName(PersonId id) {
    const Person& person = m_people.at(id);
    if (showsName(person)) {
        m_shown.add(person.shown, id);
    }
}

void Hall::unseat(PersonId id) {
    unlistName(id);
    m_people.at(id).place = Place{};
    listName(id);
}

}  // namespace server

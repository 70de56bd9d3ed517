// The hall's names: the rules in Hall.h's names table.

#include "net/PlayerName.h"
#include "server/hall/Hall.h"

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
    if (place.desk >= 0 && m_desks[place.desk]->playing()) {
        return {{}, kNameInGame};
    }
    person.chosen = check.name;
    person.shown = freeName(check.name, id);
    if (place.desk >= 0) {
        m_desks[place.desk]->renameSeat(place.seat, person.shown, m_deskOut);
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

bool Hall::nameTaken(std::string_view name, PersonId self) const {
    for (const auto& [id, person] : m_people) {
        const bool shows = !person.chosen.empty() || person.place.desk >= 0;
        if (id != self && shows && person.shown == name) {
            return true;
        }
    }
    return false;
}

std::string Hall::freeName(const std::string& name, PersonId self) const {
    std::string made = name;
    for (int number = 2; nameTaken(made, self); ++number) {
        made = nameWithSuffix(name, std::to_string(number));
    }
    return made;
}

std::string Hall::madeUpName(PersonId self) {
    std::string made;
    do {
        made = m_config.namePrefix + std::to_string(m_nextName++);
    } while (nameTaken(made, self));
    return made;
}

}  // namespace server

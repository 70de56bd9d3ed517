#include "server/hall/Hall.h"

#include "server/protocol/ServerMessages.h"

namespace server {

Hall::Hall(const HallConfig& config) : m_config(config) {}

void Hall::connect(PersonId person) {
    m_people.emplace(person, Place{});
}

void Hall::disconnect(PersonId person, Millis now, Output& out) {
    auto found = m_people.find(person);
    if (found == m_people.end()) {
        return;
    }
    const Place place = found->second;
    m_people.erase(found);
    if (place.desk >= 0) {
        m_desks[place.desk]->leave(place.seat, now, m_deskOut);
        collect(place.desk, out);
    }
}

void Hall::handle(PersonId person, const ClientRequest& request, Millis now, Output& out) {
    auto found = m_people.find(person);
    if (found == m_people.end()) {
        return;
    }
    Place& place = found->second;
    using Kind = ClientRequest::Kind;
    switch (request.kind) {
        case Kind::Query:
            out.sends.push_back(Send{person, queryMessage(online())});
            return;
        case Kind::Add: {
            if (place.desk >= 0) {
                return;
            }
            DeskGame& desk = openDesk();
            std::string name = m_config.namePrefix + std::to_string(m_nextName++);
            place.seat = desk.seatPerson(person, std::move(name), now, m_deskOut);
            place.desk = desk.number();
            collect(place.desk, out);
            return;
        }
        default:
            break;
    }
    if (place.desk < 0 || place.desk != request.desk || place.seat != request.seat) {
        return;
    }
    DeskGame& desk = *m_desks[place.desk];
    const int deskNumber = place.desk;
    if (request.kind == Kind::Ready) {
        desk.ready(place.seat, now, m_deskOut);
    } else if (request.kind == Kind::Play) {
        desk.act(place.seat, request.cards, now, m_deskOut);
    } else {
        desk.leave(place.seat, now, m_deskOut);
        place = Place{};
    }
    collect(deskNumber, out);
}

void Hall::advanceDesk(int desk, Millis now, Output& out) {
    if (desk < 0 || desk >= static_cast<int>(m_desks.size())) {
        return;
    }
    m_desks[desk]->advance(now, m_deskOut);
    collect(desk, out);
}

void Hall::botDecided(const BotJob& job, std::vector<int> cards, Millis now, Output& out) {
    if (job.desk < 0 || job.desk >= static_cast<int>(m_desks.size())) {
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
    if (desk < 0 || desk >= static_cast<int>(m_desks.size())) {
        return std::nullopt;
    }
    return m_desks[desk]->nextDeadline();
}

DeskGame& Hall::openDesk() {
    for (auto& desk : m_desks) {
        if (!desk->playing() && desk->hasFreeSeat()) {
            return *desk;
        }
    }
    return newDesk();
}

DeskGame& Hall::newDesk() {
    const int number = static_cast<int>(m_desks.size());
    // A fixed odd multiplier spreads the desks' seeds apart.
    const std::uint64_t seed = m_config.seed + 0x9E3779B97F4A7C15ull * (number + 1);
    m_desks.push_back(std::make_unique<DeskGame>(number, m_config.desk, seed));
    return *m_desks.back();
}

void Hall::collect(int desk, Output& out) {
    for (Delivery& delivery : m_deskOut.deliveries) {
        if (delivery.person != 0) {
            out.sends.push_back(Send{delivery.person, std::move(delivery.text)});
        }
    }
    for (PersonId person : m_deskOut.unseated) {
        auto found = m_people.find(person);
        if (found != m_people.end()) {
            found->second = Place{};
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
}

}  // namespace server

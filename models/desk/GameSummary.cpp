#include "models/desk/GameSummary.h"

#include <cstdlib>

#include "net/Message.h"

void GameSummary::reset() {
    *this = GameSummary{};
}

void GameSummary::follow(const stMsg& msg) {
    if (msg.opt == "start") {
        reset();
    } else if (msg.opt == "game") {
        followGame(msg);
    } else if (msg.opt == "score") {
        m_teamPoints = {std::atoi(msg.p0.c_str()), std::atoi(msg.p1.c_str())};
    } else if (msg.opt == "over") {
        finish(msg);
    } else if (msg.opt == "resume") {
        reset();
        if (msg.playing == 0) {
            return;
        }
        m_teamPoints = {std::atoi(msg.p0.c_str()), std::atoi(msg.p1.c_str())};
        m_pointsMissed = m_teamPoints[0] != 0 || m_teamPoints[1] != 0 || msg.score != 0;
        m_tablePoints = msg.score;
        m_trickPlayer = msg.must != 0 ? -1 : msg.lastsite;
        for (int seat = 0; seat < kSeatCount; ++seat) {
            if (msg.info[static_cast<std::size_t>(seat)].surplus == "0") {
                m_out[static_cast<std::size_t>(seat)] = true;
                m_outBefore.push_back(seat);
            }
        }
    }
}

void GameSummary::followGame(const stMsg& msg) {
    if (isSeatNumber(msg.per)) {
        const auto per = static_cast<std::size_t>(msg.per);
        if (!msg.cards.empty()) {
            m_trickPlayer = msg.per;
        }
        if (msg.surplus == "0" && !m_out[per]) {
            m_out[per] = true;
            m_outOrder.push_back(msg.per);
        }
        if (msg.must != 0 && isSeatNumber(msg.now) && isSeatNumber(m_trickPlayer)) {
            m_seats[static_cast<std::size_t>(m_trickPlayer)].points += m_tablePoints;
        }
    }
    if (msg.must != 0) {
        m_trickPlayer = -1;
    }
    m_tablePoints = msg.score;
}

void GameSummary::finish(const stMsg& over) {
    std::vector<int> stillIn;
    for (int seat = 0; seat < kSeatCount; ++seat) {
        SummarySeat& line = m_seats[static_cast<std::size_t>(seat)];
        line.name = over.info[static_cast<std::size_t>(seat)].name;
        line.result = over.info[static_cast<std::size_t>(seat)].result;
        if (!m_out[static_cast<std::size_t>(seat)]) {
            stillIn.push_back(seat);
        }
    }
    // Places by groups: those out before a resume together, then one by one, then the rest.
    std::vector<std::vector<int>> groups{m_outBefore};
    for (int seat : m_outOrder) {
        groups.push_back({seat});
    }
    groups.push_back(stillIn);
    int place = 1;
    for (const std::vector<int>& group : groups) {
        const int last = place + static_cast<int>(group.size()) - 1;
        for (int seat : group) {
            m_seats[static_cast<std::size_t>(seat)].firstPlace = place;
            m_seats[static_cast<std::size_t>(seat)].lastPlace = last;
        }
        place = last + 1;
    }
    m_finished = true;
}

int GameSummary::teamOut() const {
    for (int team = 0; team < 2; ++team) {
        if (m_out[static_cast<std::size_t>(team)] && m_out[static_cast<std::size_t>(team + 2)]) {
            return team;
        }
    }
    return -1;
}

int GameSummary::seatPoints(int team) const {
    return m_seats[static_cast<std::size_t>(team)].points +
           m_seats[static_cast<std::size_t>(team + 2)].points;
}

bool GameSummary::seatsAgree() const {
    if (m_pointsMissed) {
        return false;
    }
    const int out = teamOut();
    for (int team = 0; team < 2; ++team) {
        const int taken = seatPoints(team);
        const int reported = m_teamPoints[static_cast<std::size_t>(team)];
        if (team == out ? taken > reported : taken != reported) {
            return false;
        }
    }
    return true;
}

int GameSummary::extraPoints() const {
    const int out = teamOut();
    if (out < 0 || !seatsAgree()) {
        return 0;
    }
    return m_teamPoints[static_cast<std::size_t>(out)] - seatPoints(out);
}

std::string GameSummary::placeText(const SummarySeat& seat) {
    if (seat.firstPlace == seat.lastPlace) {
        return std::to_string(seat.firstPlace);
    }
    return std::to_string(seat.firstPlace) + "-" + std::to_string(seat.lastPlace);
}

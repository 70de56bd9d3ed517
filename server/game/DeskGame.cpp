#include "server/game/DeskGame.h"

#include <algorithm>
#include <cassert>

#include "server/game/Deal.h"
#include "server/game/Scoring.h"
#include "server/protocol/ServerMessages.h"

namespace server {

DeskGame::DeskGame(int number, const DeskConfig& config, std::uint64_t seed)
    : m_number(number), m_config(config), m_rng(seed) {
    assert(config.deal >= 1 && config.deal <= kFullDeal && "deal size out of range");
}

// ---- Inputs ---------------------------------------------------------------------------------

int DeskGame::seatPerson(PersonId person, std::string name, Millis now, DeskOutput& out) {
    assert(person != 0 && "person ids are non-zero");
    if (playing()) {
        return -1;
    }
    auto free = std::find_if(m_seats.begin(), m_seats.end(),
                             [](const Seat& s) { return s.kind == SeatKind::Free; });
    if (free == m_seats.end()) {
        return -1;
    }
    const int index = static_cast<int>(free - m_seats.begin());
    *free = Seat{SeatKind::Person, person, std::move(name), false, now};
    sendTo(index, addMessage(m_number, index, free->name), out);
    broadcastSeats(out);
    if (m_config.bots) {
        m_botFillAt = now + m_config.botWait;
    }
    return index;
}

void DeskGame::seatBots(Millis now, DeskOutput& out) {
    if (playing() || !hasFreeSeat()) {
        return;
    }
    for (int index = 0; index < 4; ++index) {
        if (m_seats[index].kind == SeatKind::Free) {
            seatBot(index);
        }
    }
    broadcastSeats(out);
    startIfAllReady(now, out);
}

void DeskGame::ready(int seat, Millis now, DeskOutput& out) {
    if (playing() || m_seats[seat].kind != SeatKind::Person || m_seats[seat].ready) {
        return;
    }
    m_seats[seat].ready = true;
    broadcastSeats(out);
    startIfAllReady(now, out);
}

void DeskGame::act(int seat, std::vector<int> cards, Millis now, DeskOutput& out) {
    if (!playing() || m_seats[seat].kind != SeatKind::Person) {
        return;
    }
    playTurn(seat, std::move(cards), now, out);
}

void DeskGame::leave(int seat, Millis now, DeskOutput& out) {
    if (m_seats[seat].kind != SeatKind::Person) {
        return;
    }
    if (playing()) {
        const Seat& runner = m_seats[seat];
        broadcast(runMessage(seat, runner.name), out, seat);
        out.log.push_back("desk " + std::to_string(m_number) + ": seat " + std::to_string(seat) +
                          " (" + runner.name + ") left during the game");
        endGame(now);
    }
    vacate(seat, now);
    if (hasPerson()) {
        broadcastSeats(out);
    }
}

void DeskGame::advance(Millis now, DeskOutput& out) {
    for (;;) {
        const std::optional<Millis> due = nextDeadline();
        if (!due || *due > now) {
            return;
        }
        const Millis at = *due;
        if (turnDue() == at) {
            const int seat = m_round->turn();
            const int played = m_gamesPlayed;
            std::vector<int> cards = m_seats[seat].kind == SeatKind::Bot
                                         ? botChoice(seat)
                                         : m_round->expiryAction(seat);
            playOrFallBack(seat, std::move(cards), at, out);
            if (m_gamesPlayed != played) {
                return;
            }
        } else if (botFillDue() == at) {
            m_botFillAt.reset();
            seatBots(at, out);
        } else {
            const int seat = readyDue()->second;
            sendTo(seat, timeoutMessage(), out);
            out.unseated.push_back(m_seats[seat].person);
            vacate(seat, at);
            if (hasPerson()) {
                broadcastSeats(out);
            }
        }
    }
}

void DeskGame::botDecided(std::uint64_t serial, std::vector<int> cards, Millis now,
                          DeskOutput& out) {
    if (!playing() || !m_awaitingBot || serial != m_turnSerial) {
        return;
    }
    m_awaitingBot = false;
    m_botAnswer = std::move(cards);
    advance(now, out);
}

// ---- State ----------------------------------------------------------------------------------

bool DeskGame::hasFreeSeat() const {
    return std::any_of(m_seats.begin(), m_seats.end(),
                       [](const Seat& s) { return s.kind == SeatKind::Free; });
}

bool DeskGame::hasPerson() const {
    return std::any_of(m_seats.begin(), m_seats.end(),
                       [](const Seat& s) { return s.kind == SeatKind::Person; });
}

std::optional<Millis> DeskGame::nextDeadline() const {
    std::optional<Millis> earliest = turnDue();
    const auto consider = [&earliest](std::optional<Millis> at) {
        if (at && (!earliest || *at < *earliest)) {
            earliest = at;
        }
    };
    consider(botFillDue());
    if (auto ready = readyDue()) {
        consider(ready->first);
    }
    return earliest;
}

std::optional<Millis> DeskGame::botFillDue() const {
    if (!m_botFillAt || !m_config.bots || playing() || !hasFreeSeat() || !hasPerson()) {
        return std::nullopt;
    }
    return m_botFillAt;
}

std::optional<Millis> DeskGame::turnDue() const {
    if (!playing()) {
        return std::nullopt;
    }
    const bool bot = m_seats[m_round->turn()].kind == SeatKind::Bot;
    if (bot && m_awaitingBot) {
        return std::nullopt;  // botDecided runs the turn
    }
    return m_turnSince + (bot ? m_config.botDelay : m_config.turnTimeout);
}

std::optional<std::pair<Millis, int>> DeskGame::readyDue() const {
    if (playing()) {
        return std::nullopt;
    }
    std::optional<std::pair<Millis, int>> earliest;
    for (int index = 0; index < 4; ++index) {
        const Seat& s = m_seats[index];
        if (s.kind == SeatKind::Person && !s.ready) {
            const Millis at = s.since + m_config.readyTimeout;
            if (!earliest || at < earliest->first) {
                earliest = std::make_pair(at, index);
            }
        }
    }
    return earliest;
}

// ---- The game -------------------------------------------------------------------------------

void DeskGame::seatBot(int index) {
    m_seats[index] = Seat{SeatKind::Bot, 0, "bot" + std::to_string(index), true, Millis{0}};
}

void DeskGame::startIfAllReady(Millis now, DeskOutput& out) {
    const bool allReady = std::all_of(m_seats.begin(), m_seats.end(), [](const Seat& s) {
        return s.kind != SeatKind::Free && s.ready;
    });
    if (allReady && !playing()) {
        deal(now, out);
    }
}

void DeskGame::deal(Millis now, DeskOutput& out) {
    std::array<std::vector<int>, 4> hands = dealHands(m_rng, m_config.deal);
    const int leader = std::uniform_int_distribution<int>(0, 3)(m_rng);
    for (int seat = 0; seat < 4; ++seat) {
        sendTo(seat, startMessage(hands[seat]), out);
    }
    m_round.emplace(std::move(hands), leader);
    broadcast(gameMessage(-1, static_cast<std::size_t>(m_config.deal), {}, 0, leader, true), out);
    beginTurn(now, out);
}

void DeskGame::beginTurn(Millis now, DeskOutput& out) {
    m_turnSince = now;
    ++m_turnSerial;
    m_awaitingBot = false;
    m_botAnswer.reset();
    const int seat = m_round->turn();
    if (seat >= 0 && m_seats[seat].kind == SeatKind::Bot && offloads()) {
        out.botJobs.push_back(BotJob{m_number, m_turnSerial, seat, m_config.botLevel,
                                     m_config.search, m_rng(), *m_round});
        m_awaitingBot = true;
    }
}

bool DeskGame::offloads() const {
    return m_config.botJobs && m_config.botLevel == BotLevel::Hard;
}

std::vector<int> DeskGame::botChoice(int seat) {
    if (m_botAnswer) {
        std::vector<int> cards = std::move(*m_botAnswer);
        m_botAnswer.reset();
        return cards;
    }
    // Only the search draws from the desk's generator, so the deals do not depend on the level.
    const std::uint64_t seed = m_config.botLevel == BotLevel::Hard ? m_rng() : 0;
    return decideBotPlay(m_config.botLevel, *m_round, seat, m_config.search, seed);
}

void DeskGame::playOrFallBack(int seat, std::vector<int> cards, Millis now, DeskOutput& out) {
    if (playTurn(seat, std::move(cards), now, out)) {
        return;
    }
    out.log.push_back("desk " + std::to_string(m_number) + ": seat " + std::to_string(seat) +
                      "'s play was refused; it passes or leads its weakest card");
    const bool moved = playTurn(seat, m_round->expiryAction(seat), now, out);
    assert(moved && "the expiry action is always accepted");
    (void)moved;
}

bool DeskGame::playTurn(int seat, std::vector<int> cards, Millis now, DeskOutput& out) {
    const bool pass = cards.empty();
    const Round::Step step = m_round->act(seat, std::move(cards));
    if (!step.accepted) {
        return false;
    }
    const Round& round = *m_round;
    static const std::vector<int> kNoCards;
    broadcast(gameMessage(seat, round.hand(seat).size(), pass ? kNoCards : round.lastPlay(),
                          round.tablePoints(), round.turn(), round.mustLead()),
              out);
    if (step.trickTaken || step.over) {
        broadcast(scoreMessage(round.teamPoints()[0], round.teamPoints()[1]), out);
    }
    if (!step.over) {
        beginTurn(now, out);
        return true;
    }
    const std::array<int, 4> results = round.results();
    std::array<SeatLine, 4> lines;
    for (int index = 0; index < 4; ++index) {
        lines[index] = SeatLine{m_seats[index].name, results[index]};
    }
    broadcast(overMessage(lines), out);
    std::string line = "desk " + std::to_string(m_number) + ": game over, results";
    for (int result : results) {
        line += " " + std::to_string(result);
    }
    line += ", points " + std::to_string(round.teamPoints()[0]) + " " +
            std::to_string(round.teamPoints()[1]);
    out.log.push_back(std::move(line));
    ++m_gamesPlayed;
    endGame(now);
    broadcastSeats(out);
    startIfAllReady(now, out);
    return true;
}

void DeskGame::endGame(Millis now) {
    m_round.reset();
    m_awaitingBot = false;
    m_botAnswer.reset();
    for (Seat& s : m_seats) {
        if (s.kind == SeatKind::Person) {
            s.ready = false;
            s.since = now;
        } else if (s.kind == SeatKind::Bot) {
            s.ready = true;
        }
    }
}

void DeskGame::vacate(int index, Millis now) {
    m_seats[index] = Seat{};
    if (!hasPerson()) {
        // Computer players never keep a desk to themselves.
        m_seats.fill(Seat{});
        m_botFillAt.reset();
    } else if (m_config.bots) {
        m_botFillAt = now + m_config.botWait;
    }
}

// ---- Messages -------------------------------------------------------------------------------

void DeskGame::sendTo(int seat, std::string text, DeskOutput& out) const {
    out.deliveries.push_back(Delivery{seat, m_seats[seat].person, std::move(text)});
}

void DeskGame::broadcast(const std::string& text, DeskOutput& out, int except) const {
    for (int seat = 0; seat < 4; ++seat) {
        if (seat != except && m_seats[seat].kind != SeatKind::Free) {
            sendTo(seat, text, out);
        }
    }
}

void DeskGame::broadcastSeats(DeskOutput& out) const {
    std::array<SeatLine, 4> lines;
    for (int index = 0; index < 4; ++index) {
        lines[index] = SeatLine{m_seats[index].name, m_seats[index].ready ? 1 : 0};
    }
    broadcast(changeMessage(lines), out);
}

}  // namespace server

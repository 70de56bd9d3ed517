#include "server/game/DeskGame.h"

#include <algorithm>
#include <cassert>

#include "cards/HandRules.h"
#include "server/game/Deal.h"
#include "server/game/Scoring.h"
#include "server/protocol/ServerMessages.h"

namespace server {

DeskGame::DeskGame(int number, const DeskConfig& config, std::uint64_t seed,
                   std::uint64_t jobSerials)
    : m_number(number),
      m_config(config),
      m_rng(seed),
      m_jobSerial(jobSerials),
      m_remarks(seed) {
    assert(config.deal >= 1 && config.deal <= kFullDeal && "deal size out of range");
}

// ---- Inputs ---------------------------------------------------------------------------------

int DeskGame::seatPerson(PersonId person, std::string name, Millis now, DeskOutput& out,
                         bool creator) {
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
    sendTo(index, addMessage(m_number, index, free->name, m_privateCode, creator), out);
    broadcastSeats(out);
    if (m_config.bots) {
        m_botFillAt = now + m_config.botWait;
    }
    return index;
}

void DeskGame::seatBots(BotLevel level, Millis now, DeskOutput& out) {
    m_botLevel = level;
    seatBots(now, out);
}

void DeskGame::setPrivateCode(std::string code) {
    m_privateCode = std::move(code);
    if (m_privateCode.empty()) {
        m_botLevel = m_config.botLevel;
    }
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
        broadcast(runMessage(seat, m_seats[seat].name), out, seat);
        out.log.push_back(seatText(seat) + " left during the game");
        endGame(now, out);
    }
    vacate(seat, now);
    if (hasPerson()) {
        broadcastSeats(out);
    }
}

void DeskGame::advance(Millis now, DeskOutput& out) {
    const std::optional<Millis> due = nextDeadline();
    if (!due || *due > now) {
        return;
    }
    const Millis at = *due;
    if (turnDue() == at) {
        const int seat = m_round->turn();
        std::vector<int> cards =
            playedByComputer(seat) ? botChoice(seat) : m_round->expiryAction(seat);
        playOrFallBack(seat, std::move(cards), at, out);
    } else if (botFillDue() == at) {
        m_botFillAt.reset();
        seatBots(at, out);
    } else if (const auto away = awayDue(); away && away->first == at) {
        freeAwaySeat(away->second, at, out);
        broadcastPresence(out);
        if (hasPerson()) {
            broadcastSeats(out);
        }
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

void DeskGame::botDecided(std::uint64_t serial, std::vector<int> cards, Millis now,
                          DeskOutput& out) {
    if (!playing() || !m_awaitingBot || serial != m_jobSerial) {
        return;
    }
    m_awaitingBot = false;
    m_botAnswer = std::move(cards);
    advance(now, out);
}

void DeskGame::markAway(int seat, Millis now, DeskOutput& out) {
    Seat& s = m_seats[seat];
    if (s.kind != SeatKind::Person || s.away) {
        return;
    }
    const bool wasComputer = playedByComputer(seat);
    s.away = true;
    s.awaySince = now;
    out.log.push_back(seatText(seat) + " away, the seat is held");
    flagsChanged(seat, wasComputer, out);
}

void DeskGame::markBack(int seat, Millis now, DeskOutput& out) {
    Seat& s = m_seats[seat];
    if (s.kind != SeatKind::Person || !s.away) {
        return;
    }
    const bool wasComputer = playedByComputer(seat);
    s.away = false;
    if (!playing()) {
        s.since = now;  // the ready timer starts again
    }
    out.log.push_back(seatText(seat) + " back");
    flagsChanged(seat, wasComputer, out);
}

void DeskGame::setAuto(int seat, bool on, DeskOutput& out) {
    Seat& s = m_seats[seat];
    if (!playing() || s.kind != SeatKind::Person || s.autoPlay == on) {
        return;
    }
    const bool wasComputer = playedByComputer(seat);
    s.autoPlay = on;
    flagsChanged(seat, wasComputer, out);
}

RejoinSnapshot DeskGame::snapshot(int seat, Millis now) const {
    return m_snapshots.write(*this, seat, now - m_turnSince);
}

// ---- State ----------------------------------------------------------------------------------

bool DeskGame::hasFreeSeat() const {
    return std::any_of(m_seats.begin(), m_seats.end(),
                       [](const Seat& s) { return s.kind == SeatKind::Free; });
}

bool DeskGame::isEmpty() const {
    return std::all_of(m_seats.begin(), m_seats.end(),
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
    if (auto away = awayDue()) {
        consider(away->first);
    }
    return earliest;
}

std::optional<Millis> DeskGame::botFillDue() const {
    if (!m_botFillAt || !m_config.bots || !m_privateCode.empty() || playing() || !hasFreeSeat() ||
        !hasPerson()) {
        return std::nullopt;
    }
    return m_botFillAt;
}

std::optional<Millis> DeskGame::turnDue() const {
    if (!playing()) {
        return std::nullopt;
    }
    const bool computer = playedByComputer(m_round->turn());
    if (computer && m_awaitingBot) {
        return std::nullopt;  // botDecided runs the turn
    }
    return m_turnSince + (computer ? m_config.botDelay : m_config.turnTimeout);
}

std::optional<std::pair<Millis, int>> DeskGame::readyDue() const {
    if (playing()) {
        return std::nullopt;
    }
    std::optional<std::pair<Millis, int>> earliest;
    for (int index = 0; index < 4; ++index) {
        const Seat& s = m_seats[index];
        if (s.kind == SeatKind::Person && !s.ready && !s.away) {
            const Millis at = s.since + m_config.readyTimeout;
            if (!earliest || at < earliest->first) {
                earliest = std::make_pair(at, index);
            }
        }
    }
    return earliest;
}

std::optional<std::pair<Millis, int>> DeskGame::awayDue() const {
    if (playing()) {
        return std::nullopt;  // held until the game ends
    }
    std::optional<std::pair<Millis, int>> earliest;
    for (int index = 0; index < 4; ++index) {
        const Seat& s = m_seats[index];
        if (s.kind == SeatKind::Person && s.away) {
            const Millis at = s.awaySince + m_config.awayHold;
            if (!earliest || at < earliest->first) {
                earliest = std::make_pair(at, index);
            }
        }
    }
    return earliest;
}

bool DeskGame::playedByComputer(int seat) const {
    const Seat& s = m_seats[seat];
    return s.kind == SeatKind::Bot || (s.kind == SeatKind::Person && (s.away || s.autoPlay));
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
    // Each deal has a generator of its own, so the recorded seed alone repeats it.
    m_dealSeed = m_rng();
    m_dealtAt = now;
    std::mt19937_64 dealRng(m_dealSeed);
    std::array<std::vector<int>, 4> hands = dealHands(dealRng, m_config.deal);
    const int leader = std::uniform_int_distribution<int>(0, 3)(dealRng);
    for (int seat = 0; seat < 4; ++seat) {
        sendTo(seat, startMessage(hands[seat]), out);
    }
    m_round.emplace(std::move(hands), leader);
    m_snapshots.clearTable();
    broadcast(gameMessage(-1, static_cast<std::size_t>(m_config.deal), {}, 0, leader, true), out);
    beginTurn(now, out);
}

void DeskGame::beginTurn(Millis now, DeskOutput& out) {
    m_turnSince = now;
    m_awaitingBot = false;
    m_botAnswer.reset();
    const int seat = m_round->turn();
    if (seat < 0) {
        return;
    }
    m_snapshots.turnBegins(seat, m_round->mustLead());
    if (playedByComputer(seat)) {
        requestDecision(seat, out);
    }
}

void DeskGame::requestDecision(int seat, DeskOutput& out) {
    if (!offloads()) {
        return;  // botChoice decides when the turn is due
    }
    ++m_jobSerial;
    out.botJobs.push_back(BotJob{m_number, m_jobSerial, seat, m_botLevel, m_config.search,
                                 m_rng(), *m_round});
    m_awaitingBot = true;
}

void DeskGame::flagsChanged(int seat, bool wasComputer, DeskOutput& out) {
    broadcastPresence(out);
    if (!playing() || m_round->turn() != seat || playedByComputer(seat) == wasComputer) {
        return;
    }
    if (wasComputer) {
        // The person takes the turn back: an answer still out for it is ignored.
        m_awaitingBot = false;
        m_botAnswer.reset();
    } else {
        requestDecision(seat, out);
    }
}

bool DeskGame::offloads() const {
    return m_config.botJobs && m_botLevel == BotLevel::Hard;
}

std::vector<int> DeskGame::botChoice(int seat) {
    if (m_botAnswer) {
        std::vector<int> cards = std::move(*m_botAnswer);
        m_botAnswer.reset();
        return cards;
    }
    // Only the search draws from the desk's generator, so the deals do not depend on the level.
    const std::uint64_t seed = m_botLevel == BotLevel::Hard ? m_rng() : 0;
    return decideBotPlay(m_botLevel, *m_round, seat, m_config.search, seed);
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
    const int tableBefore = m_round->tablePoints();
    const Round::Step step = m_round->act(seat, std::move(cards));
    if (!step.accepted) {
        return false;
    }
    const Round& round = *m_round;
    m_snapshots.acted(seat, pass ? std::vector<int>{} : round.lastPlay());
    static const std::vector<int> kNoCards;
    broadcast(gameMessage(seat, round.hand(seat).size(), pass ? kNoCards : round.lastPlay(),
                          round.tablePoints(), round.turn(), round.mustLead()),
              out);
    if (step.trickTaken || step.over) {
        broadcast(scoreMessage(round.teamPoints()[0], round.teamPoints()[1]), out);
    }
    remark(seat, !pass && isPowerKind(classifyHand(round.lastPlay()).kind), step, tableBefore,
           now, out);
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
        line += ' ';
        line += std::to_string(result);
    }
    line += ", points " + std::to_string(round.teamPoints()[0]) + " " +
            std::to_string(round.teamPoints()[1]);
    out.log.push_back(std::move(line));
    out.finished.push_back(finishedGame(now));
    ++m_gamesPlayed;
    endGame(now, out);
    broadcastSeats(out);
    startIfAllReady(now, out);
    return true;
}

void DeskGame::talk(int seat, int say, DeskOutput& out) {
    if (seat < 0 || seat > 3 || m_seats[seat].kind != SeatKind::Person || say < 0 ||
        say >= kTalkCount) {
        return;
    }
    broadcast(talkMessage(seat, say), out);
}

void DeskGame::renameSeat(int seat, std::string name, DeskOutput& out) {
    if (playing() || seat < 0 || seat > 3 || m_seats[seat].kind != SeatKind::Person ||
        m_seats[seat].name == name) {
        return;
    }
    m_seats[seat].name = std::move(name);
    broadcastSeats(out);
}

void DeskGame::remark(int seat, bool bomb, const Round::Step& step, int tableBefore, Millis now,
                      DeskOutput& out) {
    std::array<bool, 4> bots{};
    for (int index = 0; index < 4; ++index) {
        bots[index] = m_seats[index].kind == SeatKind::Bot;
    }
    if (const auto said =
            m_remarks.afterPlay(seat, bomb, step, tableBefore, m_botLevel, bots, now)) {
        broadcast(talkMessage(said->seat, said->say), out);
    }
}

FinishedDeskGame DeskGame::finishedGame(Millis now) const {
    FinishedDeskGame game;
    game.desk = m_number;
    game.dealtAt = m_dealtAt;
    game.overAt = now;
    for (int index = 0; index < 4; ++index) {
        const Seat& s = m_seats[index];
        game.seats[index] = FinishedSeat{s.person, s.name, {}, m_botLevel};
    }
    game.teamPoints = m_round->teamPoints();
    game.results = m_round->results();
    game.seed = m_dealSeed;
    return game;
}

void DeskGame::endGame(Millis now, DeskOutput& out) {
    m_round.reset();
    m_remarks.gameEnded();
    m_awaitingBot = false;
    m_botAnswer.reset();
    bool flagsCleared = false;
    for (int index = 0; index < 4; ++index) {
        Seat& s = m_seats[index];
        if (s.kind == SeatKind::Person) {
            out.gameEnded.push_back(s.person);
            flagsCleared = flagsCleared || s.autoPlay || s.away;
            s.ready = false;
            s.since = now;
            s.autoPlay = false;
            if (s.away) {
                freeAwaySeat(index, now, out);
            }
        } else if (s.kind == SeatKind::Bot) {
            s.ready = true;
        }
    }
    if (flagsCleared) {
        broadcastPresence(out);
    }
}

void DeskGame::freeAwaySeat(int index, Millis now, DeskOutput& out) {
    out.log.push_back(seatText(index) + " freed, the person is still away");
    out.unseated.push_back(m_seats[index].person);
    vacate(index, now);
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

std::string DeskGame::seatText(int seat) const {
    return "desk " + std::to_string(m_number) + ": seat " + std::to_string(seat) + " (" +
           m_seats[seat].name + ")";
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
    if (m_watched) {
        out.publicTexts.push_back(text);
    }
}

void DeskGame::broadcastSeats(DeskOutput& out) const {
    std::array<SeatLine, 4> lines;
    for (int index = 0; index < 4; ++index) {
        lines[index] = SeatLine{m_seats[index].name, m_seats[index].ready ? 1 : 0};
    }
    broadcast(changeMessage(lines), out);
}

void DeskGame::broadcastPresence(DeskOutput& out) const {
    std::array<PresenceLine, 4> lines;
    for (int index = 0; index < 4; ++index) {
        lines[index] = PresenceLine{m_seats[index].away, m_seats[index].autoPlay};
    }
    broadcast(presenceMessage(lines), out);
}

}  // namespace server

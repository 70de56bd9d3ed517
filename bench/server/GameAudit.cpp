#include "bench/server/GameAudit.h"

#include <algorithm>
#include <cstdlib>

#include "cards/CardCode.h"
#include "cards/HandRules.h"

namespace {

constexpr int kFullDeal = 27;
constexpr int kAllPoints = 200;  // every five, ten and king of the two decks
constexpr unsigned kAllSeats = 0xF;
constexpr std::size_t kReasonsKept = 8;
// The four persons of a desk get its "over" within a few milliseconds of each other; the next
// game's end is seconds away.
constexpr std::chrono::milliseconds kSameOver{500};
constexpr std::chrono::seconds kOverSlack{1};

// Written from the rules, not taken from the server: a five is worth 5, a ten or a king 10.
int cardPoints(int code) {
    if (!isValidCode(code)) {
        return 0;
    }
    const int rank = rankIndex(code);
    return rank == 4 ? 5 : (rank == 9 || rank == 12) ? 10 : 0;
}

int pointsOf(const std::vector<int>& cards) {
    int points = 0;
    for (int code : cards) {
        points += cardPoints(code);
    }
    return points;
}

// Valid codes, none more than twice: cards that two decks can hold.
bool fitsTwoDecks(const std::vector<int>& cards) {
    std::array<int, 54> counts{};
    for (int code : cards) {
        if (!isValidCode(code) || ++counts[static_cast<std::size_t>(code)] > 2) {
            return false;
        }
    }
    return true;
}

bool contains(std::vector<int> whole, std::vector<int> part) {
    std::sort(whole.begin(), whole.end());
    std::sort(part.begin(), part.end());
    return std::includes(whole.begin(), whole.end(), part.begin(), part.end());
}

std::vector<int> sortedCards(const std::string& text) {
    std::vector<int> cards = parseCardList(text);
    sortHand(cards);
    return cards;
}

}  // namespace

// ---- DeskLedger -----------------------------------------------------------------------------

void DeskLedger::submitWhole(int desk, std::uint64_t game, int seat, const std::vector<int>& hand,
                             const std::array<std::vector<int>, 4>& played,
                             const std::array<int, 4>& surplus, bool faulty) {
    Game& entry = m_games[{desk, game}];
    if (entry.seats == 0) {
        entry.played = played;
        entry.surplus = surplus;
    }
    entry.hands[static_cast<std::size_t>(seat)] = hand;
    entry.seats |= 1u << seat;
    entry.bad = entry.bad || faulty;
    if (entry.seats == kAllSeats) {
        checkFourHands(desk, entry);
    }
}

void DeskLedger::checkFourHands(int desk, Game& game) {
    ++m_fourHands;
    std::vector<int> all;
    for (const auto& hand : game.hands) {
        all.insert(all.end(), hand.begin(), hand.end());
    }
    const bool decks = m_deal == kFullDeal ? all.size() == kGameCards && fitsTwoDecks(all)
                                           : fitsTwoDecks(all);
    if (!decks) {
        game.bad = true;
        explain(desk, "the four hands are not two decks");
    }
    for (std::size_t seat = 0; seat < 4; ++seat) {
        const auto& hand = game.hands[seat];
        const auto& played = game.played[seat];
        if (!contains(hand, played) ||
            static_cast<int>(hand.size() - played.size()) != game.surplus[seat]) {
            game.bad = true;
            explain(desk, "seat " + std::to_string(seat) + " played cards it was not dealt");
        }
    }
    // The entry stays, for the count of games, without its cards.
    game.hands = {};
    game.played = {};
}

void DeskLedger::partialFault() {
    ++m_partialFaults;
}

void DeskLedger::explain(int desk, const std::string& what) {
    if (m_reasons.size() < kReasonsKept) {
        m_reasons.push_back("desk " + std::to_string(desk) + ": " + what);
    }
}

void DeskLedger::over(int desk, Clock::time_point at) {
    auto& ends = m_overs[desk];
    if (ends.empty() || at - ends.back() > kSameOver) {
        ends.push_back(at);
        ++m_gamesFinished;
    }
}

bool DeskLedger::gameEndedBetween(int desk, Clock::time_point from, Clock::time_point to) const {
    const auto ends = m_overs.find(desk);
    if (ends == m_overs.end()) {
        return false;
    }
    return std::any_of(ends->second.begin(), ends->second.end(), [&](Clock::time_point at) {
        return at >= from - kOverSlack && at <= to + kOverSlack;
    });
}

std::uint64_t DeskLedger::badGames() const {
    std::uint64_t bad = m_partialFaults;
    for (const auto& [key, game] : m_games) {
        bad += game.bad ? 1 : 0;
    }
    return bad;
}

// ---- GameAudit ------------------------------------------------------------------------------

void GameAudit::onText(const stMsg& msg, const std::string& text) {
    if (msg.opt == "add") {
        m_desk = msg.desk;
        m_site = msg.site;
    } else if (msg.opt == "hello") {
        if (msg.status == "ok" && msg.resume == 0) {
            abandon();  // a seat freed while away takes its game with it
        }
    } else if (msg.opt == "start") {
        start(msg);
    } else if (msg.opt == "game") {
        game(msg, text);
    } else if (msg.opt == "score") {
        score(msg, text);
    } else if (msg.opt == "over") {
        over();
    } else if (msg.opt == "run") {
        abandon();
    } else if (msg.opt == "resume") {
        resume(msg);
    }
}

void GameAudit::onLinkLost() {
    m_whole = false;
}

void GameAudit::start(const stMsg& msg) {
    abandon();
    m_inGame = true;
    m_whole = true;
    m_faulty = false;
    m_startHand = sortedCards(msg.cards);
    m_hand = m_startHand;
    m_played = {};
    m_surplus.fill(m_deal);
    m_last.clear();
    m_now = -1;
    m_must = true;
    m_table = 0;
    m_pointsPlayed = 0;
    m_teams = 0;
    m_hash = 1469598103934665603ull;  // FNV-1a's offset basis
    if (static_cast<int>(m_startHand.size()) != m_deal || !fitsTwoDecks(m_startHand)) {
        fault("a hand of " + std::to_string(m_startHand.size()) + " cards, or cards two decks " +
              "do not hold");
    }
}

void GameAudit::resume(const stMsg& msg) {
    abandon();
    m_desk = msg.desk;
    m_site = msg.site;
    if (msg.playing == 0 || m_site < 0 || m_site > 3) {
        return;
    }
    m_inGame = true;
    m_whole = false;
    m_faulty = false;
    m_hand = sortedCards(msg.cards);
    int held = 0;
    for (std::size_t seat = 0; seat < 4; ++seat) {
        m_surplus[seat] = std::atoi(msg.info[seat].surplus.c_str());
        held += m_surplus[seat];
    }
    const std::vector<int> seen = parseCardList(msg.seen);
    std::vector<int> known = m_hand;
    known.insert(known.end(), seen.begin(), seen.end());
    if (static_cast<int>(m_hand.size()) != m_surplus[static_cast<std::size_t>(m_site)] ||
        !fitsTwoDecks(known)) {
        fault("the resumed hand does not fit the counts or two decks");
    }
    if (m_deal == kFullDeal && static_cast<std::size_t>(held) + seen.size() != kGameCards) {
        fault("the cards held and seen on resume are not 108");
    }
    m_pointsPlayed = pointsOf(seen);
    m_table = msg.score;
    m_teams = std::atoi(msg.p0.c_str()) + std::atoi(msg.p1.c_str());
    if (m_teams + m_table != m_pointsPlayed) {
        fault("the resumed totals are not the points of the cards seen");
    }
    m_last = sortedCards(msg.last);
    m_now = msg.now;
    m_must = msg.must != 0;
    m_played = {};
}

void GameAudit::game(const stMsg& msg, const std::string& text) {
    if (!m_inGame) {
        return;
    }
    hashText(text);
    const int count = std::atoi(msg.surplus.c_str());
    if (msg.per < 0) {
        if (count != m_deal || msg.now < 0 || msg.now > 3 || msg.must == 0) {
            fault("the deal's first \"game\" is not a lead by a seat");
        }
        m_now = msg.now;
        m_must = true;
        return;
    }
    if (msg.per > 3) {
        fault("a play by seat " + std::to_string(msg.per));
        return;
    }
    const auto seat = static_cast<std::size_t>(msg.per);
    if (m_now >= 0 && msg.per != m_now) {
        fault("seat " + std::to_string(msg.per) + " acted on seat " + std::to_string(m_now) +
              "'s turn");
    }
    std::vector<int> cards = sortedCards(msg.cards);
    if (cards.empty()) {
        if (m_must) {
            fault("a leader passed");
        }
    } else {
        std::vector<int> last = m_must ? std::vector<int>{} : m_last;
        std::vector<int> candidate = cards;
        if (!canBeat(last, candidate).ok) {
            fault("a play that does not beat the one before it: " + msg.cards);
        }
    }
    if (m_surplus[seat] - static_cast<int>(cards.size()) != count) {
        fault("seat " + std::to_string(msg.per) + "'s count went from " +
              std::to_string(m_surplus[seat]) + " to " + std::to_string(count) + " playing " +
              std::to_string(cards.size()) + " cards");
    }
    m_surplus[seat] = count;
    if (msg.per == m_site) {
        for (int code : cards) {
            const auto held = std::find(m_hand.begin(), m_hand.end(), code);
            if (held == m_hand.end()) {
                fault("this seat played a card it does not hold");
                break;
            }
            m_hand.erase(held);
        }
    }
    if (m_whole) {
        m_played[seat].insert(m_played[seat].end(), cards.begin(), cards.end());
    }
    const int points = pointsOf(cards);
    m_pointsPlayed += points;
    // A trick taken, or the game's end, sweeps the table: its points have gone to a team.
    const bool swept = msg.must != 0 || msg.now < 0;
    const int table = swept ? 0 : m_table + points;
    if (msg.score != table) {
        fault("the table shows " + std::to_string(msg.score) + " points, the cards " +
              std::to_string(table));
    }
    m_table = table;
    if (!cards.empty()) {
        m_last = cards;
    }
    if (msg.must != 0) {
        m_last.clear();
    }
    m_now = msg.now;
    m_must = msg.must != 0;
}

void GameAudit::score(const stMsg& msg, const std::string& text) {
    if (!m_inGame) {
        return;
    }
    hashText(text);
    const int teams = std::atoi(msg.p0.c_str()) + std::atoi(msg.p1.c_str());
    if (m_now < 0) {
        // The last totals: the points still in hand go to the team that went out.
        if ((m_deal == kFullDeal && teams != kAllPoints) || teams < m_pointsPlayed) {
            fault("the final totals make " + std::to_string(teams));
        }
    } else if (teams != m_pointsPlayed - m_table) {
        fault("the totals make " + std::to_string(teams) + ", the tricks taken " +
              std::to_string(m_pointsPlayed - m_table));
    }
    if (teams < m_teams) {
        fault("the totals went down");
    }
    m_teams = teams;
}

void GameAudit::over() {
    if (!m_inGame) {
        return;
    }
    const auto out = [this](std::size_t seat) { return m_surplus[seat] == 0; };
    if (m_now >= 0 || !((out(0) && out(2)) || (out(1) && out(3)))) {
        fault("\"over\" while no team is out");
    }
    if (m_deal == kFullDeal && m_teams != kAllPoints) {
        fault("the game ended with " + std::to_string(m_teams) + " points");
    }
    if (m_whole) {
        for (std::size_t seat = 0; seat < 4; ++seat) {
            if (m_deal - static_cast<int>(m_played[seat].size()) != m_surplus[seat]) {
                fault("seat " + std::to_string(seat) + "'s plays do not match its count");
            }
        }
        m_ledger.submitWhole(m_desk, m_hash, m_site, m_startHand, m_played, m_surplus, m_faulty);
    } else if (m_faulty) {
        m_ledger.partialFault();
    }
    m_ledger.over(m_desk, DeskLedger::Clock::now());
    m_inGame = false;
}

void GameAudit::abandon() {
    if (m_inGame && m_faulty) {
        m_ledger.partialFault();
    }
    m_inGame = false;
}

void GameAudit::fault(const std::string& what) {
    if (!m_faulty) {
        m_ledger.explain(m_desk, what);
    }
    m_faulty = true;
}

void GameAudit::hashText(const std::string& text) {
    for (unsigned char byte : text) {
        m_hash = (m_hash ^ byte) * 1099511628211ull;  // FNV-1a's prime
    }
}

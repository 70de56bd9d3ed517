// Whole games of four computer players through the pure desk, thousands of them, with the
// table watched after every message the way a client would see it.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <vector>

#include "cards/CardCode.h"
#include "cards/HandRules.h"
#include "server/bots/BotLevel.h"
#include "server/game/Deal.h"
#include "server/game/DeskGame.h"
#include "server/game/Scoring.h"
#include "tests/server/protocol/WireCheck.h"

namespace {

using server::Millis;

// Sanitizer builds (unoptimised, instrumented) run the same checks some fifty times slower:
// a sample of the games there, thousands in the release build.
// The hard level searches every decision, on a small fixed budget here (the choice is then the
// same on any machine): fewer of its games.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int kGamesPerDesk = 1;
constexpr std::uint64_t kFullDealDesks = 30;
constexpr std::uint64_t kShortDealDesks = 2;
constexpr std::uint64_t kHardFullDealDesks = 1;
#else
constexpr int kGamesPerDesk = 10;
constexpr std::uint64_t kFullDealDesks = 150;
constexpr std::uint64_t kShortDealDesks = 8;
constexpr std::uint64_t kHardFullDealDesks = 4;
#endif
constexpr int kHardGamesPerDesk = 1;
constexpr server::SearchBudget kTestSearch{std::chrono::microseconds(0), 200};

struct LevelRun {
    server::BotLevel level;
    std::uint64_t fullDealDesks;
    std::uint64_t shortDealDesks;
    int gamesPerDesk;
};
const LevelRun kLevels[] = {
    {server::BotLevel::Easy, kFullDealDesks, kShortDealDesks, kGamesPerDesk},
    {server::BotLevel::Normal, kFullDealDesks, kShortDealDesks, kGamesPerDesk},
    {server::BotLevel::Hard, kHardFullDealDesks, 1, kHardGamesPerDesk},
};

// Follows one desk from seat 0's messages and checks every rule the client relies on.
class Referee {
public:
    explicit Referee(int deal) : m_deal(deal) {}

    void check(const server::Delivery& delivery) {
        stMsg msg;
        ASSERT_TRUE(decodesForClient(delivery.text, msg));
        if (msg.opt == "start") {
            m_hands[delivery.seat] = parseCardList(msg.cards);
            ASSERT_EQ(static_cast<int>(m_hands[delivery.seat].size()), m_deal);
            m_dealt.insert(m_dealt.end(), m_hands[delivery.seat].begin(),
                           m_hands[delivery.seat].end());
            return;
        }
        if (delivery.seat != 0) {
            return;  // the broadcasts are followed once, through seat 0
        }
        if (msg.opt == "game") {
            onGame(msg);
        } else if (msg.opt == "score") {
            m_score = {std::stoi(msg.p0), std::stoi(msg.p1)};
            ASSERT_LE(m_score[0] + m_score[1], server::pointsOf(m_dealt));
        } else if (msg.opt == "over") {
            onOver(msg);
        }
    }

    int games() const { return m_games; }

private:
    void onGame(const stMsg& msg) {
        if (msg.per == -1) {
            ASSERT_EQ(msg.must, 1);
            ASSERT_GE(msg.now, 0);
            ASSERT_LT(msg.now, 4);
            m_turn = msg.now;
            m_mustLead = true;
            return;
        }
        ASSERT_EQ(msg.per, m_turn) << "only the seat to move acts";
        std::vector<int> cards = parseCardList(msg.cards);
        auto& hand = m_hands[msg.per];
        if (cards.empty()) {
            ASSERT_FALSE(m_mustLead) << "a leader never passes";
        } else {
            std::vector<int> last = m_mustLead ? std::vector<int>{} : m_lastPlay;
            std::vector<int> play = cards;
            ASSERT_TRUE(canBeat(last, play).ok) << "every play is legal: " << msg.cards;
            for (int code : cards) {
                auto held = std::find(hand.begin(), hand.end(), code);
                ASSERT_NE(held, hand.end()) << "seat " << msg.per << " played a card it lacks";
                hand.erase(held);
            }
            m_played.insert(m_played.end(), cards.begin(), cards.end());
            m_table += server::pointsOf(cards);
            m_lastPlay = cards;
            if (hand.empty()) {
                m_finishOrder.push_back(msg.per);
            }
        }
        ASSERT_EQ(msg.surplus, std::to_string(hand.size()));
        std::size_t cardsInPlay = m_played.size();
        for (const auto& h : m_hands) {
            cardsInPlay += h.size();
        }
        ASSERT_EQ(cardsInPlay, static_cast<std::size_t>(4 * m_deal)) << "cards are conserved";
        m_mustLead = msg.must != 0;
        if (m_mustLead || msg.now == -1) {
            m_table = 0;  // the trick was taken, or the game's end swept the table
            m_lastPlay.clear();
        }
        ASSERT_EQ(msg.score, m_table);
        m_turn = msg.now;
        if (msg.now >= 0) {
            ASSERT_FALSE(m_hands[msg.now].empty()) << "the turn never goes to a seat that is out";
        }
    }

    void onOver(const stMsg& msg) {
        ASSERT_EQ(m_turn, -1);
        ASSERT_EQ(m_score[0] + m_score[1], server::pointsOf(m_dealt)) << "points are conserved";
        if (m_deal == server::kFullDeal) {
            ASSERT_EQ(server::pointsOf(m_dealt), server::kPointsPerTwoDecks);
            std::vector<int> all = m_played;
            for (const auto& h : m_hands) {
                all.insert(all.end(), h.begin(), h.end());
            }
            std::sort(all.begin(), all.end());
            for (int code = 0; code < 54; ++code) {
                ASSERT_EQ(std::count(all.begin(), all.end(), code), 2) << "108 cards, each twice";
            }
        }
        const auto expected = server::gameResults(m_finishOrder, m_score);
        for (int seat = 0; seat < 4; ++seat) {
            ASSERT_EQ(msg.info[seat].result, expected[seat]);
        }
        ASSERT_EQ(msg.info[0].result, msg.info[2].result);
        ASSERT_EQ(msg.info[1].result, -msg.info[0].result);
        ++m_games;
        *this = Referee(m_deal, m_games);
    }

    Referee(int deal, int games) : m_deal(deal), m_games(games) {}

    int m_deal;
    int m_games = 0;
    std::array<std::vector<int>, 4> m_hands;
    std::vector<int> m_dealt;
    std::vector<int> m_played;
    std::vector<int> m_lastPlay;
    std::vector<int> m_finishOrder;
    std::array<int, 2> m_score{};
    int m_table = 0;
    int m_turn = -1;
    bool m_mustLead = false;
};

// Plays `games` games at one desk of computer players and referees every message.
void playDesk(std::uint64_t seed, int deal, int games, server::BotLevel level) {
    server::DeskConfig config;
    config.botDelay = Millis(0);
    config.deal = deal;
    config.botLevel = level;
    config.search = kTestSearch;
    server::DeskGame desk(0, config, seed);
    server::DeskOutput out;
    Referee referee(deal);
    desk.seatBots(Millis(0), out);
    while (desk.gamesPlayed() < games) {
        desk.advance(Millis(0), out);
        for (const server::Delivery& delivery : out.deliveries) {
            referee.check(delivery);
            if (testing::Test::HasFatalFailure()) {
                FAIL() << server::botLevelName(level) << ", seed " << seed << ", deal " << deal
                       << ": " << delivery.text;
            }
        }
        for (const std::string& line : out.log) {
            ASSERT_EQ(line.find("refused"), std::string::npos)
                << server::botLevelName(level) << ", seed " << seed << ": the desk had to stand in "
                << "for a computer player: " << line;
        }
        out.clear();
    }
    EXPECT_EQ(referee.games(), games) << "seed " << seed;
}

TEST(BotGames, FullDealsKeepEveryRuleAtEveryLevel) {
    for (const LevelRun& run : kLevels) {
        for (std::uint64_t seed = 1; seed <= run.fullDealDesks; ++seed) {
            playDesk(seed, server::kFullDeal, run.gamesPerDesk, run.level);
            if (HasFatalFailure()) {
                return;
            }
        }
    }
}

TEST(BotGames, ShortDealsKeepEveryRuleAtEveryLevel) {
    for (const LevelRun& run : kLevels) {
        for (int deal = 1; deal < server::kFullDeal; ++deal) {
            for (std::uint64_t seed = 1; seed <= run.shortDealDesks; ++seed) {
                playDesk(seed * 1000 + static_cast<std::uint64_t>(deal), deal, run.gamesPerDesk,
                         run.level);
                if (HasFatalFailure()) {
                    return;
                }
            }
        }
    }
}

TEST(BotGames, SameSeedSameGameAtEveryLevel) {
    server::BotLevel level = server::BotLevel::Easy;
    const auto record = [&level](std::uint64_t seed) {
        server::DeskConfig config;
        config.botDelay = Millis(0);
        config.botLevel = level;
        config.search = kTestSearch;
        server::DeskGame desk(0, config, seed);
        server::DeskOutput out;
        desk.seatBots(Millis(0), out);
        while (desk.gamesPlayed() < 2) {
            desk.advance(Millis(0), out);
        }
        std::vector<std::string> texts;
        for (const auto& delivery : out.deliveries) {
            texts.push_back(delivery.text);
        }
        return texts;
    };
    for (const LevelRun& run : kLevels) {
        level = run.level;
        EXPECT_EQ(record(99), record(99)) << server::botLevelName(level);
        EXPECT_NE(record(99), record(100)) << server::botLevelName(level);
    }
}

}  // namespace

// Spectators never see a card before it is played: whole games of computer players on the pure
// hall, several seeds, watched by one spectator from the start, one from mid-game and one by code
// at a private desk whose person hands the seat to the computer. Every text a spectator gets must
// be one the whole desk gets, the watch answer has the table's keys and no seat's, and each card
// list ("cards", "last", "seen", info[k].cards) may hold only cards already on the table.

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "cards/CardCode.h"
#include "server/hall/Hall.h"
#include "tests/server/hall/HallScript.h"

namespace hall_watch_privacy_test {

using namespace hallscript;
using server::kCardsPerDeck;
using Counts = std::array<int, kCardsPerDeck>;

enum : LinkId { kFromStart = 1, kMidGame, kByCode, kPerson };
enum { kBotDesk, kPrivateDesk };

const std::set<std::string> kPublic = {"watch", "watchers", "change",   "game", "score",
                                       "over",  "run",      "presence", "talk", "unwatch"};
// The keys of an accepted watch: the table as "resume" has it, without a seat's own ("site",
// "name", "cards", "creator"); a private desk's also "code".
const std::set<std::string> kWatchKeys = {"opt",  "status", "desk", "watchers", "playing",
                                          "info", "seen",   "last", "lastsite", "score",
                                          "p0",   "p1",     "now",  "must",     "left"};

class PrivacyRun {
public:
    // Opens both desks; the first and the third spectator start watching.
    explicit PrivacyRun(std::uint64_t seed)
        : m_hall([seed] {
              server::HallConfig config;
              config.seed = seed;
              return config;
          }()) {
        for (LinkId link : {kFromStart, kMidGame, kByCode, kPerson}) {
            m_hall.connect(link, "10.0.0.1");
        }
        step(kBotDesk, [&] { m_hall.openBotDesk(m_now, m_out); });
        handle(kFromStart, request(Kind::Watch, kBotDesk), kBotDesk);
        handle(kPerson, request(Kind::Create), kPrivateDesk);
        ClientRequest bots = request(Kind::Bots, kPrivateDesk, 0);
        bots.level = "easy";
        handle(kPerson, bots, kPrivateDesk);
        ClientRequest byCode = request(Kind::Watch);
        byCode.byCode = true;
        byCode.code = m_hall.desk(kPrivateDesk).privateCode();
        handle(kByCode, byCode, kPrivateDesk);
    }

    // Plays both desks, each timer at its time, until each has played `games` games.
    void play(int games) {
        for (int steps = 0; m_hall.desk(kBotDesk).gamesPlayed() < games ||
                            m_hall.desk(kPrivateDesk).gamesPlayed() < games;
             ++steps) {
            ASSERT_LT(steps, 100000) << "the desks stopped moving";
            if (steps == 40) {
                handle(kMidGame, request(Kind::Watch, kBotDesk), kBotDesk);
            }
            const server::DeskGame& mine = m_hall.desk(kPrivateDesk);
            if (!mine.playing() || !mine.seat(0).autoPlay) {
                ClientRequest next =
                    request(mine.playing() ? Kind::Auto : Kind::Ready, kPrivateDesk, 0);
                next.on = true;
                handle(kPerson, next, kPrivateDesk);
                continue;
            }
            const int desk = *m_hall.deskDeadline(kBotDesk) <= *m_hall.deskDeadline(kPrivateDesk)
                                 ? kBotDesk
                                 : kPrivateDesk;
            m_now = std::max(m_now, *m_hall.deskDeadline(desk));
            step(desk, [&] { m_hall.advanceDesk(desk, m_now, m_out); });
        }
    }

    int shown(LinkId link) { return m_shown[link]; }
    int overs(LinkId link) { return m_overs[link]; }

private:
    void handle(LinkId link, const ClientRequest& request, int desk) {
        step(desk, [&] { m_hall.handle(link, request, m_now, m_out); });
    }

    // Runs `call`, then checks each spectator's texts against the cards on `desk`'s table: those
    // before the call and the play it made (a game's last play, gone from the table once the
    // game ends, is the rest of the hand that played it).
    template <typename Call>
    void step(int desk, Call call) {
        const bool existed = static_cast<std::size_t>(desk) < m_hall.deskCount();
        const server::Round* before = existed ? m_hall.desk(desk).round() : nullptr;
        Counts allowed = before != nullptr ? before->played() : Counts{};
        const std::vector<int> hand = before != nullptr && before->turn() >= 0
                                          ? before->hand(before->turn())
                                          : std::vector<int>{};
        const int games = existed ? m_hall.desk(desk).gamesPlayed() : 0;
        call();
        if (m_hall.desk(desk).gamesPlayed() > games) {
            for (int code : hand) {
                ++allowed[code];
            }
        } else if (m_hall.desk(desk).round() != nullptr) {
            allowed = m_hall.desk(desk).round()->played();
        }
        for (const Hall::Send& send : m_out.sends) {
            if (send.link != kPerson) {
                check(send.link, send.text, allowed);
            }
        }
        m_out = Hall::Output{};
    }

    void check(LinkId link, const std::string& text, const Counts& allowed) {
        rapidjson::Document doc;
        doc.Parse(text.data(), text.size());
        ASSERT_TRUE(doc.IsObject() && doc.HasMember("opt") && doc["opt"].IsString()) << text;
        const std::string opt = doc["opt"].GetString();
        EXPECT_EQ(kPublic.count(opt), 1u) << "not a text for the whole desk: " << text;
        m_overs[link] += opt == "over";
        if (opt == "watch") {
            std::set<std::string> keys;
            for (const auto& member : doc.GetObject()) {
                keys.insert(member.name.GetString());
            }
            EXPECT_EQ(keys.erase("code"), link == kByCode ? 1u : 0u) << text;
            EXPECT_EQ(keys, kWatchKeys) << text;
        }
        bool shown = false;
        for (const char* key : {"cards", "last", "seen"}) {
            shown = cardsWithin(doc, key, allowed, text) || shown;
        }
        if (doc.HasMember("info") && doc["info"].IsArray()) {
            for (const auto& seat : doc["info"].GetArray()) {
                shown = cardsWithin(seat, "cards", allowed, text) || shown;
            }
        }
        m_shown[link] += shown;
    }

    // Whether the card list at `key` shows a card; each must be on the table (`allowed`).
    static bool cardsWithin(const rapidjson::Value& object, const char* key, const Counts& allowed,
                            const std::string& text) {
        if (!object.HasMember(key)) {
            return false;
        }
        EXPECT_TRUE(object[key].IsString()) << text;
        const std::vector<int> cards =
            parseCardList(object[key].IsString() ? object[key].GetString() : "");
        Counts seen{};
        for (int code : cards) {
            EXPECT_TRUE(code >= 0 && code < kCardsPerDeck && ++seen[code] <= allowed[code])
                << "card " << code << " not yet played, shown in " << key << ": " << text;
        }
        return !cards.empty();
    }

    Hall m_hall;
    Hall::Output m_out;
    Millis m_now{0};
    std::map<LinkId, int> m_shown;  // texts showing at least one card, by spectator
    std::map<LinkId, int> m_overs;
};

TEST(HallWatchPrivacyTest, SpectatorsSeeOnlyCardsOnTheTable) {
    constexpr int kGames = 3;
    for (std::uint64_t seed : {1, 2, 3, 4}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        PrivacyRun run(seed);
        run.play(kGames);
        // The watch was real: cards were shown and whole games ended.
        for (LinkId link : {kFromStart, kMidGame, kByCode}) {
            EXPECT_GT(run.shown(link), 100) << "spectator " << link;
        }
        EXPECT_GE(run.overs(kFromStart), kGames);
        EXPECT_GE(run.overs(kMidGame), kGames - 1);
        EXPECT_GE(run.overs(kByCode), kGames);
    }
}

}  // namespace hall_watch_privacy_test

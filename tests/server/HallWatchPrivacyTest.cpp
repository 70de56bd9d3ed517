// Spectators never see a card before it is played: whole games on the pure hall (computer
// players on every seat, several seeds), watched by one spectator from the start, one that joins
// mid-game and one by code at a private desk whose person hands the seat to the computer. Every
// text a spectator receives is read with rapidjson; each of its card lists ("cards", "last",
// "seen", info[k].cards) must hold only cards already on the table when it was received, and no
// text one seat gets alone ("start", "add", "timeout", "resume") may reach a spectator.

#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <array>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "cards/CardCode.h"
#include "server/hall/Hall.h"
#include "tests/server/HallRequests.h"

namespace {

using server::ClientRequest;
using server::Hall;
using server::LinkId;
using server::Millis;
using Kind = ClientRequest::Kind;
using server::kCardsPerDeck;
using Counts = std::array<int, kCardsPerDeck>;

constexpr LinkId kFromStart = 1;
constexpr LinkId kMidGame = 2;
constexpr LinkId kByCode = 3;
constexpr LinkId kPerson = 10;
constexpr int kBotDesk = 0;
constexpr int kPrivateDesk = 1;

const std::set<std::string> kPublic = {"watch",   "watchers", "change",   "game", "score",
                                       "over",    "run",      "presence", "talk", "unwatch"};
const std::set<std::string> kOneSeat = {"start", "add", "timeout", "resume"};

struct Seen {
    int texts = 0;
    int withCards = 0;  // texts that showed at least one card
    int overs = 0;
};

class PrivacyRun {
public:
    explicit PrivacyRun(std::uint64_t seed) : m_hall(config(seed)) {}

    static server::HallConfig config(std::uint64_t seed) {
        server::HallConfig config;
        config.seed = seed;
        return config;
    }

    // Runs `call` on the hall, then checks what each spectator received against the cards on
    // `desk`'s table: those before the call, with the play the call made.
    template <typename Call>
    void step(int desk, Call call) {
        const bool existed = static_cast<std::size_t>(desk) < m_hall.deskCount();
        const server::Round* before = existed ? m_hall.desk(desk).round() : nullptr;
        Counts allowed = before != nullptr ? before->played() : Counts{};
        const int actor = before != nullptr ? before->turn() : -1;
        const std::vector<int> actorHand =
            actor >= 0 ? before->hand(actor) : std::vector<int>{};
        const int games = existed ? m_hall.desk(desk).gamesPlayed() : 0;
        call();
        const server::DeskGame& game = m_hall.desk(desk);
        if (game.gamesPlayed() > games) {
            // The game ended with a play that emptied the actor's hand.
            for (int code : actorHand) {
                ++allowed[code];
            }
        } else if (game.round() != nullptr) {
            allowed = game.round()->played();
        }
        for (const Hall::Send& send : m_out.sends) {
            if (send.link == kPerson) {
                m_personStarts += send.text.find(R"("opt":"start")") != std::string::npos;
            } else {
                check(send.link, send.text, allowed);
            }
        }
        m_out = Hall::Output{};
    }

    void handle(LinkId link, ClientRequest request, int desk) {
        step(desk, [&] { m_hall.handle(link, request, m_now, m_out); });
    }

    // Plays both desks, each timer at its time, until both have played `games` games.
    void play(int games) {
        int steps = 0;
        while (m_hall.desk(kBotDesk).gamesPlayed() < games ||
               m_hall.desk(kPrivateDesk).gamesPlayed() < games) {
            ASSERT_LT(++steps, 100000) << "the desks stopped moving";
            if (steps == 40) {
                ClientRequest watch = request(Kind::Watch, kBotDesk);
                handle(kMidGame, watch, kBotDesk);
            }
            const server::DeskGame& mine = m_hall.desk(kPrivateDesk);
            if (!mine.playing()) {
                handle(kPerson, request(Kind::Ready, kPrivateDesk, 0), kPrivateDesk);
                continue;
            }
            if (!mine.seat(0).autoPlay) {
                ClientRequest handOver = request(Kind::Auto, kPrivateDesk, 0);
                handOver.on = true;
                handle(kPerson, handOver, kPrivateDesk);
            }
            const int desk = *m_hall.deskDeadline(kBotDesk) <= *m_hall.deskDeadline(kPrivateDesk)
                                 ? kBotDesk
                                 : kPrivateDesk;
            m_now = std::max(m_now, *m_hall.deskDeadline(desk));
            step(desk, [&] { m_hall.advanceDesk(desk, m_now, m_out); });
        }
    }

    void start() {
        for (LinkId link : {kFromStart, kMidGame, kByCode, kPerson}) {
            m_hall.connect(link, "10.0.0.1");
        }
        step(kBotDesk, [&] { m_hall.openBotDesk(m_now, m_out); });
        handle(kFromStart, request(Kind::Watch, kBotDesk), kBotDesk);
        step(kPrivateDesk, [&] { m_hall.handle(kPerson, request(Kind::Create), m_now, m_out); });
        ClientRequest bots = request(Kind::Bots, kPrivateDesk, 0);
        bots.level = "easy";
        handle(kPerson, bots, kPrivateDesk);
        ClientRequest byCode = request(Kind::Watch);
        byCode.byCode = true;
        byCode.code = m_hall.desk(kPrivateDesk).privateCode();
        handle(kByCode, byCode, kPrivateDesk);
    }

    const Seen& seen(LinkId link) { return m_seen[link]; }
    int personStarts() const { return m_personStarts; }

private:
    void check(LinkId link, const std::string& text, const Counts& allowed) {
        Seen& seen = m_seen[link];
        ++seen.texts;
        rapidjson::Document doc;
        doc.Parse(text.data(), text.size());
        ASSERT_TRUE(!doc.HasParseError() && doc.IsObject()) << text;
        const std::string opt = doc["opt"].GetString();
        EXPECT_EQ(kOneSeat.count(opt), 0u) << "one seat's text to a spectator: " << text;
        EXPECT_EQ(kPublic.count(opt), 1u) << "not a spectator's text: " << text;
        seen.overs += opt == "over";
        if (opt == "watch") {
            for (const char* key : {"cards", "site", "name", "creator"}) {
                EXPECT_FALSE(doc.HasMember(key)) << key << " in " << text;
            }
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
        seen.withCards += shown;
    }

    // Checks the card list at `key` against `allowed`; true when it shows a card.
    static bool cardsWithin(const rapidjson::Value& object, const char* key, const Counts& allowed,
                            const std::string& text) {
        const auto member = object.FindMember(key);
        if (member == object.MemberEnd()) {
            return false;
        }
        EXPECT_TRUE(member->value.IsString()) << text;
        if (!member->value.IsString()) {
            return false;
        }
        Counts shown{};
        const std::vector<int> cards = parseCardList(member->value.GetString());
        for (int code : cards) {
            ++shown[code];
        }
        for (int code = 0; code < kCardsPerDeck; ++code) {
            EXPECT_LE(shown[code], allowed[code])
                << "card " << code << " not yet played, shown to a spectator in " << key << ": "
                << text;
        }
        return !cards.empty();
    }

    Hall m_hall;
    Hall::Output m_out;
    Millis m_now{0};
    std::map<LinkId, Seen> m_seen;
    int m_personStarts = 0;
};

TEST(HallWatchPrivacyTest, SpectatorsSeeOnlyCardsOnTheTable) {
    const std::uint64_t seeds[] = {1, 2, 3, 4};
    constexpr int kGames = 3;
    for (std::uint64_t seed : seeds) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        PrivacyRun run(seed);
        run.start();
        run.play(kGames);
        // The watch was real: cards were shown, whole games ended, and the hands went out.
        for (LinkId link : {kFromStart, kMidGame, kByCode}) {
            EXPECT_GT(run.seen(link).withCards, 100) << "spectator " << link;
        }
        EXPECT_GE(run.seen(kFromStart).overs, kGames);
        EXPECT_GE(run.seen(kMidGame).overs, kGames - 1);
        EXPECT_GE(run.seen(kByCode).overs, kGames);
        EXPECT_GE(run.personStarts(), kGames);
    }
}

}  // namespace

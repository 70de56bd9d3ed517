// desk-record-game: plays one whole seeded game through the server's pure Hall, on a virtual
// clock, with one "human" person whose requests are built by the client's own outgoing builders,
// and writes what passed between that person and the server, in order:
//
//   S <text>   a text the server sent to the human (exactly, one line: server texts hold no
//              newline, which is checked)
//   C <text>   a text the human's client sent (exactly)
//
// The human queries the hall, joins, becomes ready, and plays every turn like a computer player
// (the server's bot choice, sometimes another legal play, sometimes a pass when following);
// after the first game it becomes ready for a second one, plays a couple of turns of it, and
// leaves. Computer players fill the other seats after the desk's bot wait. The same options give
// the same file, byte for byte.
//
//   desk-record-game [--seed N] [--deal N] [--out FILE]
//     --seed  the hall's seed and the human's choices (default 1)
//     --deal  cards per player, 1 to 27 (default 27)
//     --out   the transcript file (default: standard output)

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "cards/CardCode.h"
#include "cards/LegalPlays.h"
#include "net/Message.h"
#include "net/MessageDecoder.h"
#include "net/OutgoingMessages.h"
#include "server/bots/Bot.h"
#include "server/game/Deal.h"
#include "server/hall/Hall.h"
#include "server/protocol/ClientRequest.h"

namespace {

using server::Millis;

constexpr server::LinkId kHuman = 1;
constexpr int kSecondGameTurns = 2;  // turns the human plays in the second game before leaving

[[noreturn]] void fail(const std::string& why) {
    std::fprintf(stderr, "desk-record-game: %s\n", why.c_str());
    std::exit(1);
}

struct Options {
    std::uint64_t seed = 1;
    int deal = server::kFullDeal;
    std::string out;
};

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int k = 1; k < argc; ++k) {
        const std::string arg = argv[k];
        if (k + 1 >= argc) {
            fail("usage: desk-record-game [--seed N] [--deal N] [--out FILE]");
        }
        const std::string value = argv[++k];
        char* end = nullptr;
        if (arg == "--seed") {
            options.seed = std::strtoull(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0') fail("--seed wants a number");
        } else if (arg == "--deal") {
            const long deal = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || deal < 1 || deal > server::kFullDeal) {
                fail("--deal wants a number from 1 to 27");
            }
            options.deal = static_cast<int>(deal);
        } else if (arg == "--out") {
            options.out = value;
        } else {
            fail("unknown option " + arg);
        }
    }
    return options;
}

// The human's side: what its client knows from the texts it received, and what it sends next.
class Human {
public:
    Human(std::uint64_t seed, std::vector<std::string>& transcript)
        : m_rng(seed ^ 0x5DEECE66Dull), m_transcript(transcript) {}

    // The next request and when it is due, if any.
    const std::optional<std::pair<Millis, std::string>>& pending() const { return m_pending; }
    std::string takePending() {
        std::string text = std::move(m_pending->second);
        m_pending.reset();
        m_transcript.push_back("C " + text);
        return text;
    }
    bool done() const { return m_done; }
    void markDone() { m_done = true; }
    void plan(Millis at, std::string text) { m_pending.emplace(at, std::move(text)); }

    void receive(const std::string& text, Millis now) {
        if (text.find_first_of("\r\n") != std::string::npos) {
            fail("a server text holds a newline: " + text);
        }
        m_transcript.push_back("S " + text);
        stMsg msg;
        if (decodeMessage(text, msg) != DecodeStatus::Ok) {
            fail("the client cannot decode: " + text);
        }
        if (msg.opt == "query") {
            plan(now + Millis(150), addMessage());
        } else if (msg.opt == "add") {
            m_desk = msg.desk;
            m_site = msg.site;
            plan(now + Millis(250), readyMessage(m_desk, m_site));
        } else if (msg.opt == "start") {
            m_hand = parseCardList(msg.cards);
            sortHand(m_hand);
            m_lastPlay.clear();
            m_lastPlayer = -1;
            m_cardsLeft.fill(static_cast<int>(m_hand.size()));
            ++m_game;
            m_turnsThisGame = 0;
        } else if (msg.opt == "game") {
            onGame(msg, now);
        } else if (msg.opt == "over") {
            // First game: ready for the next one; after the second, leave.
            plan(now + Millis(m_game == 1 ? 1500 : 500),
                 m_game == 1 ? readyMessage(m_desk, m_site) : leaveMessage(m_desk, m_site));
            m_leaving = m_game != 1;
        } else if (msg.opt == "timeout") {
            fail("the human timed out");
        }
    }

    bool leaving() const { return m_leaving; }

private:
    void onGame(const stMsg& msg, Millis now) {
        const std::vector<int> cards = parseCardList(msg.cards);
        if (msg.per >= 0 && msg.per < 4) {
            m_cardsLeft[msg.per] = std::atoi(msg.surplus.c_str());
            if (!cards.empty()) {
                m_lastPlay = cards;
                sortHand(m_lastPlay);
                m_lastPlayer = msg.per;
                if (msg.per == m_site) {
                    for (int code : cards) {
                        auto at = std::find(m_hand.begin(), m_hand.end(), code);
                        if (at == m_hand.end()) fail("the server played a card the human lacks");
                        m_hand.erase(at);
                    }
                }
            }
        }
        m_table = msg.score;
        if (msg.must != 0) {
            m_lastPlay.clear();
            m_lastPlayer = -1;
        }
        if (msg.now != m_site || m_hand.empty()) {
            return;
        }
        const Millis think(200 + static_cast<long>(m_rng() % 2300));
        if (m_game == 2 && m_turnsThisGame >= kSecondGameTurns) {
            plan(now + think, leaveMessage(m_desk, m_site));
            m_leaving = true;
            return;
        }
        ++m_turnsThisGame;
        plan(now + think, choosePlay());
    }

    std::string choosePlay() {
        const bool leading = m_lastPlay.empty();
        const unsigned roll = static_cast<unsigned>(m_rng() % 10);
        if (!leading && roll < 2) {
            return passMessage(m_desk, m_site);
        }
        const std::vector<std::vector<int>> plays = legalPlays(m_hand, m_lastPlay);
        if (roll == 2 && !plays.empty()) {
            return playMessage(m_desk, m_site, plays[m_rng() % plays.size()]);
        }
        int fewest = server::kFullDeal;
        for (int seat = 0; seat < 4; ++seat) {
            if (seat % 2 != m_site % 2 && m_cardsLeft[seat] > 0) {
                fewest = std::min(fewest, m_cardsLeft[seat]);
            }
        }
        const server::BotView view{m_hand, m_lastPlay, m_lastPlayer == (m_site + 2) % 4, m_table,
                                   fewest};
        const std::vector<int> play = server::chooseBotPlay(view);
        if (play.empty()) {
            return passMessage(m_desk, m_site);
        }
        // A single card led is sent the way the client's time-out lead sends it, now and then.
        if (leading && play.size() == 1 && roll == 3) {
            return leadMessage(m_desk, m_site, play[0]);
        }
        return playMessage(m_desk, m_site, play);
    }

    std::mt19937_64 m_rng;
    std::vector<std::string>& m_transcript;
    std::optional<std::pair<Millis, std::string>> m_pending;
    int m_desk = -1;
    int m_site = -1;
    std::vector<int> m_hand;
    std::vector<int> m_lastPlay;
    int m_lastPlayer = -1;
    std::array<int, 4> m_cardsLeft{};
    int m_table = 0;
    int m_game = 0;
    int m_turnsThisGame = 0;
    bool m_leaving = false;
    bool m_done = false;
};

std::vector<std::string> record(const Options& options) {
    server::HallConfig config;
    config.seed = options.seed;
    config.desk.deal = options.deal;
    server::Hall hall(config);
    server::Hall::Output out;
    std::vector<std::string> transcript;
    Human human(options.seed, transcript);

    Millis now(0);
    const auto deliver = [&] {
        for (const server::Hall::Send& send : out.sends) {
            if (send.link == kHuman) {
                human.receive(send.text, now);
            }
        }
        out = server::Hall::Output{};
    };

    hall.connect(kHuman);
    human.plan(now, queryMessage());
    // Each step runs whichever comes first: the human's next request or a desk's timer (the
    // human first on a tie, as a request already in flight would be).
    for (int steps = 0; !human.done(); ++steps) {
        if (steps > 100000) fail("the game does not end");
        std::optional<Millis> deskDue;
        for (int desk = 0; desk < static_cast<int>(hall.deskCount()); ++desk) {
            const std::optional<Millis> due = hall.deskDeadline(desk);
            if (due && (!deskDue || *due < *deskDue)) deskDue = due;
        }
        const auto& pending = human.pending();
        if (pending && (!deskDue || pending->first <= *deskDue)) {
            now = std::max(now, pending->first);
            const bool last =
                human.leaving() && pending->second.find("\"leave\"") != std::string::npos;
            const std::string text = human.takePending();
            const std::optional<server::ClientRequest> request = server::parseClientRequest(text);
            if (!request) fail("the server refuses the client's text " + text);
            hall.handle(kHuman, *request, now, out);
            deliver();
            if (last) human.markDone();
        } else if (deskDue) {
            now = std::max(now, *deskDue);
            for (int desk = 0; desk < static_cast<int>(hall.deskCount()); ++desk) {
                hall.advanceDesk(desk, now, out);
            }
            deliver();
        } else {
            fail("nothing left to happen before the human left");
        }
    }
    hall.disconnect(kHuman, now, out);
    deliver();
    return transcript;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    const std::vector<std::string> transcript = record(options);
    std::string text;
    for (const std::string& line : transcript) {
        text += line;
        text += '\n';
    }
    if (options.out.empty()) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return 0;
    }
    std::ofstream file(options.out, std::ios::binary);
    file << text;
    if (!file.good()) fail("cannot write " + options.out);
    std::fprintf(stderr, "desk-record-game: %zu lines to %s\n", transcript.size(),
                 options.out.c_str());
    return 0;
}

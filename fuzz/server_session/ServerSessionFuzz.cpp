// libFuzzer target: the server's sessions, hall and desks fed arbitrary client frames, without
// sockets, on a virtual clock. It does what Server and Session do between a client's bytes and the
// hall: each person's bytes go through the session's own SessionInput (frames, length refusal,
// flood limit), each text through parseClientRequest (a malformed one closes the connection),
// each request to the Hall; every hall call's output is delivered, and every desk's timer is
// re-armed for the desk's deadline as Server::armDesk does, and fires when time reaches it.
//
// Input: a header of 4 bytes, then records until the input ends.
//
//   header   [hall seed] [deal: 1 + b % 27] [flags] [persons online at the start: 1 + b % 5]
//            flags bit 0: no computer players; bits 1-2: timers (botWait, botDelay, turnTimeout,
//            readyTimeout in ms) 0: 2000 1000 35000 60000 (the server's defaults), 1: all 0,
//            2: 300 100 2000 5000, 3: 0 1 35000 60000
//   record   [person: b % 5] [op: b % 9] [operands]
//     0 frame     [n] [n bytes]: one frame holding those bytes as its text, in one read
//     1 raw       [n] [n bytes]: the bytes as they are (headers of any length, pieces), one read
//     2 request   [kind] ...: a well-formed request built by the client's own builders, one read
//                 kind % 8: 0 query, 1 add, 2 ready, 3 leave, 4 pass, 5 a legal play, 6 cards,
//                 7 lead. Kinds 2 to 7 then take [where]: odd: [desk] [site] as signed bytes
//                 follow; even: the person's own desk and site. Then 5: [i], the i-th legal play
//                 of the person's real hand (255: the computer player's choice); 6: [n] and
//                 n % 17 signed bytes as card codes; 7: [code] as a signed byte
//     3 advance   [lo] [hi]: time moves on by lo + 256 hi ms, timers firing on the way
//     4 wait      timers fire until the person has something to do (its turn, or seated and not
//                 ready with no game running), for at most 120 s
//     5 connect   closes the person's connection (the peer hangs up), or opens a new one
//     6 step      time moves to the earliest desk deadline and that timer fires
//     7 flood     [n]: n + 1 query frames in one read
//     8 big       [n] [p] [p bytes] [q] [q bytes] [r] [r bytes]: one frame of at most (n + 1) *
//                 4 KiB (and 1 MiB): the first bytes, the second as many whole times as fit, then
//                 the third (e.g. '[' a million times deep, or a card list of 350,000 codes), in
//                 reads of 4 KiB as the session's buffer takes them
// A connection that a read closes (bad length, flood, malformed text, hang-up) leaves the hall
// after that record, as Session::close posts Server::onClosed. Frames may carry "hello" and "auto"
// too: a link the hall replaces (Output::closeLinks) is closed at once, as the server does, and a
// person whose link dropped may keep an away seat that a later link resumes.
//
// Checked after every hall call (fuzzing::require):
//   - every text goes to a person still connected and the client's decoder reads it as an object
//     of a known kind; a "query" tells the true number online; a person without a seat hears
//     only the hall's answers, and while it watches a desk that desk's texts for everyone (never
//     "start")
//   - the hall's persons are the connects minus the disconnects; desks never outnumber the most
//     persons ever online at once; a desk number no desk has (one left empty is destroyed) has
//     no deadline; a session buffers at most one frame
//   - every seated person is online (or away, with no link) and sits where its last "add" or
//     "resume" put it (until "timeout", its leave or its disconnect), and nobody sits twice;
//     computer players never hold a desk alone
//   - a desk whose four seats are taken and ready is playing; a running game, and with computer
//     players any desk with a person, has a deadline; every desk's timer waits for its deadline
//   - while a game runs: every seat's hand plus the cards announced for it in "game" messages is
//     what it was dealt ("start" for persons); the deal is cards of the two 54-card decks (all 108
//     of them with 27 a player); the teams', the table's and the hands' points add up to the
//     points dealt (200 with 27 a player); at "over" the last "score" adds up to them too
// Set DESK_FUZZ_SERVER_TRACE to print what person 0 sent and received (C and S lines, as
// desk-record-game writes them) to stderr.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cards/CardCode.h"
#include "cards/LegalPlays.h"
#include "fuzz/support/FuzzBytes.h"
#include "fuzz/support/FuzzCheck.h"
#include "net/Message.h"
#include "net/MessageDecoder.h"
#include "net/OutgoingMessages.h"
#include "server/bots/Bot.h"
#include "server/game/Deal.h"
#include "server/game/Scoring.h"
#include "server/hall/Hall.h"
#include "server/net/SessionInput.h"
#include "server/protocol/ClientRequest.h"
#include "wire/Framing.h"

namespace {

using fuzzing::require;
using server::DeskGame;
using server::Hall;
using server::Millis;
using server::PersonId;
using server::SessionInput;

constexpr int kPersons = 5;
constexpr std::size_t kMaxRecords = 4000;
constexpr Millis kWaitLimit{120000};
constexpr int kMaxTimerFires = 100000;  // in one record: far above any real game's turns

bool g_trace = false;

struct Slot {
    bool online = false;
    bool closing = false;  // its session closed during this record; it leaves the hall after it
    PersonId id = 0;
    std::optional<SessionInput> input;
    int desk = -1;  // where its last "add" seated it
    int seat = -1;
    bool watching = false;  // since an accepted "watch", until "unwatch" or a seat
};

using CardCounts = std::array<int, server::kCardsPerDeck>;  // how many of each code

// What one desk's running game has shown: the observer is the first person dealt to, whose copy
// of the desk's broadcasts is followed.
struct GameWatch {
    bool inGame = false;
    PersonId observer = 0;
    std::array<CardCounts, 4> played{};
    std::array<std::optional<CardCounts>, 4> dealt;
    std::optional<int> totalPoints;
    std::optional<int> lastScoreSum;
};

bool oneOf(const std::string& opt, std::initializer_list<const char*> kinds) {
    return std::any_of(kinds.begin(), kinds.end(), [&](const char* kind) { return opt == kind; });
}

// Every kind the client's decoder reads.
bool knownKind(const std::string& opt) {
    return oneOf(opt, {"query", "add", "change", "start", "game", "score", "over", "run",
                       "timeout", "hello", "resume", "presence", "talk", "name", "join", "sit",
                       "create", "record", "leaderboard", "desks", "watch", "watchers",
                       "unwatch"});
}

// What a person without a seat may hear: the hall's answers, and while it watches a desk that
// desk's texts for everyone (never a hand: no "start").
bool heardWithoutSeat(const std::string& opt, bool watching) {
    return oneOf(opt, {"query", "timeout", "hello", "name", "join", "sit", "create", "record",
                       "leaderboard", "desks", "watch", "unwatch"}) ||
           (watching &&
            oneOf(opt, {"change", "game", "score", "over", "run", "presence", "talk", "watchers"}));
}

// Adds the cards to `counts`; false when one is not a card.
bool count(const std::vector<int>& cards, CardCounts& counts) {
    for (int code : cards) {
        if (code < 0 || code >= server::kCardsPerDeck) return false;
        ++counts[code];
    }
    return true;
}

class World {
public:
    World(const server::HallConfig& config, int initialOnline) : m_config(config), m_hall(config) {
        for (int k = 0; k < initialOnline; ++k) {
            open(m_slots[k]);
        }
        checkAll();
    }

    void run(FuzzBytes& in) {
        for (std::size_t records = 0; !in.empty() && records < kMaxRecords; ++records) {
            Slot& slot = m_slots[in.byte() % kPersons];
            switch (in.byte() % 9) {
                case 0: {
                    const std::string_view text = in.take(in.byte());
                    std::string bytes;
                    if (!text.empty()) {
                        framing::appendFrame(bytes, text);
                    }
                    read(slot, bytes);
                    break;
                }
                case 1:
                    read(slot, in.take(in.byte()));
                    break;
                case 2: {
                    const std::string text = request(slot, in);
                    std::string bytes;
                    framing::appendFrame(bytes, text);
                    read(slot, bytes);
                    break;
                }
                case 3: {
                    const int lo = in.byte();
                    const int hi = in.byte();
                    fireUntil(m_now + Millis(lo + 256 * hi));
                    break;
                }
                case 4:
                    waitForTurn(slot);
                    break;
                case 5:
                    if (slot.online) {
                        slot.closing = true;  // "closed by the peer"
                    } else {
                        open(slot);
                    }
                    break;
                case 6:
                    if (const std::optional<int> desk = earliestArmed()) {
                        fireUntil(*m_armed[*desk]);
                    }
                    break;
                case 7: {
                    std::string bytes;
                    const int count = 1 + in.byte();
                    for (int k = 0; k < count; ++k) {
                        framing::appendFrame(bytes, queryMessage());
                    }
                    read(slot, bytes);
                    break;
                }
                case 8:
                    readBig(slot, in);
                    break;
            }
            closeSessions();
        }
    }

private:
    // ---- Connections ----------------------------------------------------------------------------

    SessionInput::Clock::time_point clock() const {
        return SessionInput::Clock::time_point{} + m_now;
    }

    void open(Slot& slot) {
        slot = Slot{};
        slot.online = true;
        slot.id = m_nextId++;
        slot.input.emplace(server::SessionLimits{}, clock());
        m_hall.connect(slot.id);
        ++m_connects;
        m_peakOnline = std::max(m_peakOnline, m_connects - m_disconnects);
        checkAll();
    }

    // Server::onClosed: the hall hears of every connection closed during the record.
    void closeSessions() {
        for (Slot& slot : m_slots) {
            if (slot.online && slot.closing) {
                goOffline(slot);
                m_hall.disconnect(slot.id, m_now, m_out);
                if (isTraced(slot)) std::fprintf(stderr, "-- disconnected\n");
                afterCall();
            }
        }
    }

    void goOffline(Slot& slot) {
        slot.online = false;
        slot.closing = false;
        slot.desk = slot.seat = -1;
        slot.watching = false;
        ++m_disconnects;
        for (GameWatch& watch : m_watch) {
            if (watch.observer == slot.id) {
                watch.observer = 0;  // the game may go on without it: its messages are not seen
            }
        }
    }

    // Session::onRead and Server::onFrame: one read's bytes.
    void read(Slot& slot, std::string_view bytes) {
        if (!slot.online || slot.closing) {
            return;
        }
        slot.input->feed(bytes);
        std::string text;
        for (;;) {
            const SessionInput::Verdict verdict = slot.input->next(text, clock());
            if (verdict == SessionInput::Verdict::NeedMore) {
                break;
            }
            if (verdict != SessionInput::Verdict::Text) {
                slot.closing = true;
                break;
            }
            require(framing::lengthAccepted(static_cast<std::uint32_t>(text.size())),
                    "a session passes on only texts of an accepted length");
            if (isTraced(slot)) std::fprintf(stderr, "C %s\n", text.c_str());
            const std::optional<server::ClientRequest> request = server::parseClientRequest(text);
            if (!request) {
                slot.closing = true;  // "malformed message"
                break;
            }
            m_hall.handle(slot.id, *request, m_now, m_out);
            if (request->kind == server::ClientRequest::Kind::Leave && slot.desk >= 0 &&
                request->desk == slot.desk && request->seat == slot.seat) {
                slot.desk = slot.seat = -1;
            }
            afterCall();
        }
        require(slot.input->buffered() <= framing::kHeaderBytes + framing::kMaxFrameBytes,
                "a session buffers at most one frame");
    }

    void readBig(Slot& slot, FuzzBytes& in) {
        const std::size_t size =
            std::min<std::size_t>((in.byte() + 1) * 4096, framing::kMaxFrameBytes);
        const std::string_view prefix = in.take(in.byte());
        const std::string_view pattern = in.take(in.byte());
        const std::string_view suffix = in.take(in.byte());
        std::string text(prefix.substr(0, size));
        while (!pattern.empty() && text.size() + pattern.size() + suffix.size() <= size) {
            text.append(pattern);
        }
        text.append(suffix.substr(0, size - text.size()));
        if (text.empty()) {
            return;
        }
        std::string bytes;
        framing::appendFrame(bytes, text);
        for (std::size_t at = 0; at < bytes.size(); at += 4096) {
            read(slot, std::string_view(bytes).substr(at, 4096));
        }
    }

    // ---- Requests built like the client builds them ---------------------------------------------

    std::string request(const Slot& slot, FuzzBytes& in) {
        const int kind = in.byte() % 8;
        if (kind == 0) return queryMessage();
        if (kind == 1) return addMessage();
        int desk = slot.desk;
        int site = slot.seat;
        if (in.byte() % 2 == 1) {
            desk = in.signedByte();
            site = in.signedByte();
        }
        switch (kind) {
            case 2:
                return readyMessage(desk, site);
            case 3:
                return leaveMessage(desk, site);
            case 4:
                return passMessage(desk, site);
            case 5:
                return chosenPlay(slot, desk, site, in.byte());
            case 6: {
                std::vector<int> codes(in.byte() % 17);
                for (int& code : codes) code = in.signedByte();
                return playMessage(desk, site, codes);
            }
            default:
                return leadMessage(desk, site, in.signedByte());
        }
    }

    // One of the legal plays of the person's real hand, or the computer player's choice.
    std::string chosenPlay(const Slot& slot, int desk, int site, int choice) {
        if (slot.desk < 0 || !m_hall.desk(slot.desk).round()) {
            return passMessage(desk, site);
        }
        const server::Round& round = *m_hall.desk(slot.desk).round();
        const std::vector<int>& hand = round.hand(slot.seat);
        const std::vector<std::vector<int>> plays = legalPlays(hand, round.lastPlay());
        if (choice != 255 && !plays.empty()) {
            return playMessage(desk, site, plays[choice % plays.size()]);
        }
        int fewest = server::kFullDeal;
        for (int other = 0; other < 4; ++other) {
            if (server::teamOf(other) != server::teamOf(slot.seat) && !round.isOut(other)) {
                fewest = std::min(fewest, static_cast<int>(round.hand(other).size()));
            }
        }
        const server::BotView view{hand, round.lastPlay(),
                                   round.lastPlayer() == server::partnerOf(slot.seat),
                                   round.tablePoints(), fewest};
        return playMessage(desk, site, server::chooseBotPlay(view));
    }

    // ---- Time -----------------------------------------------------------------------------------

    std::optional<int> earliestArmed() const {
        std::optional<int> earliest;
        for (int desk = 0; desk < static_cast<int>(m_armed.size()); ++desk) {
            if (m_armed[desk] && (!earliest || *m_armed[desk] < *m_armed[*earliest])) {
                earliest = desk;
            }
        }
        return earliest;
    }

    // Fires the earliest due timer, if one is due by `until`.
    bool fireOne(Millis until) {
        const std::optional<int> desk = earliestArmed();
        if (!desk || *m_armed[*desk] > until) {
            return false;
        }
        m_now = std::max(m_now, *m_armed[*desk]);
        m_armed[*desk].reset();
        m_hall.advanceDesk(*desk, m_now, m_out);
        afterCall();
        return true;
    }

    void fireUntil(Millis until) {
        int fires = 0;
        while (fireOne(until)) {
            require(++fires < kMaxTimerFires, "time moving on comes to rest");
        }
        m_now = std::max(m_now, until);
    }

    bool hasSomethingToDo(const Slot& slot) const {
        if (!slot.online || slot.closing || slot.desk < 0) {
            return true;
        }
        const DeskGame& desk = m_hall.desk(slot.desk);
        if (const server::Round* round = desk.round()) {
            return round->turn() == slot.seat;
        }
        return !desk.seat(slot.seat).ready;
    }

    void waitForTurn(const Slot& slot) {
        const Millis until = m_now + kWaitLimit;
        int fires = 0;
        while (!hasSomethingToDo(slot) && fireOne(until)) {
            require(++fires < kMaxTimerFires, "waiting for a turn comes to rest");
        }
    }

    // ---- After every hall call: deliver, re-arm, check
    // -------------------------------------------

    Slot* slotOf(server::LinkId id) {
        for (Slot& slot : m_slots) {
            if (slot.online && slot.id == id) return &slot;
        }
        return nullptr;
    }

    const Slot* slotOfPerson(PersonId person) const {
        for (const Slot& slot : m_slots) {
            if (slot.online && m_hall.personOf(slot.id) == person) return &slot;
        }
        return nullptr;
    }

    bool isTraced(const Slot& slot) const { return g_trace && &slot == &m_slots[0]; }

    void afterCall() {
        // Server::deliver closes a replaced link; its onClosed then finds nothing to undo.
        for (server::LinkId link : m_out.closeLinks) {
            Slot* slot = slotOf(link);
            require(slot != nullptr, "a replaced link was open");
            goOffline(*slot);
            const std::size_t sends = m_out.sends.size();
            m_hall.disconnect(link, m_now, m_out);
            require(m_out.sends.size() == sends, "a replaced link's close is no leave");
        }
        m_out.closeLinks.clear();
        for (const Hall::Send& send : m_out.sends) {
            Slot* slot = slotOf(send.link);
            require(slot != nullptr, "texts go only to persons still connected");
            receive(*slot, send.text);
        }
        for (int desk : m_out.touchedDesks) {
            require(desk >= 0, "a touched desk has a number (it may be gone, left empty)");
            if (static_cast<int>(m_armed.size()) <= desk) m_armed.resize(desk + 1);
            m_armed[desk] = m_hall.deskDeadline(desk);
        }
        checkAll(m_out.touchedDesks);
        m_out.sends.clear();
        m_out.touchedDesks.clear();
        m_out.log.clear();
        m_out.restartIdle.clear();
    }

    void receive(Slot& slot, const std::string& text) {
        if (isTraced(slot)) std::fprintf(stderr, "S %s\n", text.c_str());
        stMsg msg;
        require(decodeMessage(text, msg) == DecodeStatus::Ok,
                "every text is a JSON object to the client");
        require(knownKind(msg.opt), "every text is of a kind the client knows");
        if (msg.opt == "query") {
            require(msg.online == std::to_string(m_hall.online()), "query tells the number online");
        } else if (msg.opt == "add") {
            require(slot.desk < 0, "only a person with no seat is seated");
            require(msg.desk >= 0 && msg.desk < static_cast<int>(m_hall.deskCount()) &&
                        msg.site >= 0 && msg.site < 4,
                    "add names a seat of a desk");
            slot.desk = msg.desk;
            slot.seat = msg.site;
            slot.watching = false;
        } else if (msg.opt == "watch" && msg.status == "ok") {
            require(slot.desk < 0, "only a person with no seat watches");
            slot.watching = true;
        } else if (msg.opt == "unwatch") {
            slot.watching = false;
        } else if (msg.opt == "timeout") {
            require(slot.desk >= 0, "timeout goes to a seated person");
            slot.desk = slot.seat = -1;
        } else if (msg.opt == "resume") {
            // The seat the link's person holds (the hall tests check what "resume" says).
            require(slot.desk < 0, "only a new link resumes");
            const PersonId person = m_hall.personOf(slot.id);
            for (int number = 0; number < static_cast<int>(m_hall.deskCount()); ++number) {
                for (int index = 0; index < 4; ++index) {
                    if (person != 0 && m_hall.desk(number).seat(index).person == person) {
                        slot.desk = number;
                        slot.seat = index;
                    }
                }
            }
            require(slot.desk >= 0, "resume goes to a seated person");
        }
        if (slot.desk < 0) {
            require(heardWithoutSeat(msg.opt, slot.watching),
                    "a person with no seat hears only the hall's answers and what it watches");
            return;
        }
        if (static_cast<int>(m_watch.size()) <= slot.desk) m_watch.resize(slot.desk + 1);
        GameWatch& watch = m_watch[slot.desk];
        if (msg.opt == "start") {
            if (!watch.inGame) {
                watch = GameWatch{};
                watch.inGame = true;
                watch.observer = slot.id;
            }
            const std::vector<int> cards = parseCardList(msg.cards);
            require(static_cast<int>(cards.size()) == m_config.desk.deal,
                    "start deals the configured number of cards");
            require(count(cards, watch.dealt[slot.seat].emplace()), "start deals cards");
        }
        if (!watch.inGame || watch.observer != slot.id) {
            return;
        }
        if (msg.opt == "game") {
            require(msg.per >= -1 && msg.per < 4 && msg.now >= -1 && msg.now < 4,
                    "game names seats");
            if (msg.per >= 0) {
                require(count(parseCardList(msg.cards), watch.played[msg.per]), "game shows cards");
            }
        } else if (msg.opt == "score") {
            watch.lastScoreSum = std::atoi(msg.p0.c_str()) + std::atoi(msg.p1.c_str());
        } else if (msg.opt == "over") {
            if (m_config.desk.deal == server::kFullDeal) {
                require(watch.lastScoreSum == server::kPointsPerTwoDecks,
                        "at the end the teams hold all 200 points");
            } else if (watch.totalPoints) {
                require(watch.lastScoreSum == watch.totalPoints,
                        "at the end the teams hold all the points dealt");
            }
            watch.inGame = false;
        } else if (msg.opt == "run") {
            watch.inGame = false;
        }
    }

    // Every desk's seats and timer; the cards and points of the desks the call touched (no other
    // desk changed).
    void checkAll(const std::vector<int>& touched = {}) {
        require(m_hall.online() == m_connects - m_disconnects,
                "the hall's persons are the connects minus the disconnects");
        require(m_hall.deskCount() <= m_peakOnline, "desks never outnumber the persons");
        std::vector<PersonId> seated;
        for (int number = 0; number < static_cast<int>(m_hall.deskCount()); ++number) {
            if (m_hall.hasDesk(number)) {
                checkDesk(number, seated);
            } else {
                require(!m_hall.deskDeadline(number), "a number no desk has has no deadline");
            }
        }
        for (int number : touched) {
            checkGame(number);
        }
        for (const Slot& slot : m_slots) {
            if (slot.online && slot.desk >= 0) {
                require(m_hall.hasDesk(slot.desk) &&
                            m_hall.desk(slot.desk).seat(slot.seat).person ==
                                m_hall.personOf(slot.id),
                        "a person sits where its add put it");
            }
        }
    }

    void checkDesk(int number, std::vector<PersonId>& seated) {
        const DeskGame& desk = m_hall.desk(number);
        int persons = 0;
        int bots = 0;
        bool allReady = true;
        for (int index = 0; index < 4; ++index) {
            const DeskGame::Seat& seat = desk.seat(index);
            allReady = allReady && seat.kind != DeskGame::SeatKind::Free && seat.ready;
            if (seat.kind == DeskGame::SeatKind::Bot) {
                ++bots;
            } else if (seat.kind == DeskGame::SeatKind::Person) {
                ++persons;
                const Slot* slot = slotOfPerson(seat.person);
                if (seat.away) {
                    require(slot == nullptr, "an away person has no link");
                } else {
                    require(slot != nullptr, "every seated person is online");
                    require(slot->desk == number && slot->seat == index,
                            "every seated person sits where its add put it");
                }
                require(std::find(seated.begin(), seated.end(), seat.person) == seated.end(),
                        "nobody is seated twice");
                seated.push_back(seat.person);
            }
        }
        require(bots == 0 || persons > 0, "computer players never hold a desk alone");
        const std::optional<Millis> deadline = desk.nextDeadline();
        if (desk.playing()) {
            require(persons > 0, "a game runs only with a person");
            require(deadline.has_value(), "a running game has a deadline");
        } else {
            require(!allReady, "a desk of four ready seats is playing");
            if (persons > 0 && m_config.desk.bots) {
                require(deadline.has_value(), "a desk with a person never stalls");
            }
        }
        const std::optional<Millis> armed =
            number < static_cast<int>(m_armed.size()) ? m_armed[number] : std::nullopt;
        require(armed == deadline, "every desk's timer waits for its deadline");
    }

    void checkGame(int number) {
        if (static_cast<int>(m_watch.size()) <= number) m_watch.resize(number + 1);
        GameWatch& watch = m_watch[number];
        if (!m_hall.hasDesk(number) || !m_hall.desk(number).playing()) {
            watch.inGame = false;
            return;
        }
        const DeskGame& desk = m_hall.desk(number);
        require(watch.inGame, "a running game was dealt to a person");
        if (watch.observer != 0) {
            checkCards(*desk.round(), watch);
        }
    }

    void checkCards(const server::Round& round, GameWatch& watch) {
        const int turn = round.turn();
        require(turn >= 0 && turn < 4 && !round.isOut(turn), "the turn is a seat still in");
        CardCounts all{};
        int dealtCards = 0;
        int total = 0;
        int held = 0;
        for (int seat = 0; seat < 4; ++seat) {
            held += server::pointsOf(round.hand(seat));
            CardCounts counts = watch.played[seat];
            require(count(round.hand(seat), counts), "hands hold cards");
            if (!watch.dealt[seat]) {
                watch.dealt[seat] = counts;  // a computer player's hand, first seen now
            }
            require(counts == *watch.dealt[seat],
                    "a hand and the cards announced for it are what was dealt");
            for (int code = 0; code < server::kCardsPerDeck; ++code) {
                all[code] += counts[code];
                dealtCards += counts[code];
                total += counts[code] * server::cardPoints(code);
            }
        }
        require(dealtCards == 4 * m_config.desk.deal, "the deal has its number of cards");
        for (int copies : all) {
            require(copies <= server::kDecks, "no card is dealt more often than there are decks");
            if (m_config.desk.deal == server::kFullDeal) {
                require(copies == server::kDecks, "a full deal holds all 108 cards");
            }
        }
        if (m_config.desk.deal == server::kFullDeal) {
            require(total == server::kPointsPerTwoDecks, "a full deal holds 200 points");
        }
        require(!watch.totalPoints || *watch.totalPoints == total, "the points dealt stay put");
        watch.totalPoints = total;
        require(round.teamPoints()[0] + round.teamPoints()[1] + round.tablePoints() + held == total,
                "teams, table and hands hold all the points dealt");
    }

    server::HallConfig m_config;
    Hall m_hall;
    Hall::Output m_out;
    Millis m_now{0};
    std::array<Slot, kPersons> m_slots;
    PersonId m_nextId = 1;
    std::size_t m_connects = 0;
    std::size_t m_disconnects = 0;
    std::size_t m_peakOnline = 0;
    std::vector<std::optional<Millis>> m_armed;  // what each desk's timer waits for
    std::vector<GameWatch> m_watch;
};

server::HallConfig configFrom(FuzzBytes& in) {
    server::HallConfig config;
    config.seed = in.byte();
    config.desk.deal = 1 + in.byte() % server::kFullDeal;
    const int flags = in.byte();
    config.desk.bots = (flags & 1) == 0;
    struct Timers {
        int botWait, botDelay, turnTimeout, readyTimeout;
    };
    static constexpr Timers kTimers[] = {
        {2000, 1000, 35000, 60000}, {0, 0, 0, 0}, {300, 100, 2000, 5000}, {0, 1, 35000, 60000}};
    const Timers& timers = kTimers[(flags >> 1) & 3];
    config.desk.botWait = Millis(timers.botWait);
    config.desk.botDelay = Millis(timers.botDelay);
    config.desk.turnTimeout = Millis(timers.turnTimeout);
    config.desk.readyTimeout = Millis(timers.readyTimeout);
    return config;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_trace = std::getenv("DESK_FUZZ_SERVER_TRACE") != nullptr;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzBytes in(data, size);
    const server::HallConfig config = configFrom(in);
    const int initialOnline = 1 + in.byte() % kPersons;
    World world(config, initialOnline);
    world.run(in);
    return 0;
}

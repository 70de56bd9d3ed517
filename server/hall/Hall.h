#pragma once
// The hall: every open link, the persons behind them, the desks, and the routing of requests
// between them. Pure like the desks (no sockets, time passed in): the network layer feeds it
// requests and delivers what it answers.
//
// Each job has a file: Hall.cpp routes the requests and the desks' output; HallRejoin.cpp the
// hello, the rejoin and the held seats (the tokens' book in Tokens.h); HallNames.cpp the names;
// PrivateDeskRequests.cpp the private desks (their book in PrivateDesks.h); Spectators.cpp the
// spectators; the desks themselves are a DeskPool's.
//
// A link is one connection. A person is who sits at a desk (the desk's PersonId). A link that
// has no accepted hello is a person of its own, and closing it is a leave ("run" during a game).
// A link whose hello was accepted belongs to its token's person, who outlives the link while
// seated: the seat is held (DeskGame's away flag) until the token's next link comes back. Seats
// held for persons whose link came from one address are at most maxHeldPerAddress; beyond it
// the close is a leave, as without a hello (logged).
//
// A desk left empty is destroyed, and its number is the first a new desk takes (DeskPool.h).
//
//   request   effect
//   query     "query" with the number of open links and the client version
//   add       seats the person at the first desk with a free seat and no game running (a new
//             desk when there is none) under their name, or prefix + number when they have
//             none; ignored when seated
//   name      the names rules below; answered "name"
//   ready,    passed to the person's desk, but only when desk and site are the person's own;
//   leave,    otherwise ignored ("auto" only during a game)
//   game,
//   auto      also at most one a person in kAutoEvery (by any of their links); the rest are
//             ignored and counted, and the link's close logs the count
//   talk      also only with the person's own desk and site; then ignored and counted when
//             "say" is not an index (0 .. kTalkCount-1) or the person talked less than
//             kTalkEvery ago; else "talk" to the desk. The link's close logs the count
//   hello     the rules below, in this order; a refusal changes nothing else
//   create,   private desks (PrivateDeskRequests.cpp, the book in PrivateDesks.h): "create"
//   join,     seats the person at a new private desk ("add" with its code), or is refused when
//   bots      the link's address has maxPrivatePerAddress live ones; "join" by a code, or a
//             refusal ("join" status "refused": already seated, too many wrong codes with
//             "retry", wrong or expired code, game running, desk full, checked in this order);
//             "bots", from the creator (by the token's hash on any link; without a token, the
//             person) at their own desk and seat between games, fills the free seats with
//             computer players of the level named (ignored otherwise). Quick join and the
//             bot-fill timer never seat anyone at a private desk; its code goes with its last
//             person (a held seat counts)
//   record,   a person with a token: passed out (Output::lookups) for the store to answer; a
//   leader-   person without one: answered "status":"none" at once. At most one of each kind a
//   board     second a link (kLookupEvery); more are ignored and counted, and the link's close
//             logs the count
//   desks,    watching a game (Spectators.cpp): a spectator is a link's person with no seat,
//   watch,    watching one desk. "desks" lists the public desks whose game runs (at most one
//   unwatch,  answered a second a link, like the lookups). "watch" by number or code, refused
//   sit       for, in this order: already seated, too many wrong codes (the private desks'
//             limit; a wrong code counts), no such desk (by number: none, private or no game
//             running; by code: a wrong code), too many from your address (the link's address
//             has maxWatchersPerAddressAtDesk at that desk, or maxWatchersPerAddress in all; a
//             spectator moving counts once), desk full (maxWatchersPerDesk), server full
//             (maxWatchers); accepted: the desk without any hand ("watch"), then every text the
//             desk sends to all its seats; a watch of another desk ends the first once accepted.
//             "unwatch" ends it silently. "sit" seats a spectator between games (refused: not
//             watching, game running, no free seat). "add", "create", a seating "join", an
//             accepted hello that moves the link to another person, and the link's close end
//             the watching; a deserted desk ends it with "unwatch" "closed". Whenever a desk's
//             count changes, its spectators get "watchers". The desk keeps its public texts only
//             while it has spectators (DeskGame::setWatched).
//
//   hello case                                  answer
//   a second hello on the link                  refused "hello already received"
//   token not 32 hex digits (either case)       refused "bad token"
//   the link's person is seated                 refused "already seated"
//   more than hellosPerMinute accepted hellos   refused "too many reconnects", retry: whole seconds
//   with the token in the last minute           until the oldest of them is a minute old
//   the token's person has a live link          accepted; that link is to be closed (Output::
//                                               closeLinks) without a leave; the new one has it
//   the token's person is seated                accepted with resume "1", then "resume"; the
//                                               desk hears "presence" if the person was away
//   otherwise (a new token, or no seat)         accepted with resume "0"
// Every hello answer, refused or not, also answers the hello's "name" when it has one.
//
//   name case (hello or "name")                 answer
//   not a string (hello)                        no name asked for: nothing said of it
//   refused by checkPlayerName                  "nameError": nameFaultText; nothing changes
//   the person's own name again                 "name": the name they are shown as already
//   the person sits at a desk that is playing   "nameError" kNameInGame; nothing changes
//   shown by another person online (one with a  "name": the name + the lowest free number
//   name, or seated)                            from 2 (nameWithSuffix)
//   otherwise                                   "name": the cleaned name
// A seated person's new name reaches the desk ("change"), and every later "add", "change",
// "over", "run" and "resume" shows it.
// Tokens are kept only as SHA-256 hashes; the log shows the first 16 hex digits.
// The token's hash is also what a finished game names its persons by (Output::finished).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "server/game/DeskGame.h"
#include "server/hall/DeskPool.h"
#include "server/hall/PrivateDesks.h"
#include "server/hall/ShownNames.h"
#include "server/hall/Tokens.h"
#include "server/protocol/ClientRequest.h"
#include "server/protocol/ServerMessages.h"

namespace server {

// A connection, as the network layer numbers them (never 0).
using LinkId = std::uint64_t;

// A link may ask for its record, and for the leaderboard, once each in this long.
inline constexpr Millis kLookupEvery{1000};
// A link may ask for the list of desks to watch once in this long.
inline constexpr Millis kDesksEvery{1000};
// Spectators one desk, and the whole server, may have, unless HallConfig says otherwise.
inline constexpr int kMaxWatchersPerDesk = 50;
inline constexpr int kMaxWatchers = 2000;
// Spectators from one address at one desk, and in all, unless HallConfig says otherwise.
inline constexpr int kMaxWatchersPerAddressAtDesk = 4;
inline constexpr int kMaxWatchersPerAddress = 16;
// Live private desks opened from one address, and seats held for persons of one address.
inline constexpr int kMaxPrivatePerAddress = 8;
inline constexpr int kMaxHeldPerAddress = 32;
// A person may talk at the desk once in this long.
inline constexpr Millis kTalkEvery{kTalkEveryMillis};
// A person may turn auto on or off once in this long: each "on" in one's own turn is a search.
inline constexpr Millis kAutoEvery{250};

struct HallConfig {
    DeskConfig desk;
    std::string namePrefix = "player";
    std::uint64_t seed = 0;  // desks derive their shuffles from it
    int hellosPerMinute = kHellosPerMinute;
    int maxWatchersPerDesk = kMaxWatchersPerDesk;
    int maxWatchers = kMaxWatchers;
    int maxWatchersPerAddressAtDesk = kMaxWatchersPerAddressAtDesk;
    int maxWatchersPerAddress = kMaxWatchersPerAddress;
    int maxPrivatePerAddress = kMaxPrivatePerAddress;
    int maxHeldPerAddress = kMaxHeldPerAddress;
    PrivateDesks::CodeSource codeSource;  // private desks' codes; null: std::random_device
};

class Hall {
public:
    struct Send {
        LinkId link = 0;
        std::string text;
    };
    // A "record" or "leaderboard" request of a person with a token, for the store.
    struct Lookup {
        LinkId link = 0;
        bool leaderboard = false;  // false: "record"
        std::string tokenHash;
    };
    struct Output {
        std::vector<Send> sends;
        std::vector<int> touchedDesks;  // desks whose next deadline may have moved
        std::vector<std::string> log;
        std::vector<BotJob> botJobs;  // decisions for the caller to make and answer (botDecided)
        std::vector<LinkId> closeLinks;    // replaced by a new link: close, it is no longer known
        std::vector<LinkId> restartIdle;   // links whose idle clock starts again (game end, resume)
        // Games played to their "over" whose persons all have a token, each seat's tokenHash
        // set; a game with a guest (a person without an accepted hello) is logged, not passed.
        std::vector<FinishedDeskGame> finished;
        std::vector<Lookup> lookups;
    };

    explicit Hall(const HallConfig& config);
    // Whether the server keeps records: accepted hellos then say so ("records":"1"), and the
    // client offers its record and the leaderboard.
    void setRecordsKept(bool kept) { m_recordsKept = kept; }

    // `address`: the peer's address, which the wrong private-desk codes are also counted by.
    void connect(LinkId link, std::string address = {});
    // The link closed: a leave for a person of its own; a held seat for a token's seated person.
    void disconnect(LinkId link, Millis now, Output& out);
    void handle(LinkId link, const ClientRequest& request, Millis now, Output& out);
    // Runs the desk's earliest due timer (one play at most).
    void advanceDesk(int desk, Millis now, Output& out);
    // The answer to one of Output::botJobs.
    void botDecided(const BotJob& job, std::vector<int> cards, Millis now, Output& out);
    // Opens a desk of four computer players that play each other, game after game (load tests).
    void openBotDesk(Millis now, Output& out);

    // Forgets the tokens that name nobody and made no hello within the window, and gives back
    // the room the maps kept for what a storm of links left. The server calls it now and then.
    void tidy(Millis now);

    std::optional<Millis> deskDeadline(int desk) const;
    // The link's person is seated at a desk whose game is running, or watches a desk (they may
    // be silent long).
    bool inGame(LinkId link) const;
    // The person a link speaks for; 0 for an unknown link.
    PersonId personOf(LinkId link) const;
    std::size_t online() const { return m_links.size(); }
    std::size_t persons() const { return m_people.size(); }
    // Lookups the names rules made so far (ShownNames::lookups): what names cost.
    std::uint64_t nameLookups() const { return m_shown.lookups(); }
    // One past the highest desk number in use; lower numbers may be free.
    std::size_t deskCount() const { return m_pool.end(); }
    // Spectators of one desk, and of all of them.
    int watchers(int desk) const;
    std::size_t watchers() const { return m_watcherCount; }
    // A desk in use: one that hasDesk(number) finds.
    const DeskGame& desk(int number) const { return m_pool.at(number); }
    bool hasDesk(int number) const { return m_pool.has(number); }

private:
    struct Place {
        int desk = -1;
        int seat = -1;
    };
    struct Person {
        Place place;
        LinkId link = 0;    // 0 while away
        std::string token;  // the token's hash in hex; empty for a link's own person
        std::optional<Millis> lastTalk;  // the person's last talk passed to the desk
        std::string chosen;  // the cleaned name they asked for; empty: none
        std::string shown;   // what the desk shows: chosen (suffixed when taken) or made up
        int watching = -1;   // the desk this person watches (never while seated); -1 none
        std::optional<Millis> lastAuto{};  // the person's last "auto" passed to the desk
        std::string address;  // the peer's, of the person's latest link
        bool held = false;    // seated and away, counted in m_heldFrom
    };
    struct Link {
        PersonId person = 0;
        bool helloSeen = false;  // accepted or refused: one hello a link
        std::optional<Millis> lastRecord;       // the last "record" passed out
        std::optional<Millis> lastLeaderboard;  // the last "leaderboard" passed out
        std::optional<Millis> lastDesks;        // the last "desks" answered
        std::uint64_t lookupsIgnored = 0;       // over the rate, for the close's log line
        std::uint64_t desksIgnored = 0;         // the same for "desks"
        std::uint64_t talksIgnored = 0;         // bad index or over the rate, the same
        std::uint64_t autosIgnored = 0;         // "auto" over the rate, the same
        std::string address;                    // the peer's, for the wrong-code limit
    };
    // ---- Routing (Hall.cpp)
    void lookup(LinkId link, bool leaderboard, Millis now, Output& out);
    void talk(LinkId link, int say, Millis now, Output& out);
    // Names the person and seats them at `desk`, which has a free seat and no game running.
    void seatAt(DeskGame& desk, PersonId id, Millis now, Output& out);
    // The pool's open desk for "add", and a new desk; the spectators' lists follow the numbers.
    DeskGame& openDesk();
    DeskGame& newDesk();
    // The spectators' lists, one a desk number in use.
    void fitWatchers();
    // Delivers what the desk said (m_deskOut) and settles the desk after its change.
    void collect(int desk, Output& out);
    // Sets the persons' token hashes; false (and a log line) when one of them is a guest.
    bool nameByToken(FinishedDeskGame& game, Output& out) const;
    // True when a request limited to one per `every` comes too soon; otherwise the request's
    // time is kept in `last`.
    static bool tooSoon(std::optional<Millis>& last, Millis every, Millis now);
    // One less for `address` in `counts`; its entry goes at 0.
    static void uncount(std::unordered_map<std::string, int>& counts, const std::string& address);
    // "connection N" for the log.
    static std::string linkText(LinkId link);

    // ---- The hello and the rejoin (HallRejoin.cpp)
    void hello(LinkId link, const ClientRequest& request, Millis now, Output& out);
    void refuse(LinkId link, std::string_view reason, long long retry, const NameAnswer& name,
                Output& out);
    // A person with neither a link nor a seat is gone; its token no longer names it.
    void forget(PersonId person);
    // Counts a seat held for the away person, within their address's budget; false when full.
    bool hold(Person& person);
    // The person's seat is held no more (back, or gone).
    void release(Person& person);

    // ---- Names (HallNames.cpp)
    // The names rules for `asked` (none: an empty answer). A seated person's new name goes to
    // the desk's output; `desk` is then that desk, for the caller to collect after its answer.
    NameAnswer askName(PersonId id, const std::optional<std::string>& asked, int& desk);
    // prefix + the next number that nobody shows, for a person without a name.
    std::string madeUpName();
    // A person shows their name while they have chosen one or are seated; m_shown holds exactly
    // those. Every change of a person's chosen name, shown name or place is made between
    // unlistName (before) and listName (after); a person is unlisted before being erased.
    static bool showsName(const Person& person);
    void unlistName(PersonId id);
    void listName(PersonId id);
    // The person has no seat any more (the desk let them go, or they left).
    void unseat(PersonId id);
    void nameRequest(LinkId link, const ClientRequest& request, Output& out);

    // ---- Private desks (PrivateDeskRequests.cpp)
    void createPrivate(PersonId id, Millis now, Output& out);
    void joinPrivate(LinkId link, const std::string& code, Millis now, Output& out);
    void addBots(PersonId id, const std::string& level, Millis now, Output& out);
    // The person as a private desk's creator is known: by the token when they have one.
    PrivateDesks::Owner asOwner(PersonId id) const;
    // The wrong-code limit for a "join" or a "watch" (`opt`, for the log): whole seconds to wait
    // (logged), 0 when the link may try a code now.
    long long codeWait(LinkId link, std::string_view opt, Millis now, Output& out);
    // The live private desk whose code it is; none for a wrong code, which is counted and logged.
    std::optional<int> deskByCode(LinkId link, const std::string& code, Millis now, Output& out);
    // "connection N (address)" for the wrong-code log lines.
    std::string codeAsker(LinkId link) const;
    // After a desk changed: a private desk without persons is public again, its code gone.
    void closeIfDeserted(int desk, Output& out);

    // ---- Spectators (Spectators.cpp)
    void desksList(LinkId link, Millis now, Output& out);
    void watch(LinkId link, const ClientRequest& request, Millis now, Output& out);
    void sit(LinkId link, Millis now, Output& out);
    // Whether the person's address has its share of spectators at `desk`, or in all (the person's
    // own watching elsewhere not counted).
    bool tooManyFrom(const Person& person, int desk) const;
    // The person stops watching (nothing said to them); the desk's other spectators get
    // "watchers". Nothing when the person watches nothing.
    void stopWatching(PersonId id, Output& out);
    // "watchers" with the desk's count to each of its spectators.
    void tellWatchers(int desk, Output& out);
    // The desk's public texts (DeskOutput::publicTexts) to each of its spectators.
    void deliverPublic(int desk, Output& out);
    // After a desk changed: a desk left without persons sends its spectators "unwatch" "closed".
    void unwatchIfDeserted(int desk, Output& out);

    HallConfig m_config;
    bool m_recordsKept = false;
    std::unordered_map<LinkId, Link> m_links;
    std::unordered_map<PersonId, Person> m_people;
    Tokens m_tokens;
    DeskPool m_pool;
    std::vector<std::vector<PersonId>> m_watchers;  // by desk number: who watches it, in order
    std::size_t m_watcherCount = 0;
    std::unordered_map<std::string, int> m_watchersFrom;  // spectators by address, never 0
    std::unordered_map<std::string, int> m_heldFrom;      // held seats by address, never 0
    PrivateDesks m_private;
    PersonId m_nextPerson = 1;
    std::uint64_t m_nextName = 1;
    ShownNames m_shown;  // the names persons show now (HallNames.cpp)
    DeskOutput m_deskOut;  // reused for every desk call
};

}  // namespace server

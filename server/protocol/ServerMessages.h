#pragma once
// The JSON texts the server sends. Every value is a JSON string, numbers included, exactly as
// the client reads them; names are escaped as JSON requires.
//
//   {"opt":"query","online":"12","version":"28"}
//   {"opt":"add","desk":"5","site":"2","name":"player7"}
//   {"opt":"change","info":[{"name":"player7","ready":"1"},{"name":"","ready":"0"},...]}
//   {"opt":"start","cards":"0,4,8,..."}
//   {"opt":"game","per":"2","surplus":"25","cards":"8,9,","score":"10","now":"3","must":"0"}
//   {"opt":"score","p0":"30","p1":"45"}
//   {"opt":"over","info":[{"name":"player7","result":"1"},...]}
//   {"opt":"run","site":"2","name":"player7"}
//   {"opt":"timeout"}
//
// Table talk, to every seat at the desk (the speaker's own included); only the index travels,
// 0 .. kTalkPhrases-1 a phrase, then the emotes (wire/GameConstants.h; server/README.md):
//
//   {"opt":"talk","site":"2","say":"5"}
//
// For a person's link coming back (rejoin; the protocol is written out in server/README.md):
//
//   {"opt":"hello","status":"ok","resume":"1","talk":"1","names":"1"}   (and "records":"1"
//                                                while records are kept)
//   {"opt":"hello","status":"refused","reason":"too many reconnects","retry":"42"}
//   {"opt":"presence","info":[{"away":"1","auto":"0"},...]}
//   {"opt":"resume","desk":"5","site":"2","name":"player7","playing":"1",
//    ("code":"123456","creator":"1" at a private desk) "info":[{"name":..,
//    "ready":..,"away":..,"auto":..,"surplus":..,"cards":..,"pass":..},...],"cards":"..",
//    "seen":"..","last":"..","lastsite":"1","score":"10","p0":"0","p1":"30","now":"2",
//    "must":"0","left":"21500"}
//
// For the records (the answers to "record" and "leaderboard"; written out in server/README.md):
//
//   {"opt":"record","games":"12","wins":"7","draws":"1","losses":"4","points":"1140",
//    "rating":"1516","last":[{"when":"1796000000","result":"2","points":"130",
//    "partner":"player3","opponents":"computer (hard),computer (hard)"},...]}
//   {"opt":"leaderboard","top":[{"place":"1","name":"player3","rating":"1532","games":"9"},...],
//    "place":"-1"}
//   {"opt":"record","status":"none"}       no token, or the store is away (also "leaderboard")
//
// Private desks (written out in server/README.md): "add" gains "code" at a private desk, and a
// join by code that fails is answered
//
//   {"opt":"join","status":"refused","reason":"wrong or expired code"}
//   {"opt":"join","status":"refused","reason":"too many wrong codes","retry":"42"}
//
// Watching a game (written out in server/README.md): the list, the answer to "watch" (the keys of
// "resume" that belong to no seat), the spectators' count and the end of a deserted desk:
//
//   {"opt":"desks","info":[{"desk":"3","p0":"120","p1":"35","seconds":"312","watchers":"2",
//    "seats":[{"name":"小明","bot":"0"},...]},...]}
//   {"opt":"watch","status":"ok","desk":"3","watchers":"2","playing":"1",("code":"123456")
//    "info":[...],"seen":"..","last":"..","lastsite":"1","score":"10","p0":"0","p1":"30",
//    "now":"2","must":"0","left":"21500"}
//   {"opt":"watch","status":"refused","reason":"desk full"}      also "sit", without "retry"
//   {"opt":"watchers","count":"3"}
//   {"opt":"unwatch","reason":"closed"}

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "server/game/RejoinSnapshot.h"
#include "wire/GameConstants.h"

namespace server {

inline constexpr std::string_view kServerClientVersion = kClientVersion;

struct SeatLine {
    std::string_view name;  // empty for a free seat
    int value = 0;          // ready flag (0 or 1) in "change", result in "over"
};

std::string queryMessage(std::size_t online);
// `code` non-empty at a private desk: added as "code", and "creator":"1" for the person who
// opened it (a creator coming back by the code finds 加电脑 again).
std::string addMessage(int desk, int seat, std::string_view name, std::string_view code = {},
                       bool creator = false);
std::string changeMessage(const std::array<SeatLine, 4>& seats);
std::string startMessage(const std::vector<int>& hand);
// `per` -1 when no seat acted; `cards` empty for a pass; `now` -1 when nobody moves next.
std::string gameMessage(int per, std::size_t surplus, const std::vector<int>& cards, int score,
                        int now, bool must);
std::string scoreMessage(int p0, int p1);
std::string overMessage(const std::array<SeatLine, 4>& seats);
std::string runMessage(int seat, std::string_view name);
std::string timeoutMessage();
// `say` in 0 .. kTalkCount-1.
std::string talkMessage(int seat, int say);

// ---- Names
// What the hall says of a name the person asked for (in "hello" or "name"): the name it shows,
// or why it was refused (a nameFaultText, or kNameInGame); both empty when none was asked for.
struct NameAnswer {
    std::string name;
    std::string_view error;
};
inline constexpr std::string_view kNameInGame = "in a game";
// {"opt":"name","name":"小明2"} or {"opt":"name","nameError":"too long"}: the answer to "name".
std::string nameMessage(const NameAnswer& answer);

// ---- Rejoin
// The answers to "hello". The refusal reasons are the kHello... texts; `retrySeconds` >= 0 adds
// "retry" (too many reconnects).
inline constexpr std::string_view kHelloBadToken = "bad token";
inline constexpr std::string_view kHelloAgain = "hello already received";
inline constexpr std::string_view kHelloSeated = "already seated";
inline constexpr std::string_view kHelloTooMany = "too many reconnects";
// `records`: the server keeps records, so "record" and "leaderboard" are understood. Every
// accepted hello also carries "talk":"1", "names":"1", "private":"1" and "watch":"1": this
// server understands "talk", "name", "create", "join" and "bots" (private desks), and "desks",
// "watch", "unwatch" and "sit" (watching a game). Either answer carries
// `name`'s "name" or "nameError" when the hello asked for a name.
std::string helloOkMessage(bool resume, bool records = false, const NameAnswer& name = {});
std::string helloRefusedMessage(std::string_view reason, long long retrySeconds = -1,
                                const NameAnswer& name = {});

struct PresenceLine {
    bool away = false;
    bool autoPlay = false;
};
std::string presenceMessage(const std::array<PresenceLine, 4>& seats);
std::string resumeMessage(const RejoinSnapshot& snapshot);

// ---- Private desks
// A join by code refused for `reason` (one of wire/GameConstants.h's kJoin...); `retrySeconds`
// >= 0 adds "retry" (too many wrong codes).
std::string joinRefusedMessage(std::string_view reason, long long retrySeconds = -1);
// A "create" refused for `reason` (kCreateTooMany).
std::string createRefusedMessage(std::string_view reason);

// ---- Watching a game
struct WatchSeat {
    std::string_view name;  // "" for a free seat
    bool bot = false;       // a computer player's own seat
};
// One desk of the list: a public desk whose game is running.
struct WatchListEntry {
    int desk = -1;
    std::array<int, 2> teamPoints{};
    long long seconds = 0;  // whole seconds since the deal
    int watchers = 0;
    std::array<WatchSeat, 4> seats;
};
std::string desksMessage(const std::vector<WatchListEntry>& desks);
// The accepted "watch": `snapshot` is a spectator's (seat -1, no hand); `watchers` counts the
// spectators with this one.
std::string watchMessage(const RejoinSnapshot& snapshot, int watchers);
// `reason` one of kJoinSeated, kJoinTooMany (with `retrySeconds` >= 0), kWatchNoDesk,
// kWatchFromAddress, kJoinFull, kWatchServerFull (wire/GameConstants.h).
std::string watchRefusedMessage(std::string_view reason, long long retrySeconds = -1);
// `reason` kSitNotWatching, kJoinPlaying or kSitNoSeat.
std::string sitRefusedMessage(std::string_view reason);
std::string watchersMessage(int count);
// To every spectator of a desk whose last person has gone.
std::string unwatchClosedMessage();

// ---- Records
inline constexpr std::string_view kRecordOpt = "record";
inline constexpr std::string_view kLeaderboardOpt = "leaderboard";

struct RecordFigures {
    long long games = 0;
    long long wins = 0;
    long long draws = 0;
    long long losses = 0;
    long long points = 0;  // taken by the player's team, summed
    long long rating = 0;  // rounded
};
struct RecordGame {
    long long when = 0;  // Unix seconds, when "over" was sent
    int result = 0;
    int points = 0;             // taken by the player's team
    std::string partner;        // a name, or computerName(level)
    std::string opponents;      // the next seat's, a comma, the one after the partner's
};
struct LeaderLine {
    int place = 0;
    std::string name;
    long long rating = 0;  // rounded
    long long games = 0;   // rated games
};
// How a computer player is named in "record": "computer (hard)".
std::string computerName(std::string_view level);
std::string recordMessage(const RecordFigures& figures, const std::vector<RecordGame>& last);
// `ownPlace` -1 when the asker has no rated game.
std::string leaderboardMessage(const std::vector<LeaderLine>& top, int ownPlace);
// `opt` kRecordOpt or kLeaderboardOpt: nothing to tell (no token, or the store is away).
std::string noRecordsMessage(std::string_view opt);

}  // namespace server

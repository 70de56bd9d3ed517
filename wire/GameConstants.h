#pragma once
// Values the client and the reference server must agree on, defined once for both. Plain C++:
// the server includes it without the engine.

#include <cstddef>
#include <cstdint>
#include <string_view>

// The client version: the server puts it in every "query" answer, and a client that reads
// another one stops.
inline constexpr const char* kClientVersion = "28";

// The TCP port the game is played on: the client dials it, and the server listens on it unless
// told otherwise.
inline constexpr std::uint16_t kGamePort = 9999;

// A turn as the desk counts it down: the local player has this many seconds before the desk
// passes or leads for them.
inline constexpr int kTurnSeconds = 30;
// The player's token, all the server knows of a person: this many hex digits (128 bits), sent
// in the hello of every link.
inline constexpr int kPlayerTokenDigits = 32;

// A well-formed token: exactly kPlayerTokenDigits hex digits, in either case.
constexpr bool isPlayerToken(std::string_view text) {
    if (text.size() != static_cast<std::size_t>(kPlayerTokenDigits)) {
        return false;
    }
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) {
            return false;
        }
    }
    return true;
}

// The "record" answer lists at most this many of the player's latest games, and the
// "leaderboard" answer at most this many players; the client keeps no more whatever it is sent.
inline constexpr int kLastGames = 20;
inline constexpr int kLeaderboardSize = 50;

// The server waits this much longer than the desk's countdown before it passes or leads for a
// silent person itself, so that the desk's own expiry normally comes first.
inline constexpr int kServerTurnGraceSeconds = 5;

// Table talk: a "talk" carries only the index of what was said. Indices 0 .. kTalkPhrases-1
// are the fixed phrases, the next kTalkEmotes the emotes; anything else is refused.
inline constexpr int kTalkPhrases = 8;
inline constexpr int kTalkEmotes = 6;
inline constexpr int kTalkCount = kTalkPhrases + kTalkEmotes;
// What each index means (the client has the words and pictures; the server's computer players
// choose by meaning).
enum TalkSay : int {
    kSayHurryUp = 0,      // 快点吧，等得花儿都谢了
    kSayWellPlayed = 1,   // 打得好！
    kSaySorry = 2,        // 不好意思
    kSayThanksPartner = 3,  // 谢谢搭档
    kSayOneMore = 4,      // 再来一局
    kSayTeamwork = 5,     // 配合默契
    kSayInTheBag = 6,     // 这把稳了
    kSayLetMeThink = 7,   // 别急，我想想
    kEmoteSmile = 8,
    kEmoteLaugh = 9,
    kEmoteSurprised = 10,
    kEmoteSad = 11,
    kEmoteAngry = 12,
    kEmoteCool = 13,
};
static_assert(kEmoteSmile == kTalkPhrases && kEmoteCool == kTalkCount - 1);
// One talk a person in this long; more are dropped (the server) and not sent (the client).
inline constexpr int kTalkEveryMillis = 3000;
// How long a bubble shows by the speaker's seat.
inline constexpr float kTalkBubbleSeconds = 3.0f;

// Private desks: a desk's code is this many decimal digits; a refused join by code carries one
// of these reasons (and "retry", whole seconds, with kJoinTooMany); the client puts them in words.
inline constexpr int kPrivateCodeDigits = 6;
inline constexpr std::string_view kJoinWrongCode = "wrong or expired code";
inline constexpr std::string_view kJoinTooMany = "too many wrong codes";
inline constexpr std::string_view kJoinFull = "desk full";
inline constexpr std::string_view kJoinPlaying = "game running";
inline constexpr std::string_view kJoinSeated = "already seated";
// A refused "create" carries this reason: the creator's address has its budget of live private
// desks.
inline constexpr std::string_view kCreateTooMany = "too many private desks";
// The levels of "bots", in the order the client offers them.
inline constexpr std::string_view kBotLevelNames[] = {"easy", "normal", "hard"};

// Watching a game: a refused "watch" or "sit" carries one of these reasons (a refused watch also
// kJoinSeated, kJoinTooMany with "retry", or kJoinFull; a refused sit kJoinPlaying), and
// "unwatch" from the server carries kUnwatchClosed. "desks" lists at most kWatchListSize desks.
inline constexpr std::string_view kWatchNoDesk = "no such desk";
inline constexpr std::string_view kWatchServerFull = "server full";
inline constexpr std::string_view kWatchFromAddress = "too many from your address";
inline constexpr std::string_view kSitNotWatching = "not watching";
inline constexpr std::string_view kSitNoSeat = "no free seat";
inline constexpr std::string_view kUnwatchClosed = "closed";
inline constexpr int kWatchListSize = 100;

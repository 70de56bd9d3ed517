#pragma once
// Turns the JSON text of one server frame into an stMsg, and the client version check.
//
// Every value the client reads is a JSON string, the numeric ones included; an int field is
// converted like atoi (leading white space, optional sign, digits up to the first other
// character; no digits gives 0; values beyond the int range saturate). The kind in "opt" is
// compared byte for byte, case-sensitively, and selects the keys read:
//
//   opt        keys read
//   "query"    online, version
//   "add"      desk (int), site (int), name, code, creator (int)
//   "change"   info[0..3]: name, ready (int)
//   "start"    cards
//   "over"     info[0..3]: name, result (int)
//   "game"     per (int), surplus, now (int), cards, score (int), must (int)
//   "score"    p0, p1
//   "run"      site (int), name
//   "hello"    status, reason, retry (int), resume (int), records (int), talk (int), names (int),
//              private (int, into private_desks), watch (int), name, nameError
//   "name"     name, nameError
//   "join"     status, reason, retry (int)
//   "sit"      status, reason, retry (int)
//   "create"   status, reason, retry (int)
//   "resume"   desk (int), site (int), name, playing (int), code, creator (int), cards, seen,
//              last, lastsite (int), score (int), p0, p1, now (int), must (int), left (int); info[0..3]: name,
//              ready (int), away (int), auto (int, into auto_play), surplus, cards, pass (int)
//   "presence" info[0..3]: away (int), auto (int, into auto_play)
//   "watch"    status, reason, retry (int), watchers (int), and the keys of "resume" (the
//              answer carries those that do not belong to one seat)
//   "watchers" count (int, into watchers)
//   "unwatch"  reason
//   "record"   status; games, wins, draws, losses, points, rating (int, into record);
//              last[0..kLastGames-1]: when (64-bit int), result, points (int), partner,
//              opponents
//   "leaderboard" status, place (int); top[0..kLeaderboardSize-1]: place, rating, games (int),
//              name
//   "desks"    info[0..kWatchListSize-1] into desks: desk, p0, p1, seconds, watchers (int except
//              p0, p1), seats[0..3]: name, bot (int, into bots)
//   "talk"     site (int), say (int); the scene checks both are in range
//   other      nothing ("timeout" among them)
//
// Bad data from the server never stops the link: a missing key, a value that is not a string, an
// "info" that is not an array or has fewer than four elements, or an element that is not an
// object leaves the affected fields at their initial values; elements after the fourth are
// ignored; other keys are ignored. "last" and "top" keep one entry per object element (other
// elements are skipped) and stop at their bounds (kLastGames, kLeaderboardSize) however long
// the array. "desks" skips an entry whose "desk" is missing or not a string, or whose "seats" is
// not an array of four objects (a row that names no desk, or not its four seats, would mislead);
// other missing keys keep their defaults.

#include <string>
#include <string_view>

#include "net/Message.h"
#include "wire/GameConstants.h"

enum class DecodeStatus {
    Ok,         // `out` is filled
    NotJson,    // the text does not parse: the link is finished
    NotObject,  // valid JSON but not an object: the message is dropped
};

// Decodes `text` into `out`, which should hold a fresh record's initial values.
DecodeStatus decodeMessage(std::string_view text, stMsg& out);

// The same, parsing inside `text` itself so the frame is not copied again; `text` is left
// scrambled. For the receive path, whose buffer is refilled for every frame.
DecodeStatus decodeMessageInPlace(std::string& text, stMsg& out);

// False only for a "query" answer whose version is not kClientVersion (whole-string compare);
// such a client must stop.
bool versionAccepted(const stMsg& msg);

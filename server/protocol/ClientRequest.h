#pragma once
// The requests a client sends, read strictly. The client writes desk and site as JSON numbers and
// the cards as a string:
//
//   {"opt":"query"}
//   {"opt":"add"}
//   {"opt":"change","type":"ready","desk":D,"site":S}
//   {"opt":"change","type":"leave","desk":D,"site":S}
//   {"opt":"game","desk":D,"site":S,"cards":"L"}      L empty for a pass
//   {"opt":"hello","token":"T"}                        the first frame of a link (rejoin);
//                                                      may carry "name":"N" (a string, else unread)
//   {"opt":"name","name":"N"}                          the person's name changes
//   {"opt":"auto","desk":D,"site":S,"on":N}            N non-zero: the computer player plays
//   {"opt":"record"}                                   the sender's figures and last games
//   {"opt":"leaderboard"}                              the best rated players, the sender's place
//   {"opt":"talk","desk":D,"site":S,"say":N}           table talk: N a phrase or an emote index
//   {"opt":"create"}                                   opens a private desk and seats the sender
//   {"opt":"join","code":"C"}                          sits at the private desk of code C
//   {"opt":"bots","desk":D,"site":S,"level":"L"}       the creator fills the free seats with
//                                                      computer players of level L
//   {"opt":"desks"}                                    the list of desks that can be watched
//   {"opt":"watch","desk":D}                           watch public desk D; or, without "desk",
//   {"opt":"watch","code":"C"}                         the private desk of code C
//   {"opt":"unwatch"}                                  stop watching
//   {"opt":"sit"}                                      a spectator takes a free seat
//
// Anything else (not JSON, not an object, an unknown opt or type, a missing key or a value of the
// wrong type) is malformed, and the server drops the connection that sent it. Extra keys are
// ignored. Whether a well-formed request makes sense (the right seat, a legal play, a token of 32
// hex digits, a code of 6 digits, a known level) is for the hall and the desk to decide. So is a "talk" whose "say" is missing or not
// an integer: it parses, with say -1, and the hall ignores it without closing the link.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace server {

struct ClientRequest {
    enum class Kind {
        Query, Add, Ready, Leave, Play, Hello, Auto, Record, Leaderboard, Talk, Create, Join, Bots,
        Name, Desks, Watch, Unwatch, Sit
    };
    Kind kind = Kind::Query;
    int desk = -1;           // Ready, Leave, Play, Auto, Talk, Bots; Watch by number
    int seat = -1;           // Ready, Leave, Play, Auto, Talk, Bots
    std::vector<int> cards;  // Play: empty for a pass
    std::string token;       // Hello: as sent, any text
    bool on = false;         // Auto
    int say = -1;            // Talk: as sent; -1 when missing or not an integer
    std::string code;        // Join, Watch by code: as sent, any text
    bool byCode = false;     // Watch: by "code" (a message without "desk")
    std::string level;       // Bots: as sent, any text
    // Hello, Name: as sent, any text (the hall checks it); Hello without a string "name": none.
    std::optional<std::string> name;
};

std::optional<ClientRequest> parseClientRequest(std::string_view text);

}  // namespace server

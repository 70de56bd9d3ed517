#pragma once
// Every text the client sends, built as plain text: no white space, keys in the order the server
// expects, numbers in decimal. `desk` and `site` are the desk number and seat from the "add"
// message that seated the client.

#include <string>
#include <vector>

std::string queryMessage();                        // {"opt":"query"}: hall state
std::string addMessage();                          // {"opt":"add"}: quick join
std::string readyMessage(int desk, int site);      // ready for the next game
std::string leaveMessage(int desk, int site);      // leave the desk
std::string passMessage(int desk, int site);       // pass: an empty card list
// Plays the selected cards: every code followed by a comma, the last one included.
std::string playMessage(int desk, int site, const std::vector<int>& codes);
// Leads one card when the turn's time ran out: the code alone, with no comma.
std::string leadMessage(int desk, int site, int code);
// {"opt":"hello","token":"<token>","name":"<name>"}: the first frame of every link; `token` is
// the player's 32 hex digits (CSettings::playerToken), written as it is; "name" only when `name`
// is not empty, escaped as JSON requires (an older server ignores it).
std::string helloMessage(const std::string& token, const std::string& name = {});
// {"opt":"name","name":"<name>"}: the player's new name; only on a link whose hello answer
// offered it (ServerFeatures::names).
std::string nameMessage(const std::string& name);
// {"opt":"auto","desk":D,"site":S,"on":1}: hands the seat to the server's computer player (on),
// or takes it back (off, "on":0).
std::string autoMessage(int desk, int site, bool on);
// {"opt":"record"} and {"opt":"leaderboard"}: the player's own figures and the best players;
// only on a link whose hello answer offered records (ServerFeatures::records).
std::string recordMessage();
std::string leaderboardMessage();
// {"opt":"talk","desk":D,"site":S,"say":N}: table talk, N a phrase (0 .. kTalkPhrases-1) or an
// emote (after them); only on a link whose hello answer offered it (ServerFeatures::talk).
std::string talkMessage(int desk, int site, int say);
// Private desks, only on a link whose hello answer offered them
// (ServerFeatures::privateDesks): {"opt":"create"} opens one and seats the player;
// {"opt":"join","code":"<code>"} sits at the desk of `code` (the digits typed, as typed);
// {"opt":"bots","desk":D,"site":S,"level":"<level>"} fills the free seats with computer players
// of `level` ("easy", "normal" or "hard").
std::string createDeskMessage();
std::string joinDeskMessage(const std::string& code);
std::string botsMessage(int desk, int site, const std::string& level);
// Watching, only on a link whose hello answer offered it (ServerFeatures::watch):
// {"opt":"desks"} asks for the desks that can be watched; {"opt":"watch","desk":D} watches
// public desk D; {"opt":"watch","code":"<code>"} the private desk of `code` (as typed).
std::string desksMessage();
std::string watchDeskMessage(int desk);
std::string watchCodeMessage(const std::string& code);
// Watching a desk: {"opt":"unwatch"} stops watching it, {"opt":"sit"} takes its first free seat
// between games.
std::string unwatchMessage();
std::string sitMessage();

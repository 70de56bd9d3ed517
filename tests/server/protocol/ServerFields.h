#pragma once
// Reads keys of the server's rejoin and record texts ("hello", "resume", "presence", "record",
// "leaderboard"), which the client's decoder in net/ does not know yet: every value is a JSON
// string, so each reads as one.

#include <string>

// The string at `key` of a server text; "" when the text or the key is missing.
std::string fieldOf(const std::string& text, const char* key);
// The string at info[index][key]; "" when missing.
std::string infoOf(const std::string& text, int index, const char* key);
// The same for any array of objects: text[array][index][key]; "" when missing.
std::string itemOf(const std::string& text, const char* array, int index, const char* key);
// The number of items in text[array]; -1 when it is not an array.
int itemCount(const std::string& text, const char* array);

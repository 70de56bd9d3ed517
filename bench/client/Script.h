#pragma once
// The server texts the benchmark shows the client (every value a JSON string, as the real server
// sends them): a seat at desk 0, a full 27-card deal, another seat's turn, and a burst of plays.

#include <string>
#include <vector>

// "add" (desk 0, seat 0), "change" (four ready players), "start" (27 cards), and a "game" that
// starts seat 1's turn: the client ends up at a dealt desk waiting for someone else.
std::vector<std::string> dealtDeskScript();
// `count` "game" texts in which seats 1, 2 and 3 play single cards in turn (never seat 0's turn).
std::vector<std::string> playBurstScript(int count);

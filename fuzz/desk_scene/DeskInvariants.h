#pragma once
// What must hold of a running desk after every step of any run, and of every text it sends. A
// broken property aborts through fuzzing::require, naming itself.

#include <string>
#include <vector>

class CDeskScene;

// The hand, the table rows and the layer's card children agree; the hand is laid out; the seat
// map and the seat records agree; the turn names a mapped seat or none; a shown countdown is a
// number the digit atlas can draw; the local seat's card count stays hidden.
void checkDesk(CDeskScene& desk);

// Every text the client sent is one JSON object of a kind the server reads.
void checkSent(const std::vector<std::string>& texts);

#pragma once
// Which sound effects go with a play, as data: the caller plays each path once, in order.

#include <cstddef>
#include <string_view>
#include <vector>

#include "cards/HandRules.h"

// The player's own play, accepted by canBeat and sent: "sound/cp.wav", then "sound/3.mp3" for
// same cards of exactly four cards.
std::vector<std::string_view> ownPlaySounds(const BeatResult& result, std::size_t cardCount);

// A seat's play shown from a server message, classified as received (not sorted):
// a pass gives "sound/by.mp3"; any cards give "sound/cp.wav", then "sound/at.wav" for same cards
// or "sound/boom.mp3" for a bomb.
std::vector<std::string_view> shownPlaySounds(const std::vector<int>& cardsAsReceived);

// The server's echo of the player's own play, whose card sound the press already played: the
// sounds of shownPlaySounds without "sound/cp.wav", which is not played a second time.
std::vector<std::string_view> echoedPlaySounds(const std::vector<int>& cardsAsReceived);

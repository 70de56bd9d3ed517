#pragma once
// The words of the name panel: a random name to suggest, and why a name was refused, in the
// player's language. Plain C++, no engine.

#include <random>
#include <string>
#include <string_view>

namespace namewords {

// One of our made-up names followed by a number from 1 to 99; always passes checkPlayerName.
std::string suggestion(std::mt19937& random);

// What the panel shows for a refusal: `reason` is a "nameError" text (wire/PlayerName.h's
// nameFaultText, or the server's "in a game"); a reason this build does not know is shown as the
// server sent it.
std::string refusalText(std::string_view reason);

}  // namespace namewords

#pragma once
// The comparison step of canBeat on hands already classified, shared with the legal-play finder
// so that both decide by the very same rule. Internal to cardrules.

#include <cstddef>

#include "cards/HandRules.h"

// last: the classified last play with its card count (0 when leading); candidate likewise. The
// caller has already refused an empty candidate or one holding a code outside 0..53.
BeatResult beatClassified(const HandType& last, std::size_t lastCount, const HandType& candidate,
                          std::size_t candidateCount);

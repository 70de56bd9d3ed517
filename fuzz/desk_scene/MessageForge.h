#pragma once
// Server messages forged from fuzz bytes: the JSON text a hostile or broken server could send to
// a seated client. The first byte picks the kind (the real ones, mostly "game", and texts the
// client does not know); each field then takes a byte that picks a value worth trying: valid
// seats and their neighbours, huge and negative numbers, numbers that are not strings, missing
// keys, and card lists that are valid, duplicated, out of range, empty, very long or malformed.

#include <string>

#include "fuzz/support/FuzzBytes.h"

std::string forgeMessage(FuzzBytes& in);

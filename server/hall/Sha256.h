#pragma once
// SHA-256 (FIPS 180-4) of a byte string, for the hall's player tokens: the server keeps and logs
// only their hashes. No crypto library is part of every build (the Windows one has none), so it
// is written out here; tests check it against the standard's vectors.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace server {

using Sha256Digest = std::array<std::uint8_t, 32>;

Sha256Digest sha256(std::string_view bytes);
// Lowercase hex, two digits a byte.
std::string toHex(const Sha256Digest& digest);

}  // namespace server

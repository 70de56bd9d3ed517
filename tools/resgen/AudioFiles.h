#pragma once
// Writers for the sound files: 16-bit PCM WAV, and MP3 through libmp3lame (constant bit rate,
// with LAME's info frame so players that honour it skip the encoder's padding and loop cleanly).

#include <string>

#include "tools/resgen/Synth.h"

namespace resgen {

bool writeWav(const std::string& path, const Samples& mono);
// Mono when right is empty, stereo otherwise (both channels the same length).
bool writeMp3(const std::string& path, const Samples& left, const Samples& right, int kbps);

}  // namespace resgen

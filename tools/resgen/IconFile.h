#pragma once
// Windows' icon file for the programs (linked into both .exe files by their resource script):
// the program's icon (IconPicture.cpp) drawn at each of kIconSizes, each stored as a PNG, which
// an .ico may hold since Windows Vista.
//
//   bytes        what
//   0..5         header: reserved 0, type 1 (icon), the number of pictures (u16 each, LE)
//   6 + 16 i     entry i: width, height (one byte each, 0 for 256), colours 0, reserved 0,
//                planes 1, bits per pixel 32 (u16), the PNG's size and offset (u32)
//   after        the PNGs, in the entries' order

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace resgen {

constexpr std::array<int, 4> kIconSizes = {16, 32, 48, 256};

// One picture of the file: its side in pixels and its PNG bytes.
struct IconImage {
    int size = 0;
    std::vector<unsigned char> png;
};

// The file's bytes for `images` (each 1 to 256 pixels square).
std::vector<unsigned char> iconFileBytes(const std::vector<IconImage>& images);
// Draws the icon at every size of kIconSizes (at drawing scale 1) and writes the file. False on
// failure (SDL_GetError says why).
bool writeIconFile(const std::string& path);

}  // namespace resgen

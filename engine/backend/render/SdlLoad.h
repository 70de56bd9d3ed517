#pragma once
// Image and text loading with SDL_image and SDL_ttf; neither needs a window or SDL_Init.
// Main thread only (SDL_ttf is not thread-safe).

#include <memory>
#include <string>

#include "engine/platform/Backend.h"

struct SDL_Surface;

namespace engine::render {

// A PNG (or any SDL_image format) as an SdlTexture; null when the file is missing or unreadable.
// A PNG is only opened for its size here and decoded when first drawn (SdlTexture); other
// formats are decoded at once.
std::shared_ptr<Texture> loadImage(const std::string& path);

// The image in a file as an ARGB8888 surface and whether every pixel of it is opaque; null when
// it cannot be decoded.
SDL_Surface* decodeImage(const std::string& path, bool& opaque);

// One line of UTF-8 text in white, antialiased; null when the font cannot be opened. Fonts stay
// open per (path, size) until closeFonts. An empty text gives width 0 and the font's height; a
// text wider than 8192 pixels is cut to the characters that fit.
std::shared_ptr<Texture> renderText(const std::string& fontPath, int pointSize,
                                    const std::string& utf8);

// Closes the cached fonts and SDL_ttf (at exit; renderText opens them again if called later).
void closeFonts();

}  // namespace engine::render

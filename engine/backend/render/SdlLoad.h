#pragma once
// Image and text loading with SDL_image and SDL_ttf; neither needs a window or SDL_Init.
// Main thread only (SDL_ttf is not thread-safe).

#include <memory>
#include <string>

#include "engine/platform/Backend.h"

namespace engine::render {

// A PNG (or any SDL_image format) as an SdlTexture; null when the file is missing or unreadable.
std::shared_ptr<Texture> loadImage(const std::string& path);

// One line of UTF-8 text in white, antialiased; null when the font cannot be opened. Fonts stay
// open per (path, size) until closeFonts. An empty text gives width 0 and the font's height; a
// text wider than 8192 pixels is cut to the characters that fit.
std::shared_ptr<Texture> renderText(const std::string& fontPath, int pointSize,
                                    const std::string& utf8);

// Closes the cached fonts and SDL_ttf (at exit; renderText opens them again if called later).
void closeFonts();

}  // namespace engine::render

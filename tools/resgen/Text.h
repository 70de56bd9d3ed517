#pragma once
// Text for the generated pictures, rendered with SDL_ttf from fonts of Debian packages.
// Text is rendered large, cropped to its ink, then scaled down into the box it must fill, so small
// glyphs keep clean anti-aliased edges. Outlines are grown from the large rendering.

#include <string>

#include "tools/resgen/Canvas.h"

namespace resgen {

// Font files the pictures use.
extern const char* const kLatinBoldFont;       // DejaVu Sans Bold
extern const char* const kLatinCondensedFont;  // DejaVu Sans Condensed Bold
extern const char* const kCjkFont;             // Droid Sans Fallback (Latin and Chinese)

struct TextStyle {
    std::string font = kLatinBoldFont;
    bool bold = false;      // synthetic emboldening (for fonts without a bold face)
    double inkHeight = 20;  // height of the ink box in target points
    // When set, the scale is the one that gives this text's ink inkHeight, so a set of glyphs
    // (digits, ranks) shares one size whatever their own ink (a "Q" keeps its tail below).
    std::string scaleFrom;
    double maxWidth = 1e9;  // ink wider than this is squeezed horizontally to fit
    double outline = 0;     // outline width in target points, 0 for none
    Color outlineColor{0, 0, 0, 1};
};

// The ink of a text and of its outline at the drawing scale, aligned: both masks have the same
// size (pixels); the outline mask is empty when no outline was asked for.
struct TextInk {
    Mask fill;
    Mask outline;
};

// False (and empty masks) when the font cannot be opened or the text renders nothing.
bool renderText(const std::string& utf8, const TextStyle& style, TextInk& out);

// Draws the text with its ink centred on (cx, cy): the outline first, then the fill with paint.
bool drawText(Canvas& canvas, const std::string& utf8, const TextStyle& style, double cx, double cy,
              const Paint& paint);

}  // namespace resgen

#include "tools/resgen/Text.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>

namespace resgen {

const char* const kLatinBoldFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const char* const kLatinCondensedFont =
    "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf";
const char* const kCjkFont = "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf";

namespace {

constexpr int kRenderPoints = 160;  // size of the large rendering the ink is cut from

// The alpha of a rendered line of text, cropped to its ink and padded by pad on each side.
bool inkMask(const std::string& utf8, const TextStyle& style, int pad, Mask& out) {
    TTF_Font* font = TTF_OpenFont(style.font.c_str(), kRenderPoints);
    if (!font) return false;
    if (style.bold) TTF_SetFontStyle(font, TTF_STYLE_BOLD);
    SDL_Surface* raw = TTF_RenderUTF8_Blended(font, utf8.c_str(), SDL_Color{255, 255, 255, 255});
    TTF_CloseFont(font);
    if (!raw) return false;
    SDL_Surface* s = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(raw);
    if (!s) return false;

    int x0 = s->w, y0 = s->h, x1 = -1, y1 = -1;
    auto alpha = [&](int x, int y) {
        return static_cast<const Uint8*>(s->pixels)[static_cast<size_t>(y) * s->pitch + x * 4 + 3];
    };
    for (int y = 0; y < s->h; ++y) {
        for (int x = 0; x < s->w; ++x) {
            if (alpha(x, y) > 0) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
        }
    }
    if (x1 < 0) {
        SDL_FreeSurface(s);
        return false;
    }
    out.width = x1 - x0 + 1 + 2 * pad;
    out.height = y1 - y0 + 1 + 2 * pad;
    out.a.assign(static_cast<size_t>(out.width) * out.height, 0.0f);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            out.a[static_cast<size_t>(y - y0 + pad) * out.width + (x - x0 + pad)] =
                alpha(x, y) / 255.0f;
        }
    }
    SDL_FreeSurface(s);
    return true;
}

}  // namespace

bool renderText(const std::string& utf8, const TextStyle& style, TextInk& out) {
    out = {};
    // First pass to learn the ink size, which fixes the scale and so the outline width up here.
    Mask probe, reference;
    if (!inkMask(utf8, style, 0, probe)) return false;
    if (!style.scaleFrom.empty() && !inkMask(style.scaleFrom, style, 0, reference)) return false;
    const Mask& sizer = style.scaleFrom.empty() ? probe : reference;
    // Target sizes in pixels at the drawing scale.
    const double pixels = drawScale();
    const double outline = style.outline * pixels;
    double scale = style.inkHeight * pixels / sizer.height;  // large -> target
    double sx = std::min(scale, style.maxWidth * pixels / probe.width);
    int pad = static_cast<int>(std::ceil((outline + 1) / scale));
    Mask big;
    if (!inkMask(utf8, style, pad, big)) return false;

    int w = std::max(1, static_cast<int>(std::lround(big.width * sx)));
    int h = std::max(1, static_cast<int>(std::lround(big.height * scale)));
    out.fill = resampled(big, w, h);
    if (style.outline > 0) {
        out.outline = resampled(dilated(big, static_cast<int>(std::lround(outline / scale))), w, h);
    }
    return true;
}

bool drawText(Canvas& canvas, const std::string& utf8, const TextStyle& style, double cx, double cy,
              const Paint& paint) {
    TextInk ink;
    if (!renderText(utf8, style, ink)) return false;
    const double pixels = drawScale();
    int x = static_cast<int>(std::lround(cx - ink.fill.width / pixels / 2.0));
    int y = static_cast<int>(std::lround(cy - ink.fill.height / pixels / 2.0));
    if (style.outline > 0) canvas.fill(ink.outline, x, y, solid(style.outlineColor));
    canvas.fill(ink.fill, x, y, paint);
    return true;
}

}  // namespace resgen

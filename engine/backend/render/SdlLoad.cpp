#include "engine/backend/render/SdlLoad.h"

#include <SDL_image.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <map>
#include <utility>

#include "engine/backend/render/SdlTexture.h"

namespace engine::render {

namespace {

// Open fonts by (path, point size); never destroyed except by closeFonts.
std::map<std::pair<std::string, int>, TTF_Font*>& fonts() {
    static auto* cache = new std::map<std::pair<std::string, int>, TTF_Font*>();
    return *cache;
}

TTF_Font* openFont(const std::string& path, int pointSize) {
    auto key = std::make_pair(path, pointSize);
    auto found = fonts().find(key);
    if (found != fonts().end()) {
        return found->second;
    }
    if (!TTF_WasInit() && TTF_Init() != 0) {
        std::fprintf(stderr, "engine: SDL_ttf: %s\n", TTF_GetError());
        return nullptr;
    }
    TTF_Font* font = TTF_OpenFont(path.c_str(), pointSize);
    if (!font) {
        return nullptr;  // not cached: the caller reports it
    }
    fonts().emplace(key, font);
    return font;
}

// Converts to the one pixel format the canvases expect, freeing the original.
SDL_Surface* toArgb(SDL_Surface* surface) {
    if (!surface || surface->format->format == SDL_PIXELFORMAT_ARGB8888) {
        return surface;
    }
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(surface);
    return converted;
}

// The widest line rendered, in pixels: several screens, more than any label shows. Texts come
// from the server as received; a name of a megabyte, rendered whole, took a surface of over a
// gigabyte and seconds of the main thread.
constexpr int kMaxLineWidth = 8192;

// The longest start of `utf8`, in whole characters, that fits in kMaxLineWidth.
std::string fittingStart(TTF_Font* font, const std::string& utf8) {
    int extent = 0;
    int characters = 0;
    if (TTF_MeasureUTF8(font, utf8.c_str(), kMaxLineWidth, &extent, &characters) != 0) {
        return utf8;
    }
    std::size_t end = 0;
    for (int i = 0; i < characters && end < utf8.size(); ++i) {
        ++end;
        while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) {
            ++end;  // a continuation byte belongs to the character before it
        }
    }
    return utf8.substr(0, end);
}

// Whether every pixel of an ARGB8888 surface is fully opaque.
bool isOpaque(const SDL_Surface* surface) {
    for (int y = 0; y < surface->h; ++y) {
        const auto* row = reinterpret_cast<const Uint32*>(
            static_cast<const Uint8*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch);
        for (int x = 0; x < surface->w; ++x) {
            if ((row[x] >> 24) != 0xff) {
                return false;
            }
        }
    }
    return true;
}

// A PNG's size from its header (the signature, then the IHDR chunk: width and height as 32-bit
// big-endian numbers); false for a file that is not a PNG or too short to be one.
bool readPngSize(const std::string& path, int& width, int& height) {
    SDL_RWops* file = SDL_RWFromFile(path.c_str(), "rb");
    if (!file) {
        return false;
    }
    Uint8 header[24] = {};
    const bool complete = SDL_RWread(file, header, sizeof header, 1) == 1;
    SDL_RWclose(file);
    static const Uint8 kSignature[12] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13};
    if (!complete || SDL_memcmp(header, kSignature, sizeof kSignature) != 0 ||
        SDL_memcmp(header + 12, "IHDR", 4) != 0) {
        return false;
    }
    const auto bigEndian = [&header](int at) {
        return (Uint32{header[at]} << 24) | (Uint32{header[at + 1]} << 16) |
               (Uint32{header[at + 2]} << 8) | Uint32{header[at + 3]};
    };
    const Uint32 w = bigEndian(16);
    const Uint32 h = bigEndian(20);
    // PNG allows up to 2^31 - 1; anything past this is no image of ours and would not decode.
    constexpr Uint32 kLargest = 1u << 16;
    if (w == 0 || h == 0 || w > kLargest || h > kLargest) {
        return false;
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

}  // namespace

SDL_Surface* decodeImage(const std::string& path, bool& opaque) {
    SDL_Surface* decoded = IMG_Load(path.c_str());
    // A file without alpha or a transparent colour is opaque without looking at its pixels.
    const bool noTransparency =
        decoded && decoded->format->Amask == 0 && SDL_HasColorKey(decoded) == SDL_FALSE;
    SDL_Surface* surface = toArgb(decoded);
    opaque = surface && (noTransparency || isOpaque(surface));
    return surface;
}

std::shared_ptr<Texture> loadImage(const std::string& path) {
    int width = 0;
    int height = 0;
    if (readPngSize(path, width, height)) {
        return std::make_shared<SdlTexture>(path, width, height);
    }
    bool opaque = false;
    SDL_Surface* surface = decodeImage(path, opaque);
    if (!surface) {
        return nullptr;
    }
    return std::make_shared<SdlTexture>(surface, surface->w, surface->h, opaque);
}

std::shared_ptr<Texture> renderText(const std::string& fontPath, int pointSize,
                                    const std::string& utf8) {
    TTF_Font* font = openFont(fontPath, pointSize);
    if (!font) {
        return nullptr;
    }
    if (utf8.empty()) {
        return std::make_shared<SdlTexture>(nullptr, 0, TTF_FontHeight(font));
    }
    const std::string line = fittingStart(font, utf8);
    SDL_Surface* surface = toArgb(TTF_RenderUTF8_Blended(font, line.c_str(), {255, 255, 255, 255}));
    if (!surface) {
        // Text the font cannot render (zero width) is drawn as nothing, at the font's height.
        return std::make_shared<SdlTexture>(nullptr, 0, TTF_FontHeight(font));
    }
    return std::make_shared<SdlTexture>(surface, surface->w, surface->h);
}

void closeFonts() {
    for (auto& [key, font] : fonts()) {
        TTF_CloseFont(font);
    }
    fonts().clear();
    if (TTF_WasInit()) {
        TTF_Quit();
    }
}

}  // namespace engine::render

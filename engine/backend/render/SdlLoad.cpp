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

}  // namespace

std::shared_ptr<Texture> loadImage(const std::string& path) {
    SDL_Surface* surface = toArgb(IMG_Load(path.c_str()));
    if (!surface) {
        return nullptr;
    }
    return std::make_shared<SdlTexture>(surface, surface->w, surface->h);
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
    SDL_Surface* surface = toArgb(TTF_RenderUTF8_Blended(font, utf8.c_str(), {255, 255, 255, 255}));
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

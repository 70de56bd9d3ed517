#include "engine/backend/render/Canvas.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "engine/backend/render/SdlTexture.h"

namespace engine::render {

namespace {
// Canvases alive now; normally one.
std::vector<Canvas*>& liveCanvases() {
    static std::vector<Canvas*>* canvases = new std::vector<Canvas*>();
    return *canvases;
}
}  // namespace

Canvas::Canvas(SDL_Renderer* renderer) : m_renderer(renderer) {
    liveCanvases().push_back(this);
}

Canvas::~Canvas() {
    auto& live = liveCanvases();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
    for (auto& [owner, copy] : m_copies) {
        SDL_DestroyTexture(copy);
    }
}

void Canvas::forgetEverywhere(const SdlTexture* texture) {
    for (Canvas* canvas : liveCanvases()) {
        auto found = canvas->m_copies.find(texture);
        if (found != canvas->m_copies.end()) {
            SDL_DestroyTexture(found->second);
            canvas->m_copies.erase(found);
        }
    }
}

void Canvas::clear(DrawColor color) {
    SDL_SetRenderDrawColor(m_renderer, color.r, color.g, color.b, 255);
    SDL_RenderClear(m_renderer);
}

SDL_Texture* Canvas::textureFor(const SdlTexture& texture) {
    auto found = m_copies.find(&texture);
    if (found != m_copies.end()) {
        return found->second;
    }
    SDL_Texture* copy = SDL_CreateTextureFromSurface(m_renderer, texture.surface());
    if (!copy) {
        std::fprintf(stderr, "engine: cannot make a texture: %s\n", SDL_GetError());
        return nullptr;
    }
    m_copies.emplace(&texture, copy);
    return copy;
}

void Canvas::draw(const Texture& texture, const PixelRect& source, const PixelRect& target,
                  DrawColor tint) {
    const auto& sdlTexture = static_cast<const SdlTexture&>(texture);
    if (!sdlTexture.surface() || tint.a == 0 || target.w <= 0 || target.h <= 0) {
        return;
    }
    SDL_Texture* copy = textureFor(sdlTexture);
    if (!copy) {
        return;
    }
    SDL_SetTextureColorMod(copy, tint.r, tint.g, tint.b);
    SDL_SetTextureAlphaMod(copy, tint.a);
    SDL_SetTextureBlendMode(
        copy, sdlTexture.opaque() && tint.a == 255 ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
    const SDL_Rect from{static_cast<int>(source.x), static_cast<int>(source.y),
                        static_cast<int>(source.w), static_cast<int>(source.h)};
    const SDL_FRect to{target.x, target.y, target.w, target.h};
    SDL_RenderCopyF(m_renderer, copy, &from, &to);
}

void Canvas::present() {
    SDL_RenderPresent(m_renderer);
}

}  // namespace engine::render

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

bool keepsPixels(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    return SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0;
}

SDL_Rect toSdl(const PixelArea& area) {
    return {area.x0, area.y0, area.x1 - area.x0, area.y1 - area.y0};
}
}  // namespace

Canvas::Canvas(SDL_Renderer* renderer) : m_renderer(renderer), m_keepsPixels(keepsPixels(renderer)) {
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

void Canvas::beginFrame(DrawColor background) {
    m_background = background;
    m_background.a = 255;
    m_calls.clear();
    m_textures.clear();
}

void Canvas::draw(const Texture& texture, const PixelRect& source, const PixelRect& target,
                  DrawColor tint) {
    if (tint.a == 0 || target.w <= 0 || target.h <= 0) {
        return;
    }
    // Whole source pixels, as the renderer takes them.
    const PixelRect from{static_cast<float>(static_cast<int>(source.x)),
                         static_cast<float>(static_cast<int>(source.y)),
                         static_cast<float>(static_cast<int>(source.w)),
                         static_cast<float>(static_cast<int>(source.h))};
    m_calls.push_back({texture.serial(), from, target, tint});
    m_textures.push_back(&static_cast<const SdlTexture&>(texture));
}

PixelArea Canvas::areaToDraw(int width, int height) const {
    const PixelArea whole{0, 0, width, height};
    if (!m_keepsPixels || !m_pictureKept || width != m_shownWidth || height != m_shownHeight ||
        !sameColor(m_background, m_shownBackground)) {
        return whole;
    }
    return settledArea(changedArea(m_shownCalls, m_calls), m_calls, width, height);
}

void Canvas::drawCall(size_t index) {
    const DrawCall& call = m_calls[index];
    const SdlTexture& texture = *m_textures[index];
    if (!texture.surface()) {
        return;
    }
    SDL_Texture* copy = textureFor(texture);
    if (!copy) {
        return;
    }
    SDL_SetTextureColorMod(copy, call.tint.r, call.tint.g, call.tint.b);
    SDL_SetTextureAlphaMod(copy, call.tint.a);
    SDL_SetTextureBlendMode(
        copy, texture.opaque() && call.tint.a == 255 ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
    const SDL_Rect from{static_cast<int>(call.source.x), static_cast<int>(call.source.y),
                        static_cast<int>(call.source.w), static_cast<int>(call.source.h)};
    const SDL_FRect to{call.target.x, call.target.y, call.target.w, call.target.h};
    SDL_RenderCopyF(m_renderer, copy, &from, &to);
}

void Canvas::endFrame() {
    int width = 0;
    int height = 0;
    SDL_GetRendererOutputSize(m_renderer, &width, &height);
    const PixelArea area = areaToDraw(width, height);
    const bool whole = area.x0 == 0 && area.y0 == 0 && area.x1 == width && area.y1 == height;
    if (whole) {
        SDL_RenderSetClipRect(m_renderer, nullptr);
        SDL_SetRenderDrawColor(m_renderer, m_background.r, m_background.g, m_background.b, 255);
        SDL_RenderClear(m_renderer);
    } else if (!area.empty()) {
        const SDL_Rect clip = toSdl(area);
        SDL_RenderSetClipRect(m_renderer, &clip);
        SDL_SetRenderDrawBlendMode(m_renderer, SDL_BLENDMODE_NONE);
        SDL_SetRenderDrawColor(m_renderer, m_background.r, m_background.g, m_background.b, 255);
        SDL_RenderFillRect(m_renderer, &clip);
        SDL_SetRenderDrawBlendMode(m_renderer, SDL_BLENDMODE_BLEND);
    }
    if (!area.empty()) {
        for (size_t i = 0; i < m_calls.size(); ++i) {
            if (whole || area.intersects(coverOf(m_calls[i].target))) {
                drawCall(i);
            }
        }
        SDL_RenderSetClipRect(m_renderer, nullptr);
        show(area, whole);
    }
    m_lastArea = area;
    m_shownCalls.swap(m_calls);
    m_shownBackground = m_background;
    m_shownWidth = width;
    m_shownHeight = height;
    m_pictureKept = true;
    m_calls.clear();
    m_textures.clear();
}

void Canvas::show(const PixelArea& area, bool whole) {
    SDL_Window* window = SDL_RenderGetWindow(m_renderer);
    if (whole || !window) {
        SDL_RenderPresent(m_renderer);
        return;
    }
    // The software renderer draws into the window's surface; show only the part drawn.
    SDL_RenderFlush(m_renderer);
    const SDL_Rect rect = toSdl(area);
    SDL_UpdateWindowSurfaceRects(window, &rect, 1);
}

}  // namespace engine::render

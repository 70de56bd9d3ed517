#pragma once
// Draws SdlTextures through one SDL_Renderer, keeping the renderer's copy of each texture it has
// drawn (made on first use, dropped when the SdlTexture dies). Destroy the Canvas before its
// renderer. Main thread only.

#include <SDL.h>

#include <unordered_map>

#include "engine/platform/Backend.h"

namespace engine::render {

class SdlTexture;

class Canvas {
public:
    explicit Canvas(SDL_Renderer* renderer);  // does not take ownership
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    SDL_Renderer* renderer() const { return m_renderer; }
    void clear(DrawColor color);
    // `texture` must be an SdlTexture; tint multiplies colour, tint.a is the opacity.
    void draw(const Texture& texture, const PixelRect& source, const PixelRect& target,
              DrawColor tint);
    void present();

    // Drops the renderer copies of `texture` in every live canvas (called by ~SdlTexture).
    static void forgetEverywhere(const SdlTexture* texture);

private:
    SDL_Texture* textureFor(const SdlTexture& texture);

    SDL_Renderer* m_renderer = nullptr;
    std::unordered_map<const SdlTexture*, SDL_Texture*> m_copies;
};

}  // namespace engine::render

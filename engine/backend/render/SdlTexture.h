#pragma once
// A Texture kept as an SDL surface (ARGB8888, straight alpha), shared by both back ends.
// Canvas makes the renderer's copy of it on first draw. Main thread only.

#include <SDL.h>

#include "engine/platform/Backend.h"

namespace engine::render {

class SdlTexture : public Texture {
public:
    // Takes ownership of `surface`, which may be null for an empty image of the given size
    // (an empty line of text has width 0 and the font's height).
    SdlTexture(SDL_Surface* surface, int width, int height);
    ~SdlTexture() override;
    SdlTexture(const SdlTexture&) = delete;
    SdlTexture& operator=(const SdlTexture&) = delete;

    SDL_Surface* surface() const { return m_surface; }

private:
    SDL_Surface* m_surface = nullptr;
};

}  // namespace engine::render

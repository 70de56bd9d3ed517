#pragma once
// A Texture kept as an SDL surface (ARGB8888, straight alpha), shared by both back ends.
// Canvas makes the renderer's copy of it on first draw. Main thread only.

#include <SDL.h>

#include "engine/platform/Backend.h"

namespace engine::render {

class SdlTexture : public Texture {
public:
    // Takes ownership of `surface`, which may be null for an empty image of the given size
    // (an empty line of text has width 0 and the font's height). `opaque`: no pixel of it lets
    // anything through, so it is copied without blending (the table's background, a screen of
    // pixels every frame).
    SdlTexture(SDL_Surface* surface, int width, int height, bool opaque = false);
    ~SdlTexture() override;
    SdlTexture(const SdlTexture&) = delete;
    SdlTexture& operator=(const SdlTexture&) = delete;

    SDL_Surface* surface() const { return m_surface; }
    bool opaque() const { return m_opaque; }

private:
    SDL_Surface* m_surface = nullptr;
    bool m_opaque = false;
};

}  // namespace engine::render

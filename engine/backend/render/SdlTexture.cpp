#include "engine/backend/render/SdlTexture.h"

#include "engine/backend/render/Canvas.h"

namespace engine::render {

SdlTexture::SdlTexture(SDL_Surface* surface, int width, int height, bool opaque)
    : m_surface(surface), m_opaque(opaque) {
    m_width = width;
    m_height = height;
}

SdlTexture::~SdlTexture() {
    Canvas::forgetEverywhere(this);
    if (m_surface) {
        SDL_FreeSurface(m_surface);
    }
}

}  // namespace engine::render

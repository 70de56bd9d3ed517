#include "engine/backend/render/SdlTexture.h"

#include <cstdio>
#include <utility>

#include "engine/backend/render/Canvas.h"
#include "engine/backend/render/SdlLoad.h"

namespace engine::render {

SdlTexture::SdlTexture(SDL_Surface* surface, int width, int height, bool opaque)
    : m_surface(surface), m_opaque(opaque) {
    m_width = width;
    m_height = height;
}

SdlTexture::SdlTexture(std::string path, int width, int height)
    : m_undecodedPath(std::move(path)) {
    m_width = width;
    m_height = height;
}

SdlTexture::~SdlTexture() {
    Canvas::forgetEverywhere(this);
    if (m_surface) {
        SDL_FreeSurface(m_surface);
    }
}

SDL_Surface* SdlTexture::surface() const {
    decode();
    return m_surface;
}

bool SdlTexture::opaque() const {
    decode();
    return m_opaque;
}

void SdlTexture::decode() const {
    if (m_undecodedPath.empty()) {
        return;
    }
    const std::string path = std::move(m_undecodedPath);
    m_undecodedPath.clear();
    SDL_Surface* surface = decodeImage(path, m_opaque);
    if (surface && (surface->w != m_width || surface->h != m_height)) {
        std::fprintf(stderr, "engine: %s decodes to %d x %d, its header said %d x %d\n",
                     path.c_str(), surface->w, surface->h, m_width, m_height);
        SDL_FreeSurface(surface);
        surface = nullptr;
    } else if (!surface) {
        std::fprintf(stderr, "engine: cannot decode %s: %s\n", path.c_str(), SDL_GetError());
    }
    m_surface = surface;
}

}  // namespace engine::render

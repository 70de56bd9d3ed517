#include "engine/backend/render/SdlTexture.h"

#include <cstdio>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "engine/backend/render/Canvas.h"
#include "engine/backend/render/SdlLoad.h"

namespace engine::render {

namespace {

// Joins the decoding workers when the program ends, at the latest: a prepared image may be kept
// (and never drawn) for the program's life, as when the start fails before the first frame, and
// its worker must not outlive main. The workers are few (an image or two at start-up) and end
// within milliseconds.
class Workers {
public:
    ~Workers() {
        for (std::thread& worker : m_threads) {
            worker.join();
        }
    }
    void add(std::thread worker) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_threads.push_back(std::move(worker));
    }

private:
    std::mutex m_mutex;
    std::vector<std::thread> m_threads;
};

void keepUntilExit(std::thread worker) {
    static Workers workers;
    workers.add(std::move(worker));
}

}  // namespace

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
    if (m_decoding.valid()) {
        SDL_FreeSurface(m_decoding.get().surface);  // prepared, never drawn
    }
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

void SdlTexture::prepare() {
    if (m_undecodedPath.empty() || m_decoding.valid()) {
        return;
    }
    std::packaged_task<Decoded()> task([path = m_undecodedPath] {
        Decoded decoded = decodeFile(path);
        // SDL frees its per-thread error text only for threads it started itself.
        SDL_TLSCleanup();
        return decoded;
    });
    m_decoding = task.get_future();
    keepUntilExit(std::thread(std::move(task)));
}

SdlTexture::Decoded SdlTexture::decodeFile(const std::string& path) {
    Decoded decoded;
    decoded.surface = decodeImage(path, decoded.opaque);
    if (!decoded.surface) {
        decoded.error = SDL_GetError();
    }
    return decoded;
}

void SdlTexture::decode() const {
    if (m_undecodedPath.empty()) {
        return;
    }
    const std::string path = std::move(m_undecodedPath);
    m_undecodedPath.clear();
    Decoded decoded = m_decoding.valid() ? m_decoding.get() : decodeFile(path);
    SDL_Surface* surface = decoded.surface;
    if (surface && (surface->w != m_width || surface->h != m_height)) {
        std::fprintf(stderr, "engine: %s decodes to %d x %d, its header said %d x %d\n",
                     path.c_str(), surface->w, surface->h, m_width, m_height);
        SDL_FreeSurface(surface);
        surface = nullptr;
    } else if (!surface) {
        std::fprintf(stderr, "engine: cannot decode %s: %s\n", path.c_str(),
                     decoded.error.c_str());
    }
    m_surface = surface;
    m_opaque = surface && decoded.opaque;
}

}  // namespace engine::render

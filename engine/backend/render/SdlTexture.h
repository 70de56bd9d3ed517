#pragma once
// A Texture kept as an SDL surface (ARGB8888, straight alpha), shared by both back ends.
// Canvas makes the renderer's copy of it on first draw. Main thread only (prepare's worker runs
// only decodeFile, on a copy of the path).
//
// An image file is decoded when it is first drawn, not when it is loaded: start-up registers
// every image but draws few of them. Its size comes from the file's header at load.

#include <SDL.h>

#include <future>
#include <string>

#include "engine/platform/Backend.h"

namespace engine::render {

class SdlTexture : public Texture {
public:
    // Takes ownership of `surface`, which may be null for an empty image of the given size
    // (an empty line of text has width 0 and the font's height). `opaque`: no pixel of it lets
    // anything through, so it is copied without blending (the table's background, a screen of
    // pixels every frame).
    SdlTexture(SDL_Surface* surface, int width, int height, bool opaque = false);
    // The image in the file at `path` (UTF-8), width x height pixels as its header says, decoded
    // at the first call of surface() or opaque(). A file that then cannot be decoded, or decodes
    // to another size, is reported on stderr and draws nothing.
    SdlTexture(std::string path, int width, int height);
    ~SdlTexture() override;
    SdlTexture(const SdlTexture&) = delete;
    SdlTexture& operator=(const SdlTexture&) = delete;

    SDL_Surface* surface() const;
    bool opaque() const;
    // Decodes the file on a worker thread (joined at the program's end at the latest);
    // surface() and opaque() wait for it. Nothing for an image decoded or decoding already.
    void prepare() override;

private:
    struct Decoded {
        SDL_Surface* surface = nullptr;
        bool opaque = false;
        std::string error;  // SDL's, when surface is null
    };
    static Decoded decodeFile(const std::string& path);
    void decode() const;

    mutable SDL_Surface* m_surface = nullptr;
    mutable bool m_opaque = false;
    mutable std::string m_undecodedPath;  // empty once decoded (or for a surface given)
    mutable std::future<Decoded> m_decoding;  // valid from prepare() until decode() takes it
};

}  // namespace engine::render

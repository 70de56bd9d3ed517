#pragma once
// Draws SdlTextures through one SDL_Renderer, keeping the renderer's copy of each texture it has
// drawn (made on first use, dropped when the SdlTexture dies). Destroy the Canvas before its
// renderer. Main thread only.
//
// A frame is recorded (beginFrame, draw...) and drawn at endFrame. On SDL's software renderer the
// target keeps its pixels between frames, so only the area where this frame's calls differ from
// the last frame's is cleared and drawn again, behind a clip, and only that area is shown
// (FrameDiff.h says why the result equals a whole redraw). Every frame is drawn whole on other
// renderers (their buffers are undefined after presenting), after forgetPicture, when the size or
// the background changed, and at the first frame.

#include <SDL.h>

#include <unordered_map>
#include <vector>

#include "engine/backend/render/FrameDiff.h"
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

    // ---- One frame
    // Starts a frame on a window cleared to `background`.
    void beginFrame(DrawColor background);
    // `texture` must be an SdlTexture and live until endFrame; tint multiplies colour, tint.a is
    // the opacity.
    void draw(const Texture& texture, const PixelRect& source, const PixelRect& target,
              DrawColor tint);
    // Draws what changed since the last frame and shows it.
    void endFrame();
    // The target lost its pixels (a window exposed or resized): the next frame is drawn whole.
    void forgetPicture() { m_pictureKept = false; }
    // The area the last endFrame drew (empty when nothing changed); the whole target when whole.
    const PixelArea& lastDrawnArea() const { return m_lastArea; }

    // Drops the renderer copies of `texture` in every live canvas (called by ~SdlTexture).
    static void forgetEverywhere(const SdlTexture* texture);

private:
    SDL_Texture* textureFor(const SdlTexture& texture);
    // The area this frame must draw, or the whole target.
    PixelArea areaToDraw(int width, int height) const;
    void drawCall(size_t index);
    void show(const PixelArea& area, bool whole);

    SDL_Renderer* m_renderer = nullptr;
    bool m_keepsPixels = false;  // a software renderer: the target keeps what was drawn
    std::unordered_map<const SdlTexture*, SDL_Texture*> m_copies;

    // This frame, recorded; the textures are used at endFrame only.
    DrawColor m_background;
    std::vector<DrawCall> m_calls;
    std::vector<const SdlTexture*> m_textures;  // parallel to m_calls
    // The frame on screen.
    std::vector<DrawCall> m_shownCalls;
    DrawColor m_shownBackground;
    int m_shownWidth = 0;
    int m_shownHeight = 0;
    bool m_pictureKept = false;
    PixelArea m_lastArea;
};

}  // namespace engine::render

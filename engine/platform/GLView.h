#pragma once
// The drawing surface as the scene graph sees it: the window's size in pixels (the frame size)
// and the design resolution the client lays out in. Maps between design coordinates (origin
// bottom-left, y up) and window pixels (origin top-left, y down). Main thread only.

#include <string>

#include "engine/base/Rect.h"
#include "engine/base/Ref.h"
#include "engine/platform/Backend.h"

namespace engine {

// How the design area fits the window: stretched (EXACT_FIT), or uniformly scaled to cover it
// (NO_BORDER) or to fit inside it (SHOW_ALL), centred. At 1024 x 768 in 1024 x 768 all agree.
enum class ResolutionPolicy { EXACT_FIT, NO_BORDER, SHOW_ALL, FIXED_HEIGHT, FIXED_WIDTH, UNKNOWN };

// Drawing-surface attributes, kept for the record (the SDL renderer chooses its own).
struct GLContextAttrs {
    int redBits = 8;
    int greenBits = 8;
    int blueBits = 8;
    int alphaBits = 8;
    int depthBits = 24;
    int stencilBits = 8;
    int multisamplingCount = 0;
};

class GLView : public Ref {
public:
    static void setGLContextAttrs(const GLContextAttrs& attrs);
    static GLContextAttrs getGLContextAttrs();

    virtual void setDesignResolutionSize(float width, float height, ResolutionPolicy policy);
    const Size& getDesignResolutionSize() const { return m_designSize; }
    ResolutionPolicy getResolutionPolicy() const { return m_policy; }
    // The window's drawing area in pixels; the director sets it when the window is resized.
    const Size& getFrameSize() const { return m_frameSize; }
    void setFrameSize(float width, float height);
    // Window pixels per design point (the same on both axes except with EXACT_FIT).
    float getScaleX() const { return m_scaleX; }
    // The design size: the area the client lays out in.
    Size getVisibleSize() const { return m_designSize; }

    // Asks the system to draw the player's eye to the window until it has the input focus;
    // nothing when it has it already or where the system offers nothing.
    void requestAttention();

    Vec2 windowToDesign(float x, float y) const;
    PixelRect designToWindow(const Rect& rect) const;
    Vec2 designToWindow(const Vec2& point) const;

protected:
    GLView() = default;
    void updateScale();

    Size m_frameSize{1024, 768};
    Size m_designSize{1024, 768};
    ResolutionPolicy m_policy = ResolutionPolicy::NO_BORDER;
    float m_scaleX = 1;
    float m_scaleY = 1;
    float m_offsetX = 0;  // window pixels from the window's left edge to the design area's
    float m_offsetY = 0;  // and from its top edge
};

}  // namespace engine

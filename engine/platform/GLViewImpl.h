#pragma once
// The desktop view: creating it opens the window through the back end.

#include "engine/platform/GLView.h"

namespace engine {

class GLViewImpl : public GLView {
public:
    // A 1024 x 768 window titled `viewName`.
    static GLViewImpl* create(const std::string& viewName);
    // A window of rect.size (times the zoom factor), autoreleased; null when the back end cannot
    // open it (the reason is on stderr).
    static GLViewImpl* createWithRect(const std::string& viewName, const Rect& rect,
                                      float frameZoomFactor = 1.0f, bool resizable = false);

    // Desktop full screen and back; the new frame size follows as a resize.
    bool setFullscreen();
    bool setWindowed();
    bool isFullscreen() const;
    // The smallest size the user may give the window, in window coordinates.
    void setMinimumSize(int width, int height);
    // The window's size in window coordinates, which are not its pixels where the system scales
    // windows (Backend::windowCoordinateSize).
    Size getWindowSize() const;

protected:
    GLViewImpl() = default;
};

}  // namespace engine

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

protected:
    GLViewImpl() = default;
};

}  // namespace engine

#include "engine/platform/GLViewImpl.h"

#include <cstdio>

#include "engine/platform/FileUtils.h"

namespace engine {

GLViewImpl* GLViewImpl::create(const std::string& viewName) {
    return createWithRect(viewName, Rect(0, 0, 1024, 768));
}

GLViewImpl* GLViewImpl::createWithRect(const std::string& viewName, const Rect& rect,
                                       float frameZoomFactor, bool resizable) {
    WindowSpec spec;
    spec.title = viewName;
    spec.width = static_cast<int>(rect.size.width * frameZoomFactor);
    spec.height = static_cast<int>(rect.size.height * frameZoomFactor);
    spec.resizable = resizable;
    spec.icon = FileUtils::getInstance()->fullPathForFilename("icon.png");
    if (!backend().createWindow(spec)) {
        std::fprintf(stderr, "engine: cannot open the window\n");
        return nullptr;
    }
    auto* view = new GLViewImpl();
    view->m_designSize = rect.size;
    view->setFrameSize(static_cast<float>(backend().windowWidth()),
                       static_cast<float>(backend().windowHeight()));
    view->autorelease();
    return view;
}

Size GLViewImpl::getWindowSize() const {
    int width = 0;
    int height = 0;
    backend().windowCoordinateSize(width, height);
    return Size(static_cast<float>(width), static_cast<float>(height));
}

bool GLViewImpl::setFullscreen() {
    return backend().setFullscreen(true);
}

bool GLViewImpl::setWindowed() {
    return backend().setFullscreen(false);
}

bool GLViewImpl::isFullscreen() const {
    return backend().isFullscreen();
}

void GLViewImpl::setMinimumSize(int width, int height) {
    backend().setMinimumWindowSize(width, height);
}

}  // namespace engine

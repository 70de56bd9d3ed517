#include "engine/platform/GLView.h"

#include <algorithm>

#include "engine/scene/Director.h"

namespace engine {

namespace {
GLContextAttrs g_attrs;
}

void GLView::setGLContextAttrs(const GLContextAttrs& attrs) {
    g_attrs = attrs;
}

GLContextAttrs GLView::getGLContextAttrs() {
    return g_attrs;
}

void GLView::setDesignResolutionSize(float width, float height, ResolutionPolicy policy) {
    if (width <= 0 || height <= 0) {
        return;
    }
    m_designSize = Size(width, height);
    m_policy = policy;
    updateScale();
}

void GLView::setFrameSize(float width, float height) {
    m_frameSize = Size(width, height);
    updateScale();
}

void GLView::updateScale() {
    float sx = m_frameSize.width / m_designSize.width;
    float sy = m_frameSize.height / m_designSize.height;
    switch (m_policy) {
        case ResolutionPolicy::EXACT_FIT:
            break;
        case ResolutionPolicy::SHOW_ALL:
            sx = sy = std::min(sx, sy);
            break;
        case ResolutionPolicy::FIXED_HEIGHT:
            sx = sy;
            break;
        case ResolutionPolicy::FIXED_WIDTH:
            sy = sx;
            break;
        default:
            sx = sy = std::max(sx, sy);
            break;
    }
    m_scaleX = sx;
    m_scaleY = sy;
    m_offsetX = (m_frameSize.width - m_designSize.width * sx) / 2;
    m_offsetY = (m_frameSize.height - m_designSize.height * sy) / 2;
    Director::setNeedsRedraw();
}

void GLView::requestAttention() {
    backend().requestAttention();
}

Vec2 GLView::windowToDesign(float x, float y) const {
    return {(x - m_offsetX) / m_scaleX, m_designSize.height - (y - m_offsetY) / m_scaleY};
}

Vec2 GLView::designToWindow(const Vec2& point) const {
    return {m_offsetX + point.x * m_scaleX, m_offsetY + (m_designSize.height - point.y) * m_scaleY};
}

PixelRect GLView::designToWindow(const Rect& rect) const {
    const Vec2 topLeft = designToWindow(Vec2(rect.getMinX(), rect.getMaxY()));
    return {topLeft.x, topLeft.y, rect.size.width * m_scaleX, rect.size.height * m_scaleY};
}

}  // namespace engine

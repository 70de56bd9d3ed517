#include "engine/scene/SpriteFrame.h"

#include "engine/platform/Backend.h"
#include "engine/scene/Director.h"

namespace engine {

SpriteFrame* SpriteFrame::create(const std::string& filename, const Rect& rect) {
    auto* frame = new SpriteFrame();
    frame->m_file = FileTexture(filename);
    frame->m_file.get();
    frame->m_rect = rect;
    frame->autorelease();
    return frame;
}

SpriteFrame* SpriteFrame::createWithFile(const std::string& filename) {
    FileTexture file(filename);
    const std::shared_ptr<Texture>& texture = file.get();
    if (!texture) {
        return nullptr;
    }
    const float scale = Director::getInstance()->getContentScaleFactor();
    return create(filename, Rect(0, 0, static_cast<float>(texture->width()) / scale,
                                 static_cast<float>(texture->height()) / scale));
}

const std::shared_ptr<Texture>& SpriteFrame::getTexture() const {
    return m_file.filename().empty() ? m_texture : m_file.get();
}

Rect SpriteFrame::getRectInPixels() const {
    if (m_file.filename().empty()) {
        return m_rect;
    }
    const float scale = Director::getInstance()->getContentScaleFactor();
    return Rect(m_rect.origin.x * scale, m_rect.origin.y * scale, m_rect.size.width * scale,
                m_rect.size.height * scale);
}

}  // namespace engine

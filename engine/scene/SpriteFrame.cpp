#include "engine/scene/SpriteFrame.h"

#include "engine/scene/Director.h"
#include "engine/scene/TextureCache.h"

namespace engine {

SpriteFrame* SpriteFrame::create(const std::string& filename, const Rect& rect) {
    return createWithTexture(Director::getInstance()->getTextureCache()->addImage(filename), rect);
}

SpriteFrame* SpriteFrame::createWithTexture(std::shared_ptr<Texture> texture, const Rect& rect) {
    auto* frame = new SpriteFrame();
    frame->m_texture = std::move(texture);
    frame->m_rect = rect;
    frame->autorelease();
    return frame;
}

}  // namespace engine

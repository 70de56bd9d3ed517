#pragma once
// A rectangle of a texture, for sprites. The rectangle is in texture pixels with the origin at the
// image's top-left, y down. A frame of a missing image has no texture (draws nothing) but keeps
// its rectangle's size.

#include <memory>
#include <string>

#include "engine/base/Rect.h"
#include "engine/base/Ref.h"

namespace engine {

class Texture;

class SpriteFrame : public Ref {
public:
    // Loads `filename` through the texture cache; autoreleased.
    static SpriteFrame* create(const std::string& filename, const Rect& rect);
    static SpriteFrame* createWithTexture(std::shared_ptr<Texture> texture, const Rect& rect);

    const Rect& getRect() const { return m_rect; }
    Size getOriginalSize() const { return m_rect.size; }
    const std::shared_ptr<Texture>& getTexture() const { return m_texture; }

private:
    SpriteFrame() = default;

    std::shared_ptr<Texture> m_texture;
    Rect m_rect;
};

}  // namespace engine

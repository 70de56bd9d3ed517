#pragma once
// A rectangle of a texture, for sprites. The rectangle is in points with the origin at the
// image's top-left, y down. A frame made from a file draws from the image the name resolves to
// now, Director::getContentScaleFactor pixels per point (the double-size image at 2); a frame
// made from a texture object draws it at one pixel per point. A frame of a missing image has no
// texture (draws nothing) but keeps its rectangle's size.

#include <memory>
#include <string>

#include "engine/base/Rect.h"
#include "engine/base/Ref.h"
#include "engine/scene/FileTexture.h"

namespace engine {

class Texture;

class SpriteFrame : public Ref {
public:
    // Loads `filename` through the texture cache; autoreleased.
    static SpriteFrame* create(const std::string& filename, const Rect& rect);
    // The whole image as a frame (its size in points: pixels / content scale); null when the
    // file is missing or unreadable.
    static SpriteFrame* createWithFile(const std::string& filename);

    const Rect& getRect() const { return m_rect; }
    // The rectangle in the pixels of getTexture().
    Rect getRectInPixels() const;
    Size getOriginalSize() const { return m_rect.size; }
    const std::shared_ptr<Texture>& getTexture() const;

private:
    SpriteFrame() = default;

    FileTexture m_file;                  // empty name for a frame made from a texture object
    std::shared_ptr<Texture> m_texture;  // that texture object
    Rect m_rect;
};

}  // namespace engine

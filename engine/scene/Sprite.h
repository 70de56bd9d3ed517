#pragma once
// A node that draws one sprite frame at its content size (the frame's size); anchor (0.5, 0.5).
// A sprite from a missing image or frame is empty: size 0, draws nothing.

#include <string>

#include "engine/scene/Node.h"

namespace engine {

class SpriteFrame;

class Sprite : public Node {
public:
    static Sprite* create();  // empty
    static Sprite* create(const std::string& filename);
    static Sprite* createWithSpriteFrame(SpriteFrame* frame);
    static Sprite* createWithSpriteFrameName(const std::string& name);
    ~Sprite() override;

    bool init() override;
    bool initWithFile(const std::string& filename);  // true even for a missing file (empty)
    bool initWithSpriteFrame(SpriteFrame* frame);    // false for null
    bool initWithSpriteFrameName(const std::string& name);

    // Shows `frame` and takes its size. Retains it.
    void setSpriteFrame(SpriteFrame* frame);
    void setSpriteFrame(const std::string& name);
    SpriteFrame* getSpriteFrame() const { return m_frame; }

protected:
    Sprite();
    void draw(const AffineTransform& toWorld) override;

private:
    SpriteFrame* m_frame = nullptr;  // retained
};

}  // namespace engine

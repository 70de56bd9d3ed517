// Sprites, frames cut from textures, the frame cache, and missing images.
#include "EngineTestSupport.h"

using namespace engine;
using enginetest::HeadlessTest;

namespace {

class SpriteTest : public HeadlessTest {};

TEST_F(SpriteTest, SpriteFromFileTakesTheImageSize) {
    Sprite* sprite = Sprite::create("poker_surface.png");
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->getContentSize(), Size(393, 138));
}

TEST_F(SpriteTest, TheFrameCacheKeepsFramesByName) {
    const std::string strip = enginetest::makePng("red.png", 10, 10, {255, 0, 0, 255});
    SpriteFrame* frame = SpriteFrame::create(strip, Rect(0, 0, 10, 5));
    SpriteFrameCache::getInstance()->addSpriteFrame(frame, "half");
    EXPECT_EQ(SpriteFrameCache::getInstance()->getSpriteFrameByName("half"), frame);
    headless::stepFrames(1);  // the cache keeps it
    SpriteFrame* kept = SpriteFrameCache::getInstance()->getSpriteFrameByName("half");
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->getRect(), Rect(0, 0, 10, 5));
    Sprite* sprite = Sprite::createWithSpriteFrame(kept);
    EXPECT_EQ(sprite->getContentSize(), Size(10, 5));
}

TEST_F(SpriteTest, DrawsTheFramesPixelsTheRightWayUp) {
    // Two 20 x 20 blocks side by side, red then green; the frame is the green one.
    const std::string strip =
        enginetest::makeStrip("rg.png", {{255, 0, 0, 255}, {0, 255, 0, 255}}, 20, 20);
    Layer* layer = runLayer();
    Sprite* sprite = Sprite::create();
    ASSERT_TRUE(sprite->initWithSpriteFrame(SpriteFrame::create(strip, Rect(20, 0, 20, 20))));
    sprite->setPosition(100, 100);
    layer->addChild(sprite);
    headless::stepFrames(1);
    EXPECT_EQ(headless::pixelAt(100.5f, 100.5f).g, 255);
    EXPECT_EQ(headless::pixelAt(100.5f, 100.5f).r, 0);
}

TEST_F(SpriteTest, FrameRectanglesCountYDownFromTheImagesTop) {
    // Red on top of green in the file; the frame at y 20 is the green block, and a frame
    // covering both shows red above green on screen.
    const std::string column =
        enginetest::makeStrip("column.png", {{255, 0, 0, 255}, {0, 255, 0, 255}}, 20, 20, true);
    Layer* layer = runLayer();
    Sprite* lower = Sprite::createWithSpriteFrame(SpriteFrame::create(column, Rect(0, 20, 20, 20)));
    lower->setPosition(100, 100);
    Sprite* both = Sprite::createWithSpriteFrame(SpriteFrame::create(column, Rect(0, 0, 20, 40)));
    both->setPosition(300, 100);  // covers y 80..120
    layer->addChild(lower);
    layer->addChild(both);
    headless::stepFrames(1);
    EXPECT_EQ(headless::pixelAt(100.5f, 100.5f).g, 255);
    EXPECT_EQ(headless::pixelAt(300.5f, 115.5f).r, 255);
    EXPECT_EQ(headless::pixelAt(300.5f, 85.5f).g, 255);
}

TEST_F(SpriteTest, SetSpriteFrameChangesSizeAndLook) {
    Sprite* sprite = Sprite::create();
    EXPECT_EQ(sprite->getContentSize(), Size::ZERO);
    sprite->setSpriteFrame(SpriteFrame::create("sucai.png", Rect(0, 37, 201, 36)));
    EXPECT_EQ(sprite->getContentSize(), Size(201, 36));
}

TEST_F(SpriteTest, MissingImagesGiveEmptySpritesWithoutCrashing) {
    Layer* layer = runLayer();
    Sprite* sprite = Sprite::create("no-such-image.png");
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->getContentSize(), Size::ZERO);
    Sprite* again = Sprite::create("no-such-image.png");
    EXPECT_EQ(again->getContentSize(), Size::ZERO);
    SpriteFrame* frame = SpriteFrame::create("no-such-image.png", Rect(0, 0, 98, 138));
    EXPECT_EQ(frame->getTexture(), nullptr);
    Sprite* framed = Sprite::createWithSpriteFrame(frame);
    EXPECT_EQ(framed->getContentSize(), Size(98, 138));  // the frame's rectangle still counts
    auto* button = ui::Button::create("none.png", "none-press.png", "none-press.png");
    EXPECT_EQ(button->getContentSize(), Size::ZERO);
    layer->addChild(sprite);
    layer->addChild(framed);
    layer->addChild(button);
    headless::stepFrames(2);
}

TEST_F(SpriteTest, UnknownFrameNameIsNull) {
    EXPECT_EQ(SpriteFrameCache::getInstance()->getSpriteFrameByName("nope"), nullptr);
    EXPECT_FALSE(Sprite::create()->initWithSpriteFrame(nullptr));
}

}  // namespace

// What a frame shows: real pixels of the headless surface, and redrawing only on change.
#include <filesystem>

#include "EngineTestSupport.h"

using namespace engine;
using enginetest::HeadlessTest;

namespace {

class DrawTest : public HeadlessTest {
protected:
    void expectColor(float x, float y, int r, int g, int b) {
        const DrawColor c = headless::pixelAt(x, y);
        EXPECT_EQ(c.r, r) << x << "," << y;
        EXPECT_EQ(c.g, g) << x << "," << y;
        EXPECT_EQ(c.b, b) << x << "," << y;
    }
};

TEST_F(DrawTest, LaterAndHigherZSpritesCoverEarlierOnes) {
    Layer* layer = runLayer();
    auto* red = Sprite::create(enginetest::makePng("red.png", 100, 100, {255, 0, 0, 255}));
    auto* green = Sprite::create(enginetest::makePng("green.png", 100, 100, {0, 255, 0, 255}));
    auto* blue = Sprite::create(enginetest::makePng("blue.png", 100, 100, {0, 0, 255, 255}));
    red->setPosition(100, 100);    // covers 50..150
    green->setPosition(140, 100);  // covers 90..190, added later: above red
    blue->setPosition(180, 100);   // covers 130..230, z -1: below both
    layer->addChild(blue, -1);
    layer->addChild(red);
    layer->addChild(green);
    headless::stepFrames(1);
    expectColor(60.5f, 100.5f, 255, 0, 0);
    expectColor(120.5f, 100.5f, 0, 255, 0);
    expectColor(160.5f, 100.5f, 0, 255, 0);
    expectColor(200.5f, 100.5f, 0, 0, 255);
    expectColor(300.5f, 100.5f, 0, 0, 0);
    // y up: the sprite's top edge is at 150, so 151 is background.
    expectColor(60.5f, 149.5f, 255, 0, 0);
    expectColor(60.5f, 150.5f, 0, 0, 0);
}

TEST_F(DrawTest, InvisibleNodesAndTheirChildrenAreNotDrawnAndTintMultiplies) {
    Layer* layer = runLayer();
    const std::string white = enginetest::makePng("white.png", 20, 20, {255, 255, 255, 255});
    auto* hiddenParent = Sprite::create(white);
    hiddenParent->setPosition(100, 100);
    hiddenParent->addChild(Sprite::create(white));
    hiddenParent->setVisible(false);
    auto* tinted = Sprite::create(white);
    tinted->setPosition(300, 300);
    tinted->setColor(Color3B::RED);
    layer->addChild(hiddenParent);
    layer->addChild(tinted);
    headless::stepFrames(1);
    expectColor(100.5f, 100.5f, 0, 0, 0);
    expectColor(300.5f, 300.5f, 255, 0, 0);
}

TEST_F(DrawTest, FramesAreDrawnOnlyWhenSomethingChanged) {
    Layer* layer = runLayer();
    auto* sprite = Sprite::create(enginetest::makePng("w.png", 10, 10, {255, 255, 255, 255}));
    layer->addChild(sprite);
    headless::stepFrames(1);
    const int drawn = headless::framesDrawn();
    headless::step(1.0);
    EXPECT_EQ(headless::framesDrawn(), drawn);  // nothing changed: no drawing
    sprite->setPosition(50, 50);
    headless::step(1.0);
    EXPECT_EQ(headless::framesDrawn(), drawn + 1);
    sprite->setPosition(50, 50);  // the same value is no change
    headless::step(1.0);
    EXPECT_EQ(headless::framesDrawn(), drawn + 1);
    sprite->setVisible(false);
    headless::stepFrames(1);
    EXPECT_EQ(headless::framesDrawn(), drawn + 2);
}

// The back ends keep no copy of the last frame: a window that lost its picture is drawn again.
TEST_F(DrawTest, AnExposedWindowIsDrawnAgainThoughNothingChanged) {
    Layer* layer = runLayer();
    layer->addChild(Sprite::create(enginetest::makePng("w.png", 10, 10, {255, 255, 255, 255})));
    headless::stepFrames(1);
    const int drawn = headless::framesDrawn();
    headless::queueEvent(InputEvent::Type::Exposed);
    headless::stepFrames(1);
    EXPECT_EQ(headless::framesDrawn(), drawn + 1);
    headless::step(1.0);
    EXPECT_EQ(headless::framesDrawn(), drawn + 1);  // once per exposure
}

TEST_F(DrawTest, SaveFrameWritesAPng) {
    Layer* layer = runLayer();
    layer->addChild(Sprite::create(enginetest::makePng("w.png", 10, 10, {255, 255, 255, 255})));
    const std::string out = enginetest::tempDir() + "/frame.png";
    ASSERT_TRUE(headless::saveFrame(out));
    EXPECT_GT(std::filesystem::file_size(out), 0u);
    EXPECT_FALSE(headless::saveFrame("/nonexistent-dir/frame.png"));
}

}  // namespace

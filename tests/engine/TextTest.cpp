// Label sizes from the real font, text replacement, Chinese; LabelAtlas from a glyph strip.
#include "EngineTestSupport.h"

using namespace engine;
using enginetest::HeadlessTest;

namespace {

class TextTest : public HeadlessTest {};

TEST_F(TextTest, LabelSizeComesFromTheFontAndFollowsTheText) {
    Label* label = Label::createWithTTF("online: 0", "fonts/arial.ttf", 25, Size::ZERO,
                                        TextHAlignment::LEFT, TextVAlignment::TOP);
    ASSERT_NE(label, nullptr);
    const Size first = label->getContentSize();
    EXPECT_GT(first.width, 50);
    EXPECT_GT(first.height, 20);
    EXPECT_LT(first.height, 45);
    label->setString("online: 1234");
    EXPECT_EQ(label->getString(), "online: 1234");
    EXPECT_GT(label->getContentSize().width, first.width);
    EXPECT_EQ(label->getContentSize().height, first.height);
}

TEST_F(TextTest, EmptyTextHasNoWidthButALineHeight) {
    Label* label = Label::createWithTTF("", "fonts/arial.ttf", 15);
    EXPECT_EQ(label->getContentSize().width, 0);
    EXPECT_GT(label->getContentSize().height, 10);
}

TEST_F(TextTest, ChineseTextRendersWithTheProjectFont) {
    Label* label = Label::createWithTTF("恭喜，赢3局！", "fonts/arial.ttf", 20);
    EXPECT_GT(label->getContentSize().width, 6 * 15);
    Layer* layer = runLayer();
    label->setPosition(200, 200);
    layer->addChild(label);
    headless::stepFrames(1);
    int lit = 0;
    const Rect box = label->getBoundingBox();
    for (float x = box.getMinX(); x < box.getMaxX(); x += 1) {
        for (float y = box.getMinY(); y < box.getMaxY(); y += 1) {
            lit += headless::pixelAt(x + 0.5f, y + 0.5f).r > 128 ? 1 : 0;
        }
    }
    EXPECT_GT(lit, 50);
}

TEST_F(TextTest, DimensionsFixTheContentSize) {
    Label* label = Label::createWithTTF("x", "fonts/arial.ttf", 20, Size(300, 50),
                                        TextHAlignment::CENTER, TextVAlignment::CENTER);
    EXPECT_EQ(label->getContentSize(), Size(300, 50));
}

TEST_F(TextTest, LinesBreakAtNewline) {
    Label* one = Label::createWithTTF("ab", "fonts/arial.ttf", 20);
    Label* two = Label::createWithTTF("ab\nab", "fonts/arial.ttf", 20);
    EXPECT_EQ(two->getContentSize().width, one->getContentSize().width);
    EXPECT_EQ(two->getContentSize().height, 2 * one->getContentSize().height);
}

TEST_F(TextTest, MissingFontGivesAnEmptyLabel) {
    Label* label = Label::createWithTTF("text", "fonts/missing.ttf", 20);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->getContentSize(), Size::ZERO);
    label->setString("more");
    headless::stepFrames(1);
}

TEST_F(TextTest, ColourTintsTheText) {
    Layer* layer = runLayer();
    Label* label = Label::createWithTTF("██████", "fonts/arial.ttf", 40);
    label->setColor(Color3B::RED);
    label->setPosition(300, 300);
    layer->addChild(label);
    headless::stepFrames(1);
    int red = 0;
    int other = 0;
    const Rect box = label->getBoundingBox();
    for (float x = box.getMinX(); x < box.getMaxX(); x += 2) {
        for (float y = box.getMinY(); y < box.getMaxY(); y += 2) {
            const DrawColor c = headless::pixelAt(x + 0.5f, y + 0.5f);
            red += (c.r > 200 && c.g < 30) ? 1 : 0;
            other += (c.g > 30 || c.b > 30) ? 1 : 0;
        }
    }
    EXPECT_GT(red, 0);
    EXPECT_EQ(other, 0);
}

TEST_F(TextTest, LabelAtlasSizeIsCharactersTimesTheGlyph) {
    LabelAtlas* countdown = LabelAtlas::create("30", "num.png", 14, 21, '0');
    ASSERT_NE(countdown, nullptr);
    EXPECT_EQ(countdown->getContentSize(), Size(28, 21));
    countdown->setString("-1");
    EXPECT_EQ(countdown->getString(), "-1");
    EXPECT_EQ(countdown->getContentSize(), Size(28, 21));
    countdown->setString("8");
    EXPECT_EQ(countdown->getContentSize(), Size(14, 21));
}

TEST_F(TextTest, LabelAtlasDrawsEachCharactersGlyph) {
    const std::string strip = enginetest::makeStrip(
        "strip.png", {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}}, 4, 6);
    Layer* layer = runLayer();
    LabelAtlas* atlas = LabelAtlas::create("2-01", strip, 4, 6, '0');
    atlas->setPosition(100, 100);  // anchor (0, 0): the glyphs start at x 100
    layer->addChild(atlas);
    headless::stepFrames(1);
    auto at = [](float x) { return headless::pixelAt(x, 102.5f); };
    EXPECT_EQ(at(101.5f).b, 255);  // '2'
    EXPECT_EQ(at(105.5f).r, 0);    // '-' is outside the strip: nothing
    EXPECT_EQ(at(105.5f).g, 0);
    EXPECT_EQ(at(109.5f).r, 255);  // '0'
    EXPECT_EQ(at(113.5f).g, 255);  // '1'
}

}  // namespace

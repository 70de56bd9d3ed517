#include <gtest/gtest.h>

#include <random>
#include <string>

#include "app/Catalogue.h"
#include "engine/backend/headless/Headless.h"
#include "engine/scene/Director.h"
#include "engine/scene/Scene.h"
#include "engine/scene/SpriteFrameCache.h"
#include "scenes/common/CardSprite.h"
#include "tests/cards/TwoDeckDeal.h"
#include "tests/kit/PicturePath.h"

namespace {

using namespace engine;

class CardSpriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::install();
        loadCatalogue();
    }

    static SpriteFrame* frame(const std::string& name) {
        return SpriteFrameCache::getInstance()->getSpriteFrameByName(name);
    }
};

TEST_F(CardSpriteTest, CreateStartsWithNoCardAndNotRaised) {
    CardSprite* card = CardSprite::create();
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->m_card, -1);
    EXPECT_FALSE(card->m_selected);
    EXPECT_EQ(card->getChildrenCount(), 0u);
}

TEST_F(CardSpriteTest, SuitedCardsShowGlyphAndSymbolInTheCorner) {
    struct Case {
        int code;
        const char* glyph;
        const char* symbol;
    };
    const Case cases[] = {
        {0, "b_num0", "flower0"},    // ace, black
        {19, "r_num4", "flower3"},   // the special five, red
        {49, "b_num12", "flower1"},  // king, black
        {6, "r_num1", "flower2"},    // two, red
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        CardSprite* card = CardSprite::createWithCard(c.code);
        ASSERT_NE(card, nullptr);
        EXPECT_EQ(card->m_card, c.code);
        EXPECT_FALSE(card->m_selected);
        EXPECT_EQ(card->getSpriteFrame(), frame("front"));
        ASSERT_EQ(card->getContentSize().height, 138);
        ASSERT_EQ(card->getChildrenCount(), 2u);

        auto* glyph = dynamic_cast<Sprite*>(card->getChildren()[0]);
        ASSERT_NE(glyph, nullptr);
        EXPECT_EQ(glyph->getSpriteFrame(), frame(c.glyph));
        EXPECT_FLOAT_EQ(glyph->getScale(), 0.4f);
        EXPECT_EQ(glyph->getPosition(), Vec2(12, 118));

        auto* symbol = dynamic_cast<Sprite*>(card->getChildren()[1]);
        ASSERT_NE(symbol, nullptr);
        EXPECT_EQ(symbol->getSpriteFrame(), frame(c.symbol));
        EXPECT_FLOAT_EQ(symbol->getScale(), 0.4f);
        EXPECT_EQ(symbol->getPosition(), Vec2(12, 93));
    }
}

TEST_F(CardSpriteTest, JokersAndUnknownCodesAreWholeFacesWithoutChildren) {
    struct Case {
        int code;
        const char* face;
    };
    const Case cases[] = {
        {52, "b_joker"}, {53, "r_joker"}, {54, "back"}, {-1, "back"}, {1000, "back"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        CardSprite* card = CardSprite::createWithCard(c.code);
        ASSERT_NE(card, nullptr);
        EXPECT_EQ(card->m_card, c.code);
        EXPECT_EQ(card->getSpriteFrame(), frame(c.face));
        EXPECT_EQ(card->getContentSize(), Size(98, 138));
        EXPECT_EQ(card->getChildrenCount(), 0u);
    }
}

// The picture: every code in two overlapped hand rows (18 apart, as the desk lays a hand), a row
// of cards side by side, and sorted 27-card deals from two decks.
TEST_F(CardSpriteTest, PictureOfEveryCardAndOfDealtHands) {
    constexpr float kOverlap = 18;
    constexpr float kRowHeight = 150;
    constexpr int kRows = 6;
    headless::install(1024, static_cast<int>(kRowHeight * kRows));
    loadCatalogue();
    Scene* scene = Scene::create();
    Director::getInstance()->runWithScene(scene);

    float rowY = kRowHeight * kRows - kRowHeight / 2;
    auto addRow = [&](const std::vector<int>& codes, float step) {
        for (std::size_t i = 0; i < codes.size(); ++i) {
            CardSprite* card = CardSprite::createWithCard(codes[i]);
            ASSERT_NE(card, nullptr);
            card->setPosition(60 + step * static_cast<float>(i), rowY);
            scene->addChild(card);
        }
        rowY -= kRowHeight;
    };
    std::vector<int> firstHalf, secondHalf;
    for (int code = 0; code <= 53; ++code) (code < 27 ? firstHalf : secondHalf).push_back(code);
    addRow(firstHalf, kOverlap);
    addRow(secondHalf, kOverlap);
    addRow({0, 7, 19, 22, 33, 44, 49, 51, 52, 53}, 100);
    std::mt19937 rng(3);
    for (int deal = 0; deal < 3; ++deal) addRow(dealHand(rng, 27), kOverlap);
    headless::stepFrames(1);

    // The lone row (third from the top) is 100 apart: on the ace of suit 0 at x 60, the glyph
    // (upper left) is drawn over the face, the middle of the face stays blank.
    const float loneRowY = kRowHeight * kRows - 2.5f * kRowHeight;
    const DrawColor blank = headless::pixelAt(60, loneRowY);
    const DrawColor glyph = headless::pixelAt(60 - 49 + 12, loneRowY - 69 + 118);
    EXPECT_NE(std::make_tuple(blank.r, blank.g, blank.b),
              std::make_tuple(glyph.r, glyph.g, glyph.b));

    const std::string out = picturePath("cards.png");
    EXPECT_TRUE(headless::saveFrame(out)) << out;
}

}  // namespace

#include "scenes/common/CardSprite.h"

#include <new>
#include <string>

#include "cards/CardCode.h"
#include "engine/scene/SpriteFrameCache.h"

namespace {

constexpr float kCornerScale = 0.4f;
constexpr float kCornerX = 12;
constexpr float kGlyphBelowTop = 20;
constexpr float kSymbolBelowTop = 45;

engine::SpriteFrame* frameNamed(const std::string& name) {
    return engine::SpriteFrameCache::getInstance()->getSpriteFrameByName(name);
}

// A corner mark (glyph or suit symbol) centred at (x, y) of the card; nothing when the frame is
// missing, so a card with an incomplete atlas still shows its face.
void addCornerMark(CardSprite* card, const std::string& frameName, float x, float y) {
    engine::Sprite* mark = engine::Sprite::createWithSpriteFrame(frameNamed(frameName));
    if (!mark) return;
    mark->setScale(kCornerScale);
    mark->setPosition(x, y);
    card->addChild(mark);
}

}  // namespace

CardSprite::~CardSprite() = default;

CardSprite* CardSprite::create() {
    auto* card = new (std::nothrow) CardSprite();
    if (card && card->init()) {
        card->autorelease();
        return card;
    }
    delete card;
    return nullptr;
}

CardSprite* CardSprite::createWithCard(int code) {
    CardSprite* card = create();
    if (!card) return nullptr;
    card->m_card = code;
    if (!isValidCode(code)) {
        card->initWithSpriteFrame(frameNamed("back"));
        return card;
    }
    if (isJoker(code)) {
        card->initWithSpriteFrame(frameNamed(code == kBlackJoker ? "b_joker" : "r_joker"));
        return card;
    }
    card->initWithSpriteFrame(frameNamed("front"));
    const float height = card->getContentSize().height;
    const bool red = suitIndex(code) >= 2;
    const std::string rank = std::to_string(rankIndex(code));
    addCornerMark(card, (red ? "r_num" : "b_num") + rank, kCornerX, height - kGlyphBelowTop);
    addCornerMark(card, "flower" + std::to_string(suitIndex(code)), kCornerX,
                  height - kSymbolBelowTop);
    return card;
}

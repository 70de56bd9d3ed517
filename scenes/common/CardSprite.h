#pragma once
// The sprite of one face-up card, drawn from its code: a joker is its whole face; any other card
// is the blank face with the rank glyph and the suit symbol, small, in the upper-left corner
// (the strip that stays visible when a row of cards overlaps). A code outside 0..53 shows the
// card's back with nothing on it. Main thread only, like every node.

#include "engine/scene/Sprite.h"

class CardSprite : public engine::Sprite {
public:
    // Two-phase creation with no card yet (m_card -1); autoreleased, null when init fails.
    static CardSprite* create();
    // The card for `code`, autoreleased and not yet added to a parent; null when create fails.
    static CardSprite* createWithCard(int code);
    ~CardSprite() override;

    int m_card = -1;          // the code shown, set once by createWithCard
    bool m_selected = false;  // raised in the hand; set only by the desk's touch handling

protected:
    CardSprite() = default;
};

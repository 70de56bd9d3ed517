// The program's icon (desktop menus, the window, the task bar): two cards, a heart and a spade,
// fanned on a disc of table felt with a gold rim. Drawn at 128 x 128 and used at any size.

#include "tools/resgen/Pictures.h"
#include "tools/resgen/Shapes.h"

namespace resgen {

namespace {

constexpr int kSize = 128;

// One card with a shadow, its paper face and a symbol.
void drawIconCard(Canvas& c, Box card, const Inside& symbol, Color ink) {
    c.fill(blurred(coverage(kSize, kSize, roundRect({card.x + 2, card.y + 3, card.w, card.h}, 7), 3),
                   3),
           0, 0, solid(rgb(0x000000)), 0.45f);
    c.fillShape(roundRect(card, 7), solid(palette::kCardEdge));
    c.fillShape(roundRect({card.x + 1.5, card.y + 1.5, card.w - 3, card.h - 3}, 5.5),
                vgradient(card.y, palette::kCardPaperTop, card.y + card.h,
                          palette::kCardPaperBottom));
    c.fillShape(symbol, solid(ink));
}

}  // namespace

Canvas appIcon() {
    Canvas c(kSize, kSize);
    c.fillShape(circle(64, 64, 62), solid(palette::kGoldDark));
    c.fillShape(circle(64, 64, 60), solid(palette::kGold));
    c.fillShape(circle(64, 64, 55), vgradient(9, palette::kFelt, 119, palette::kFeltDark));
    drawIconCard(c, {22, 26, 50, 72}, spade({32, 46, 30, 32}), palette::kCardBlack);
    drawIconCard(c, {56, 32, 50, 72}, heart({66, 52, 30, 32}), palette::kCardRed);
    return c;
}

}  // namespace resgen

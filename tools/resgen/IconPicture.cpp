// The program's icon (desktop menus, the window, the task bar): two cards, a heart and a spade,
// fanned on a disc of table felt with a gold rim. Laid out at 128 x 128 and drawn at any size
// (icon.png at 128, Windows' .ico at 16, 32, 48 and 256).

#include <algorithm>
#include <cmath>

#include "tools/resgen/Pictures.h"
#include "tools/resgen/Shapes.h"

namespace resgen {

namespace {

constexpr int kLayoutSize = 128;

Box scaled(Box b, double k) {
    return {b.x * k, b.y * k, b.w * k, b.h * k};
}

// One card with a shadow, its paper face and a symbol; `k` pixels per layout point.
void drawIconCard(Canvas& c, int size, double k, Box card, const Inside& symbol, Color ink) {
    const int blur = std::max(1, static_cast<int>(std::lround(3 * k)));
    c.fill(blurred(coverage(size, size,
                            roundRect({card.x + 2 * k, card.y + 3 * k, card.w, card.h}, 7 * k), 3),
                   blur),
           0, 0, solid(rgb(0x000000)), 0.45f);
    c.fillShape(roundRect(card, 7 * k), solid(palette::kCardEdge));
    c.fillShape(roundRect({card.x + 1.5 * k, card.y + 1.5 * k, card.w - 3 * k, card.h - 3 * k},
                          5.5 * k),
                vgradient(card.y, palette::kCardPaperTop, card.y + card.h,
                          palette::kCardPaperBottom));
    c.fillShape(symbol, solid(ink));
}

}  // namespace

Canvas appIcon(int size) {
    const double k = static_cast<double>(size) / kLayoutSize;
    Canvas c(size, size);
    c.fillShape(circle(64 * k, 64 * k, 62 * k), solid(palette::kGoldDark));
    c.fillShape(circle(64 * k, 64 * k, 60 * k), solid(palette::kGold));
    c.fillShape(circle(64 * k, 64 * k, 55 * k),
                vgradient(9 * k, palette::kFelt, 119 * k, palette::kFeltDark));
    drawIconCard(c, size, k, scaled({22, 26, 50, 72}, k), spade(scaled({32, 46, 30, 32}, k)),
                 palette::kCardBlack);
    drawIconCard(c, size, k, scaled({56, 32, 50, 72}, k), heart(scaled({66, 52, 30, 32}, k)),
                 palette::kCardRed);
    return c;
}

}  // namespace resgen

// The card textures: suit symbols (poker_flower.png), rank glyphs (poker_num.png) and the whole
// faces (poker_surface.png). Suit indices: 0 spades, 1 clubs (black), 2 hearts, 3 diamonds (red).

#include <cmath>
#include <string>

#include "tools/resgen/Pictures.h"
#include "tools/resgen/Shapes.h"
#include "tools/resgen/Text.h"

namespace resgen {

namespace {

constexpr int kCardW = 98;
constexpr int kCardH = 138;
constexpr double kCardRadius = 7.5;

// A suit colour with a faint top-to-bottom sheen, so the symbols do not look flat when large.
Paint suitPaint(bool red, double top, double height) {
    Color base = red ? palette::kCardRed : palette::kCardBlack;
    Color light = red ? shade(base, 1.18f) : rgb(0x3a3f4a);
    return vgradient(top, light, top + height, base);
}

Inside suitShape(int suit, Box b) {
    switch (suit) {
        case 0:
            return spade(b);
        case 1:
            return club(b);
        case 2:
            return heart(b);
        default:
            return diamond(b);
    }
}

// The card outline, its paper and a thin edge; shared by the blank front and the jokers.
void drawBlankCard(Canvas& c, int x0) {
    Box outer{x0 + 0.5, 0.5, kCardW - 1.0, kCardH - 1.0};
    Box inner{x0 + 1.5, 1.5, kCardW - 3.0, kCardH - 3.0};
    c.fillShape(roundRect(outer, kCardRadius), solid(palette::kCardEdge), 8);
    c.fillShape(roundRect(inner, kCardRadius - 1),
                vgradient(0, palette::kCardPaperTop, kCardH, palette::kCardPaperBottom), 8);
}

// Jester's cap with bells over a smiling face, a ruff below: the joker's picture.
void drawJester(Canvas& c, int x0, bool red) {
    const double cx = x0 + 57;
    Color hatA = red ? palette::kCardRed : palette::kCardBlack;
    Color hatB = red ? rgb(0x2a5bc7) : rgb(0x5b606b);
    Color bell = red ? palette::kGold : rgb(0xc9ccd2);
    Color skin = red ? rgb(0xf7d9b5) : rgb(0xe6e6e6);
    Color line = red ? rgb(0x5a1a12) : palette::kCardBlack;

    // Ruff: a zig-zag collar under the face.
    std::vector<std::pair<double, double>> ruff;
    for (int i = 0; i <= 8; ++i) {
        double x = cx - 24 + i * 6;
        ruff.emplace_back(x, (i % 2 == 0) ? 118.0 : 108.0);
    }
    ruff.emplace_back(cx + 16, 100);
    ruff.emplace_back(cx - 16, 100);
    c.fillShape(polygon(ruff), solid(hatB), 8);

    // Face with eyes and a smile.
    c.fillShape(circle(cx, 88, 16.5), solid(line), 8);
    c.fillShape(circle(cx, 88, 15.0), solid(skin), 8);
    c.fillShape(circle(cx - 5.5, 84, 2.0), solid(line), 8);
    c.fillShape(circle(cx + 5.5, 84, 2.0), solid(line), 8);
    c.fillShape(arc(cx, 89, 6.0, 8.0, 3.14159 * 1.15, 3.14159 * 1.85), solid(line), 8);
    if (red) {
        c.fillShape(circle(cx - 9.5, 91, 2.6), solid(rgb(0xf29a8e)), 8);
        c.fillShape(circle(cx + 9.5, 91, 2.6), solid(rgb(0xf29a8e)), 8);
    }

    // Cap: three floppy points, the middle one in the second colour.
    c.fillShape(polygon({{cx - 18, 76}, {cx - 30, 40}, {cx - 4, 60}, {cx - 2, 76}}), solid(hatA),
                8);
    c.fillShape(polygon({{cx + 18, 76}, {cx + 30, 40}, {cx + 4, 60}, {cx + 2, 76}}), solid(hatA),
                8);
    c.fillShape(polygon({{cx - 11, 76}, {cx, 28}, {cx + 11, 76}}), solid(hatB), 8);
    c.fillShape(roundRect({cx - 20, 70, 40, 8}, 3), solid(bell), 8);
    for (auto [bx, by] : {std::pair{cx - 30, 40.0}, {cx, 28.0}, {cx + 30, 40.0}}) {
        c.fillShape(circle(bx, by, 4.6), solid(shade(bell, 0.7f)), 8);
        c.fillShape(circle(bx - 0.6, by - 0.6, 3.6), solid(bell), 8);
    }
}

void drawJoker(Canvas& c, int x0, bool red) {
    drawBlankCard(c, x0);
    Color ink = red ? palette::kCardRed : palette::kCardBlack;
    // The word stacked down the left edge, where a card in a fanned hand stays visible.
    const std::string letters[] = {"J", "O", "K", "E", "R"};
    TextStyle style;
    style.inkHeight = 10.5;
    style.maxWidth = 11;
    for (int i = 0; i < 5; ++i) {
        drawText(c, letters[i], style, x0 + 11.5, 13 + i * 13.5, solid(ink));
    }
    drawJester(c, x0, red);
    // A small star in the lower-right corner, in the joker's colour.
    c.fillShape(star(x0 + 84, 126, 7, 3), solid(ink), 8);
}

// Card back: navy field with a fine gold lattice and a medallion, inside a white margin.
void drawBack(Canvas& c, int x0) {
    drawBlankCard(c, x0);
    Box field{x0 + 6.0, 6.0, kCardW - 12.0, kCardH - 12.0};
    Paint lattice = [&](double x, double y) {
        double u = (x - x0 - kCardW / 2.0), v = (y - kCardH / 2.0);
        auto nearLine = [](double t) {
            double f = t / 9.0 - std::floor(t / 9.0);
            return std::min(f, 1.0 - f) * 9.0 < 0.7;
        };
        if (nearLine(u + v) || nearLine(u - v)) return rgb(0x3d5d96);
        return mix(palette::kBackNavy, palette::kBackNavyDark,
                   static_cast<float>(std::min(1.0, std::hypot(u, v) / 80.0)));
    };
    c.fillShape(roundRect(field, 4.5), lattice, 8);
    c.fillShape(
        subtract(roundRect({field.x + 3, field.y + 3, field.w - 6, field.h - 6}, 3),
                 roundRect({field.x + 4.2, field.y + 4.2, field.w - 8.4, field.h - 8.4}, 2)),
        solid(palette::kGold), 8);
    const double cx = x0 + kCardW / 2.0, cy = kCardH / 2.0;
    c.fillShape(circle(cx, cy, 20), solid(palette::kBackNavyDark), 8);
    c.fillShape(subtract(circle(cx, cy, 19), circle(cx, cy, 17.5)), solid(palette::kGold), 8);
    c.fillShape(star(cx, cy + 1, 13, 5.5), solid(palette::kGold), 8);
}

// A pale rosette in the open part of the blank front, clear of the corner a fanned hand shows:
// the face does not look empty when a card lies alone, and it says nothing about the card.
void drawFrontRosette(Canvas& c) {
    const double cx = 58, cy = 86;
    Color tint = rgb(0xb9a77a, 0.18f);
    Inside petals = [cx, cy](double x, double y) {
        double dx = x - cx, dy = y - cy;
        double r = std::hypot(dx, dy), a = std::atan2(dy, dx);
        return r < 22.0 * (0.62 + 0.38 * std::abs(std::cos(4 * a)));
    };
    c.fillShape(subtract(circle(cx, cy, 29), circle(cx, cy, 27.6)), solid(tint), 8);
    c.fillShape(subtract(petals, circle(cx, cy, 6)), solid(tint), 8);
    c.fillShape(circle(cx, cy, 3.5), solid(tint), 8);
}

}  // namespace

Canvas suitSheet() {
    Canvas c(176, 42);
    const int order[] = {2, 0, 3, 1};  // left to right, as the frame table cuts them
    for (int i = 0; i < 4; ++i) {
        int suit = order[i];
        Box b{i * 44 + 3.0, 1.0, 38.0, 40.0};
        if (suit == 3) b = {i * 44 + 2.0, 0.5, 40.0, 41.0};
        c.fillShape(suitShape(suit, b), suitPaint(suit >= 2, b.y, b.h), 8);
    }
    return c;
}

Canvas rankSheet() {
    Canvas c(39 * 13, 78);
    const char* const ranks[] = {"A", "2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K"};
    for (int row = 0; row < 2; ++row) {
        Color ink = row == 0 ? palette::kCardBlack : palette::kCardRed;
        for (int i = 0; i < 13; ++i) {
            TextStyle style;
            style.font = (i == 9) ? kLatinCondensedFont : kLatinBoldFont;
            style.inkHeight = 32;
            style.maxWidth = 31;
            // One size for the set, except the J: its tail hangs below the line and would
            // reach into the next row of cells.
            style.scaleFrom = (i == 10) ? "" : "K";
            // Centred slightly left of the cell: the next card in a hand covers its right edge.
            drawText(c, ranks[i], style, i * 39 + 18.5, row * 39 + 19.5, solid(ink));
        }
    }
    return c;
}

Canvas surfaceSheet() {
    Canvas c(295 + kCardW, kCardH);
    drawBlankCard(c, 0);
    drawFrontRosette(c);
    drawJoker(c, 99, true);
    drawJoker(c, 197, false);
    drawBack(c, 295);
    return c;
}

}  // namespace resgen

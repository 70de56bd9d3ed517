// The table and its panels: the felt background, the separator, the strip of small panels
// (sucai.png), the ready badge, the play/pass pair, the input fields and the join bar.

#include <cmath>
#include <cstdint>
#include <tuple>

#include "tools/resgen/Pictures.h"
#include "tools/resgen/Shapes.h"
#include "tools/resgen/Text.h"

namespace resgen {

namespace {

// Deterministic hash noise in [0, 1) for a lattice point.
double hashNoise(int x, int y, std::uint32_t seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u +
                      static_cast<std::uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xffffff) / double(0x1000000);
}

// Smoothly interpolated lattice noise with the given cell size.
double valueNoise(double x, double y, double cell, std::uint32_t seed) {
    double fx = x / cell, fy = y / cell;
    int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
    double tx = fx - ix, ty = fy - iy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    double a = hashNoise(ix, iy, seed), b = hashNoise(ix + 1, iy, seed);
    double c = hashNoise(ix, iy + 1, seed), d = hashNoise(ix + 1, iy + 1, seed);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

// A panel: rounded rectangle with a rim and a vertical gradient face.
void drawPanel(Canvas& c, Box b, double radius, Color rim, Color top, Color bottom) {
    c.fillShape(roundRect(b, radius), solid(rim), 6);
    Box face{b.x + 1.5, b.y + 1.5, b.w - 3, b.h - 3};
    c.fillShape(roundRect(face, radius - 1.5), vgradient(face.y, top, face.y + face.h, bottom), 6);
}

TextStyle cjk(double inkHeight) {
    TextStyle s;
    s.font = kCjkFont;
    s.bold = true;
    s.inkHeight = inkHeight;
    return s;
}

}  // namespace

Canvas tableBackground() {
    const int w = 1024, h = 768;
    Canvas c(w, h);
    Paint felt = [](double x, double y) {
        double dx = (x - 512) / 620.0, dy = (y - 400) / 470.0;
        double vignette = std::min(1.0, dx * dx + dy * dy);
        Color base = mix(palette::kFelt, palette::kFeltDark, static_cast<float>(vignette * 0.95));
        // Broad cloudy variation and a fine nap, both faint.
        double cloud = valueNoise(x, y, 90, 7) * 0.6 + valueNoise(x, y, 35, 11) * 0.4;
        double nap = hashNoise(static_cast<int>(x), static_cast<int>(y), 3);
        float f = static_cast<float>(0.94 + cloud * 0.09 + (nap - 0.5) * 0.05);
        return shade(base, f);
    };
    c.fillShape([](double, double) { return true; }, felt, 1);

    // The playing area: a soft lighter oval and a thin gold line around it.
    Mask oval = blurred(coverage(w, h, ellipse(512, 392, 400, 250), 2), 40);
    c.fill(oval, 0, 0, solid(rgb(0x3c9a66)), 0.22f);
    const Area table{56, 88, 912, 608};
    c.fillShape(subtract(ellipse(512, 392, 452, 300), ellipse(512, 392, 450, 298)),
                solid(faded(palette::kGold, 0.55f)), 3, table);
    c.fillShape(subtract(ellipse(512, 392, 444, 292), ellipse(512, 392, 443, 291)),
                solid(faded(palette::kGold, 0.25f)), 3, table);
    // The game's name pressed into the felt, between two suit pairs: faint, like an emboss.
    TextStyle title = cjk(64);
    TextInk ink;
    if (renderText("双扣", title, ink)) {
        int tx = 512 - ink.fill.width / drawScale() / 2;
        int ty = 280 - ink.fill.height / drawScale() / 2;
        c.fill(ink.fill, tx, ty + 2, solid(rgb(0xffffff)), 0.06f);
        c.fill(ink.fill, tx, ty, solid(rgb(0x000000)), 0.16f);
    }
    for (int i = 0; i < 4; ++i) {
        double cx = (i < 2 ? 512 - 150 - i * 52 : 512 + 150 + (i - 2) * 52);
        Box b{cx - 17, 263, 34, 34};
        Inside shape = i == 0 ? heart(b) : i == 1 ? spade(b) : i == 2 ? diamond(b) : club(b);
        Area a{static_cast<int>(b.x) - 1, static_cast<int>(b.y) - 1, 37, 37};
        Mask m = coverage(a.w, a.h, shape, 3, a.x, a.y);
        c.fill(m, a.x, a.y + 2, solid(rgb(0xffffff)), 0.06f);
        c.fill(m, a.x, a.y, solid(rgb(0x000000)), 0.16f);
    }

    // Soft shadows where each seat's ready badge and red "pass" marker appear, so red reads.
    for (auto [mx, my] : {std::pair{512, 184}, {862, 384}, {512, 584}, {162, 384}}) {
        Area around{mx - 80, my - 40, 160, 80};
        Mask spot = blurred(
            coverage(around.w, around.h, ellipse(mx, my, 54, 20), 2, around.x, around.y), 14);
        c.fill(spot, around.x, around.y, solid(rgb(0x03130b)), 0.38f);
        c.fillShape(subtract(ellipse(mx, my, 60, 25), ellipse(mx, my, 59, 24)),
                    solid(faded(palette::kGold, 0.3f)), 3, around);
    }

    // A darker rail along the screen edges frames the table.
    Mask rail = blurred(coverage(w, h,
                                 subtract([](double, double) { return true; },
                                          roundRect({14, 14, w - 28.0, h - 28.0}, 40)),
                                 2),
                        24);
    c.fill(rail, 0, 0, solid(rgb(0x04160d)), 0.65f);

    // Seat plates where the other players' names (drawn in red) and card counts appear: dark
    // enough for red text to read. Centres in screen pixels: right, left, top.
    for (auto [cx, cy, pw] :
         {std::tuple{889.0, 140.0, 150.0}, {75.0, 140.0, 140.0}, {477.0, 26.0, 170.0}}) {
        Box plate{cx - pw / 2, cy - 22, pw, 44};
        Area around{static_cast<int>(plate.x) - 12, static_cast<int>(plate.y) - 12,
                    static_cast<int>(pw) + 24, 44 + 24};
        Mask glow = blurred(
            coverage(around.w, around.h, roundRect({plate.x, plate.y + 2, plate.w, plate.h}, 12), 2,
                     around.x, around.y),
            6);
        c.fill(glow, around.x, around.y, solid(rgb(0x000000)), 0.35f);
        c.fillShape(roundRect(plate, 12), solid(faded(palette::kGold, 0.35f)), 3, around);
        c.fillShape(roundRect({plate.x + 1.5, plate.y + 1.5, plate.w - 3, plate.h - 3}, 10.5),
                    solid(rgb(0x06140d, 0.72f)), 3, around);
    }
    return c;
}

Canvas separator() {
    Canvas c(10, 768);
    Paint line = [](double x, double y) {
        double fade = std::sin(3.14159 * y / 768.0);
        double core = std::max(0.0, 1.0 - std::abs(x - 5.0) / 5.0);
        Color g = palette::kGold;
        g.a = static_cast<float>(fade * core * core);
        return g;
    };
    c.fillShape([](double, double) { return true; }, line, 1);
    return c;
}

Canvas panelSheet() {
    Canvas c(201, 184);
    // Row 0: the small return icon.
    Canvas icon = returnButton(36, false);
    c.blit(icon, 0, 0);

    // Row 1 (y 37): the team-score panel; the client writes the two scores at x 80 and x 170.
    const int y1 = 37;
    drawPanel(c, {0.5, y1 + 0.5, 200, 35}, 9, palette::kGoldDark, palette::kCream, rgb(0xeedfb6));
    for (auto [cx, half] : {std::pair{80.0, 27.0}, {170.0, 26.0}}) {
        c.fillShape(roundRect({cx - half, y1 + 5.0, 2 * half, 26}, 7), solid(rgb(0xffffff, 0.9f)),
                    6);
    }
    drawText(c, "我方", cjk(12), 27, y1 + 18, solid(rgb(0x1d5fa8)));
    drawText(c, "对方", cjk(12), 125, y1 + 18, solid(rgb(0xb3261e)));

    // Row 2 (y 74): name plate.  Row 3 (y 111): wins.  Row 4 (y 148): cards left.
    const char* const titles[] = {"昵称", "胜局", "剩余"};
    for (int i = 0; i < 3; ++i) {
        int y = 74 + 37 * i;
        drawPanel(c, {0.5, y + 0.5, 200, 35}, 9, palette::kGoldDark, rgb(0x000000, 0.55f),
                  rgb(0x000000, 0.7f));
        c.fillShape(roundRect({4, y + 5.0, 46, 26}, 7), solid(faded(palette::kGold, 0.9f)), 6);
        drawText(c, titles[i], cjk(13), 27, y + 18, solid(palette::kInk));
    }
    return c;
}

Canvas readyBadge() {
    Canvas c(70, 35);
    Mask shadow = blurred(coverage(70, 35, roundRect({3, 4, 64, 29}, 10), 3), 2);
    c.fill(shadow, 0, 0, solid(rgb(0x000000)), 0.5f);
    drawPanel(c, {2, 1, 66, 30}, 10, palette::kGold, rgb(0x5fcf5a), rgb(0x1f7a2c));
    TextStyle style = cjk(17);
    style.outline = 1.6;
    style.outlineColor = rgb(0x0f4016);
    drawText(c, "准备", style, 35, 16, solid(rgb(0xffffff)));
    return c;
}

Canvas playCardSheet() {
    Canvas c(304, 61);
    c.blit(textButton("不出", 152, 61, palette::kBlueButton, false), 0, 0);
    c.blit(textButton("出牌", 152, 61, palette::kGoldButton, false), 152, 0);
    return c;
}

Canvas inputField(const std::string& label) {
    Canvas c(350, 60);
    if (label.empty()) {
        // The login bar: a wide gold button.
        c.blit(textButton("登 录", 350, 60, palette::kGoldButton, false), 0, 0);
        return c;
    }
    drawPanel(c, {1, 4, 348, 52}, 12, palette::kGoldDark, rgb(0x000000, 0.55f),
              rgb(0x000000, 0.7f));
    c.fillShape(roundRect({110, 12, 230, 36}, 8), solid(rgb(0xfffaf0)), 6);
    drawText(c, label, cjk(20), 58, 30, solid(palette::kGold));
    return c;
}

Canvas joinBar() {
    Canvas c(323, 60);
    drawPanel(c, {1, 4, 321, 52}, 14, palette::kGold, rgb(0x0a2a1a, 0.75f), rgb(0x04140c, 0.85f));
    return c;
}

}  // namespace resgen

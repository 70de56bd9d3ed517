// The settings button (a gear) and the pieces of the settings panel: its board, the on/off
// switch, the volume steps' minus and plus, and one bar of the volume gauge.

#include <cmath>

#include "tools/resgen/Pictures.h"
#include "tools/resgen/Shapes.h"

namespace resgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

// A gear of `teeth` teeth around (cx, cy): a ring from rHole to rBody with trapezoid teeth out
// to rTip.
Inside gear(double cx, double cy, double rHole, double rBody, double rTip, int teeth) {
    Inside shape = subtract(circle(cx, cy, rBody), circle(cx, cy, rHole));
    for (int i = 0; i < teeth; ++i) {
        const double a = 2 * kPi * i / teeth;
        const double half = kPi / teeth;
        const double base = half * 0.62;
        const double tip = half * 0.42;
        auto at = [&](double r, double angle) {
            return std::make_pair(cx + r * std::cos(angle), cy + r * std::sin(angle));
        };
        shape = unite(shape, polygon({at(rBody - 1, a - base), at(rTip, a - tip), at(rTip, a + tip),
                                      at(rBody - 1, a + base)}));
    }
    return shape;
}

}  // namespace

Canvas settingsButton(int size, bool pressed) {
    Canvas c(size, size);
    const RoundFace face = roundButtonFace(c, size, pressed, rgb(0x2f4a3c), rgb(0x0f241a));
    const double cx = face.cx, cy = face.cy, r = face.r;
    const Color gold = shade(palette::kGold, pressed ? 0.85f : 1.0f);
    c.fillShape(gear(cx, cy, r * 0.22, r * 0.48, r * 0.68, 8),
                vgradient(cy - r, shade(gold, 1.1f), cy + r, shade(gold, 0.8f)), 8);
    return c;
}

Canvas volumeStep(int size, bool plus) {
    Canvas c(size, size);
    const RoundFace face = roundButtonFace(c, size, false, rgb(0x2f4a3c), rgb(0x0f241a));
    const double cx = face.cx, cy = face.cy, r = face.r;
    const double arm = r * 0.5;
    const double thick = r * 0.13;
    Inside sign = polygon({{cx - arm, cy - thick},
                           {cx + arm, cy - thick},
                           {cx + arm, cy + thick},
                           {cx - arm, cy + thick}});
    if (plus) {
        sign = unite(sign, polygon({{cx - thick, cy - arm},
                                    {cx + thick, cy - arm},
                                    {cx + thick, cy + arm},
                                    {cx - thick, cy + arm}}));
    }
    c.fillShape(sign, solid(palette::kCream), 8);
    return c;
}

Canvas fieldBox(int w, int h) {
    Canvas c(w, h);
    const Box edge{1, 1, w - 2.0, h - 2.0};
    c.fillShape(roundRect(edge, 8), solid(faded(palette::kGold, 0.7f)), 4);
    const Box well{edge.x + 1.5, edge.y + 1.5, edge.w - 3, edge.h - 3};
    c.fillShape(roundRect(well, 7), vgradient(well.y, rgb(0x06150e), well.y + well.h, rgb(0x10301f)),
                4);
    return c;
}

Canvas settingsBoard(int w, int h) {
    Canvas c(w, h);
    Mask shadow = blurred(coverage(w, h, roundRect({6, 8, w - 12.0, h - 12.0}, 18), 3), 6);
    c.fill(shadow, 0, 0, solid(rgb(0x000000)), 0.6f);
    const Box body{4, 3, w - 8.0, h - 10.0};
    c.fillShape(roundRect(body, 16), solid(palette::kGoldDark), 6);
    const Box face{body.x + 2.5, body.y + 2.5, body.w - 5, body.h - 5};
    c.fillShape(roundRect(face, 14),
                vgradient(face.y, rgb(0x1d4431), face.y + face.h, rgb(0x0b2418)), 6);
    const Box line{face.x + 8, face.y + 8, face.w - 16, face.h - 16};
    c.fillShape(subtract(roundRect(line, 10),
                         roundRect({line.x + 1, line.y + 1, line.w - 2, line.h - 2}, 9)),
                solid(faded(palette::kGold, 0.45f)), 6);
    return c;
}

Canvas settingsSwitch(int w, int h, bool on) {
    Canvas c(w, h);
    const double r = h / 2.0 - 1.5;
    const Box track{1.5, 1.5, w - 3.0, h - 3.0};
    c.fillShape(roundRect(track, r), solid(palette::kGoldDark), 6);
    const Box inner{track.x + 2, track.y + 2, track.w - 4, track.h - 4};
    const Color fill = on ? rgb(0x3fae4f) : rgb(0x3a3f44);
    c.fillShape(roundRect(inner, r - 2),
                vgradient(inner.y, shade(fill, 0.8f), inner.y + inner.h, shade(fill, 1.1f)), 6);
    const double knobX = on ? w - 1.5 - r : 1.5 + r;
    c.fillShape(circle(knobX, h / 2.0, r - 3),
                vgradient(2, palette::kCardPaperTop, h - 2.0, palette::kCardPaperBottom), 8);
    return c;
}

Canvas volumeBar(int w, int h) {
    Canvas c(w, h);
    c.fillShape(roundRect({0.5, 0.5, w - 1.0, h - 1.0}, 2.5), solid(rgb(0xffffff)), 6);
    return c;
}

}  // namespace resgen

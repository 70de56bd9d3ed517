// The desk's helpers: the card tracker's round toggle button (two fanned cards) and the dark
// translucent panels behind the tracker's counts and the hint's floating notice.

#include <algorithm>
#include <cmath>

#include "tools/resgen/Pictures.h"
#include "tools/resgen/Shapes.h"
#include "tools/resgen/Text.h"

namespace resgen {

namespace {

// One small upright card, rotated by `turn` (radians) around its bottom centre.
Inside smallCard(double cx, double bottom, double w, double h, double turn) {
    const double c = std::cos(turn), s = std::sin(turn);
    auto at = [&](double dx, double dy) {
        return std::pair<double, double>{cx + dx * c - dy * s, bottom + dx * s + dy * c};
    };
    return polygon({at(-w / 2, 0), at(w / 2, 0), at(w / 2, -h), at(-w / 2, -h)});
}

}  // namespace

Canvas trackerButton(int size, bool pressed) {
    Canvas c(size, size);
    const RoundFace f = roundButtonFace(c, size, pressed, rgb(0x3f8fd8), rgb(0x1b3d7a));
    const double cx = f.cx, cy = f.cy, r = f.r;
    const float dim = f.dim;
    // Two fanned cards, the front one marked with a red heart: "cards counted".
    const double w = r * 0.62, h = r * 0.9, bottom = cy + r * 0.5;
    const Color edge = shade(palette::kCardEdge, dim);
    const Color paper = shade(palette::kCardPaperTop, dim);
    for (double turn : {-0.32, 0.22}) {
        c.fillShape(smallCard(cx + turn * r * 0.9, bottom, w + 2, h + 2, turn), solid(edge), 8);
        c.fillShape(smallCard(cx + turn * r * 0.9, bottom - 1, w, h, turn), solid(paper), 8);
    }
    const double hx = cx + 0.22 * r * 0.9 + 0.1 * r, hy = bottom - h * 0.55;
    c.fillShape(heart({hx - w * 0.28, hy - w * 0.25, w * 0.56, w * 0.5}),
                solid(shade(palette::kCardRed, dim)), 8);
    return c;
}

Canvas darkPanel(int w, int h, float opacity) {
    Canvas c(w, h);
    const Box body{1.0, 1.0, w - 2.0, h - 2.0};
    const double radius = std::min(10.0, h / 4.0);
    c.fillShape(roundRect(body, radius), solid(rgb(0xe9bd55, 0.75f)), 6);
    c.fillShape(roundRect({body.x + 1.5, body.y + 1.5, body.w - 3, body.h - 3}, radius - 1.5),
                vgradient(body.y, rgb(0x0e2a1c, opacity), body.y + body.h,
                          rgb(0x06150d, std::min(1.0f, opacity + 0.04f))),
                6);
    return c;
}

}  // namespace resgen

// Buttons: the text buttons (quick join, ready, play, pass), the return button, and the
// countdown digits. A pressed image sits lower, darker and without its gloss.

#include <cmath>

#include "tools/resgen/Pictures.h"
#include "tools/resgen/Shapes.h"
#include "tools/resgen/Text.h"

namespace resgen {

namespace {

// A U-turn arrow pointing left, drawn into the size x size square at (x, y).
void drawBackArrow(Canvas& c, double x, double y, double s, Color color) {
    const double cx = x + 0.56 * s, cy = y + 0.55 * s;
    const double r0 = 0.13 * s, r1 = 0.25 * s;
    const double left = x + 0.34 * s;
    Inside shape = arc(cx, cy, r0, r1, -1.5708, 1.5708);
    shape = unite(shape, polygon({{left, cy - r1}, {cx, cy - r1}, {cx, cy - r0}, {left, cy - r0}}));
    shape = unite(
        shape,
        polygon({{x + 0.3 * s, cy + r0}, {cx, cy + r0}, {cx, cy + r1}, {x + 0.3 * s, cy + r1}}));
    const double mid = cy - (r0 + r1) / 2;
    shape = unite(shape, polygon({{x + 0.12 * s, mid},
                                  {left + 0.02 * s, mid - 0.19 * s},
                                  {left + 0.02 * s, mid + 0.19 * s}}));
    c.fillShape(shape, solid(color), 8);
}

}  // namespace

Canvas textButton(const std::string& text, int w, int h, const palette::ButtonColors& colors,
                  bool pressed) {
    Canvas c(w, h);
    const double shift = pressed ? 3.0 : 0.0;
    const double bodyH = h - 7.0;
    const double radius = bodyH * 0.34;
    Box body{2.0, 1.0 + shift, w - 4.0, bodyH};

    // Drop shadow under the body; a pressed button nearly touches the table.
    Mask shadow = blurred(
        coverage(
            w, h,
            roundRect({body.x + 1, body.y + (pressed ? 1.5 : 4.0), body.w - 2, body.h}, radius), 3),
        3);
    c.fill(shadow, 0, 0, solid(rgb(0x000000)), 0.55f);

    float dim = pressed ? 0.82f : 1.0f;
    c.fillShape(roundRect(body, radius), solid(shade(colors.rim, dim)), 6);
    Box face{body.x + 2, body.y + 2, body.w - 4, body.h - 4};
    c.fillShape(
        roundRect(face, radius - 2),
        vgradient(face.y, shade(colors.top, dim), face.y + face.h, shade(colors.bottom, dim)), 6);
    if (!pressed) {
        // Gloss on the upper half of the face.
        Box gloss{face.x + 4, face.y + 2, face.w - 8, face.h * 0.45};
        c.fillShape(
            roundRect(gloss, std::min(radius - 4, gloss.h / 2)),
            vgradient(gloss.y, rgb(0xffffff, 0.45f), gloss.y + gloss.h, rgb(0xffffff, 0.05f)), 6);
    }

    TextStyle style;
    style.font = kCjkFont;
    style.bold = true;
    style.inkHeight = bodyH * 0.46;
    style.maxWidth = face.w - 2 * radius;
    style.outline = 2.2;
    style.outlineColor = shade(colors.rim, 0.85f * dim);
    double cx = w / 2.0, cy = body.y + bodyH / 2.0;
    drawText(c, text, style, cx, cy,
             vgradient(cy - style.inkHeight / 2, rgb(0xffffff), cy + style.inkHeight / 2,
                       rgb(0xfff2d6)));
    return c;
}

RoundFace roundButtonFace(Canvas& c, int size, bool pressed, Color top, Color bottom) {
    RoundFace f;
    const double shift = pressed ? 2.0 : 0.0;
    f.r = size / 2.0 - 3.0;
    f.cx = size / 2.0;
    f.cy = size / 2.0 - 1.0 + shift;
    Mask shadow =
        blurred(coverage(size, size, circle(f.cx, f.cy + (pressed ? 1.0 : 2.5), f.r), 3), 3);
    c.fill(shadow, 0, 0, solid(rgb(0x000000)), 0.5f);
    f.dim = pressed ? 0.78f : 1.0f;
    c.fillShape(circle(f.cx, f.cy, f.r), solid(shade(palette::kGoldDark, f.dim)), 8);
    c.fillShape(circle(f.cx, f.cy, f.r - 2.5),
                vgradient(f.cy - f.r, shade(top, f.dim), f.cy + f.r, shade(bottom, f.dim)), 8);
    if (!pressed) {
        c.fillShape(ellipse(f.cx, f.cy - f.r * 0.45, f.r * 0.62, f.r * 0.36),
                    vgradient(f.cy - f.r, rgb(0xffffff, 0.4f), f.cy, rgb(0xffffff, 0.02f)), 8);
    }
    return f;
}

Canvas returnButton(int size, bool pressed) {
    Canvas c(size, size);
    const RoundFace f = roundButtonFace(c, size, pressed, rgb(0xd9473a), rgb(0x8e1d16));
    const double s = f.r * 1.5;
    drawBackArrow(c, f.cx - s / 2, f.cy - s / 2, s, shade(rgb(0xffffff), pressed ? 0.85f : 1.0f));
    return c;
}

Canvas digitStrip() {
    Canvas c(140, 21);
    for (int d = 0; d < 10; ++d) {
        TextStyle style;
        style.inkHeight = 15.5;
        style.maxWidth = 10;
        style.outline = 1.6;
        style.outlineColor = rgb(0x2b1d0e);
        double cx = d * 14 + 7.0, cy = 10.5;
        drawText(c, std::string(1, static_cast<char>('0' + d)), style, cx, cy,
                 vgradient(cy - 8, rgb(0xffffff), cy + 8, rgb(0xffe08a)));
    }
    return c;
}

}  // namespace resgen

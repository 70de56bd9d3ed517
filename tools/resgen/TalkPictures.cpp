// The table talk's pictures: the six emote faces and the panel's pieces. Every coordinate is in
// points (y down), so each face comes out at double size for hd/ with no more work.

#include <cmath>

#include "tools/resgen/Pictures.h"
#include "tools/resgen/Shapes.h"

namespace resgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

const Color kInk = rgb(0x3a2208);
const Color kFaceTop = rgb(0xffe47a);
const Color kFaceBottom = rgb(0xf2a92a);
const Color kAngryTop = rgb(0xff9a6a);
const Color kAngryBottom = rgb(0xd83a22);

// A stroke along the arc of radius r about (cx, cy) from angle a0 to a1 (radians, y up).
Inside stroke(double cx, double cy, double r, double width, double a0, double a1) {
    return arc(cx, cy, r - width / 2, r + width / 2, a0, a1);
}

Inside bar(double x0, double y0, double x1, double y1, double width) {
    const double dx = x1 - x0, dy = y1 - y0;
    const double length = std::sqrt(dx * dx + dy * dy);
    const double nx = -dy / length * width / 2, ny = dx / length * width / 2;
    return polygon({{x0 + nx, y0 + ny}, {x1 + nx, y1 + ny}, {x1 - nx, y1 - ny}, {x0 - nx, y0 - ny}});
}

}  // namespace

Canvas emoteFace(int size, Emote emote) {
    Canvas c(size, size);
    const double cx = size / 2.0, cy = size / 2.0, r = size / 2.0 - 2;
    const bool angry = emote == Emote::Angry;
    // A soft shadow, a dark rim and the face with a light top.
    c.fillShape(circle(cx + 0.8, cy + 1.2, r), solid(rgb(0x000000, 0.3f)));
    c.fillShape(circle(cx, cy, r), solid(kInk));
    c.fillShape(circle(cx, cy, r - 1.4),
                vgradient(cy - r, angry ? kAngryTop : kFaceTop, cy + r,
                          angry ? kAngryBottom : kFaceBottom));
    c.fillShape(ellipse(cx - r * 0.3, cy - r * 0.55, r * 0.35, r * 0.16),
                solid(rgb(0xffffff, 0.45f)));

    const Paint ink = solid(kInk);
    const double eyeY = cy - r * 0.18, eyeDx = r * 0.36, eye = r * 0.12;
    const double line = std::max(1.6, r * 0.11);
    switch (emote) {
        case Emote::Smile:
            c.fillShape(circle(cx - eyeDx, eyeY, eye), ink);
            c.fillShape(circle(cx + eyeDx, eyeY, eye), ink);
            c.fillShape(stroke(cx, cy + r * 0.05, r * 0.5, line, -kPi + 0.55, -0.55), ink);
            break;
        case Emote::Laugh:
            // Eyes shut in arcs, the mouth a wide open half-moon with a tongue.
            for (double side : {-1.0, 1.0}) {
                c.fillShape(stroke(cx + side * eyeDx, eyeY + eye, eye * 1.5, line, 0.3, kPi - 0.3),
                            ink);
            }
            c.fillShape(arc(cx, cy + r * 0.12, 0, r * 0.55, -kPi, 0), ink);
            c.fillShape(
                subtract(circle(cx, cy + r * 0.5, r * 0.24), arc(cx, cy + r * 0.12, 0, 1e9, 0, kPi)),
                solid(rgb(0xe0524a)));
            break;
        case Emote::Surprised:
            c.fillShape(circle(cx - eyeDx, eyeY - eye * 0.5, eye * 1.3), ink);
            c.fillShape(circle(cx + eyeDx, eyeY - eye * 0.5, eye * 1.3), ink);
            c.fillShape(ellipse(cx, cy + r * 0.42, r * 0.18, r * 0.25), ink);
            break;
        case Emote::Sad:
            c.fillShape(circle(cx - eyeDx, eyeY, eye), ink);
            c.fillShape(circle(cx + eyeDx, eyeY, eye), ink);
            c.fillShape(stroke(cx, cy + r * 0.75, r * 0.42, line, 0.6, kPi - 0.6), ink);
            // A tear under the left eye.
            c.fillShape(unite(circle(cx - eyeDx - eye * 0.2, eyeY + r * 0.38, eye * 0.9),
                              polygon({{cx - eyeDx - eye * 1.1, eyeY + r * 0.36},
                                       {cx - eyeDx + eye * 0.7, eyeY + r * 0.36},
                                       {cx - eyeDx - eye * 0.2, eyeY + eye}})),
                        solid(rgb(0x4aa8f0)));
            break;
        case Emote::Angry:
            c.fillShape(circle(cx - eyeDx, eyeY + eye * 0.5, eye), ink);
            c.fillShape(circle(cx + eyeDx, eyeY + eye * 0.5, eye), ink);
            c.fillShape(bar(cx - eyeDx * 1.6, eyeY - eye * 2.4, cx - eyeDx * 0.3, eyeY - eye * 0.6,
                            line),
                        ink);
            c.fillShape(bar(cx + eyeDx * 1.6, eyeY - eye * 2.4, cx + eyeDx * 0.3, eyeY - eye * 0.6,
                            line),
                        ink);
            c.fillShape(stroke(cx, cy + r * 0.78, r * 0.4, line, 0.7, kPi - 0.7), ink);
            break;
        case Emote::Cool: {
            // Sunglasses across the eyes, a bridge between them, a sure half smile.
            const Paint glass = vgradient(eyeY - eye * 2, rgb(0x30343c), eyeY + eye * 2,
                                          rgb(0x07080a));
            for (double side : {-1.0, 1.0}) {
                c.fillShape(roundRect({cx + side * eyeDx - r * 0.3, eyeY - r * 0.2, r * 0.6,
                                       r * 0.38},
                                      r * 0.14),
                            glass);
            }
            c.fillShape(bar(cx - eyeDx, eyeY - r * 0.12, cx + eyeDx, eyeY - r * 0.12, line * 0.8),
                        solid(rgb(0x07080a)));
            c.fillShape(ellipse(cx - eyeDx - r * 0.1, eyeY - r * 0.08, r * 0.1, r * 0.05),
                        solid(rgb(0xffffff, 0.5f)));
            c.fillShape(stroke(cx + r * 0.08, cy + r * 0.12, r * 0.42, line, -kPi / 2 - 0.7,
                               -0.35),
                        ink);
            break;
        }
    }
    return c;
}

}  // namespace resgen

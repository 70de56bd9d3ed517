#pragma once
// Point-in-shape tests for the generator's vector drawings: basic figures, combinators, and the
// four suit symbols. Every test takes picture coordinates (pixels, y down).

#include <utility>
#include <vector>

#include "tools/resgen/Canvas.h"

namespace resgen {

struct Box {
    double x = 0, y = 0, w = 0, h = 0;
};

Inside roundRect(Box b, double radius);
Inside circle(double cx, double cy, double r);
Inside ellipse(double cx, double cy, double rx, double ry);
Inside polygon(std::vector<std::pair<double, double>> points);  // even-odd rule
// A ring segment around (cx, cy) between radii r0 and r1, from angle a0 to a1 (radians, counter-
// clockwise on screen, 0 pointing right).
Inside arc(double cx, double cy, double r0, double r1, double a0, double a1);
// A five-pointed star, first point straight up.
Inside star(double cx, double cy, double outer, double inner);

Inside unite(Inside a, Inside b);
Inside subtract(Inside a, Inside b);

// The suit symbols, each filling the box (touching all four sides).
Inside heart(Box b);
Inside spade(Box b);
Inside club(Box b);
Inside diamond(Box b);

}  // namespace resgen

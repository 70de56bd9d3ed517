#include "tools/resgen/Shapes.h"

#include <algorithm>
#include <cmath>

namespace resgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Maps a box onto the unit square [-1, 1] x [-1, 1] so the suit shapes are written once.
struct Unit {
    Box b;
    double u(double x) const { return (x - b.x) / b.w * 2.0 - 1.0; }
    double v(double y) const { return (y - b.y) / b.h * 2.0 - 1.0; }
};

// The rounded lobes of a heart in unit coordinates, point at v = tip, lobes at v = top.
bool heartUnit(double u, double v) {
    const double r = 0.52, cy = -0.46, cx = 0.48;
    auto inCircle = [&](double x0) { return (u - x0) * (u - x0) + (v - cy) * (v - cy) <= r * r; };
    if (inCircle(-cx) || inCircle(cx)) return true;
    if (v < cy || v > 1.0) return false;
    // Between the lobes and the tip the sides bulge slightly outward: the half-width follows a
    // curve from the outer edge of the lobes (at their centre height) down to the tip.
    double t = (v - cy) / (1.0 - cy);
    double half = (cx + r) * (1.0 - std::pow(t, 1.35));
    return std::abs(u) <= half;
}

// A flared stem for spades and clubs: narrow where it meets the symbol, wide at its foot.
bool stemUnit(double u, double v, double top) {
    if (v < top || v > 1.0) return false;
    double t = (v - top) / (1.0 - top);
    return std::abs(u) <= 0.07 + 0.33 * t * t;
}

}  // namespace

Inside roundRect(Box b, double r) {
    return [=](double x, double y) {
        if (x < b.x || y < b.y || x > b.x + b.w || y > b.y + b.h) return false;
        double cx = std::clamp(x, b.x + r, b.x + b.w - r);
        double cy = std::clamp(y, b.y + r, b.y + b.h - r);
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
    };
}

Inside circle(double cx, double cy, double r) {
    return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

Inside ellipse(double cx, double cy, double rx, double ry) {
    return [=](double x, double y) {
        double u = (x - cx) / rx, v = (y - cy) / ry;
        return u * u + v * v <= 1.0;
    };
}

Inside polygon(std::vector<std::pair<double, double>> pts) {
    return [pts = std::move(pts)](double x, double y) {
        bool in = false;
        for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
            auto [xi, yi] = pts[i];
            auto [xj, yj] = pts[j];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
        }
        return in;
    };
}

Inside arc(double cx, double cy, double r0, double r1, double a0, double a1) {
    return [=](double x, double y) {
        double dx = x - cx, dy = cy - y;
        double d2 = dx * dx + dy * dy;
        if (d2 < r0 * r0 || d2 > r1 * r1) return false;
        double a = std::atan2(dy, dx);
        while (a < a0) a += 2 * kPi;
        while (a > a0 + 2 * kPi) a -= 2 * kPi;
        return a <= a1;
    };
}

Inside star(double cx, double cy, double outer, double inner) {
    std::vector<std::pair<double, double>> pts;
    for (int i = 0; i < 10; ++i) {
        double r = (i % 2 == 0) ? outer : inner;
        double a = -kPi / 2 + i * kPi / 5;
        pts.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a));
    }
    return polygon(std::move(pts));
}

Inside unite(Inside a, Inside b) {
    return [=](double x, double y) { return a(x, y) || b(x, y); };
}

Inside subtract(Inside a, Inside b) {
    return [=](double x, double y) { return a(x, y) && !b(x, y); };
}

Inside heart(Box b) {
    Unit m{b};
    return [=](double x, double y) { return heartUnit(m.u(x), m.v(y)); };
}

Inside spade(Box b) {
    Unit m{b};
    return [=](double x, double y) {
        double u = m.u(x), v = m.v(y);
        // An upside-down heart squeezed into the upper 80 % of the box, then the stem.
        double hv = -((v + 1.0) / 1.62 * 2.0 - 1.0);
        return heartUnit(u, hv) || stemUnit(u, v, 0.25);
    };
}

Inside club(Box b) {
    Unit m{b};
    return [=](double x, double y) {
        double u = m.u(x), v = m.v(y);
        const double r = 0.39;
        auto in = [&](double cx, double cy, double rr) {
            return (u - cx) * (u - cx) + (v - cy) * (v - cy) <= rr * rr;
        };
        return in(0.0, -0.6, r) || in(-0.6, 0.06, r) || in(0.6, 0.06, r) || in(0.0, -0.05, 0.3) ||
               stemUnit(u, v, 0.2);
    };
}

Inside diamond(Box b) {
    Unit m{b};
    return [=](double x, double y) {
        double u = std::abs(m.u(x)) / 0.8, v = std::abs(m.v(y));
        if (u > 1.0) return false;
        // Slightly concave sides, as on printed cards.
        return std::pow(u, 0.88) + std::pow(v, 0.88) <= 1.0;
    };
}

}  // namespace resgen

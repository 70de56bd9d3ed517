#pragma once
// An axis-aligned rectangle: `origin` is its corner with the smallest x and y.
// Sprite-frame rectangles in a texture use the same type with the origin at the image's top-left.

#include "engine/base/Size.h"
#include "engine/base/Vec2.h"

namespace engine {

struct Rect {
    Vec2 origin;
    Size size;

    constexpr Rect() = default;
    constexpr Rect(float x, float y, float w, float h) : origin(x, y), size(w, h) {}
    constexpr Rect(const Vec2& o, const Size& s) : origin(o), size(s) {}

    float getMinX() const { return origin.x; }
    float getMidX() const { return origin.x + size.width / 2; }
    float getMaxX() const { return origin.x + size.width; }
    float getMinY() const { return origin.y; }
    float getMidY() const { return origin.y + size.height / 2; }
    float getMaxY() const { return origin.y + size.height; }

    // Edges included.
    bool containsPoint(const Vec2& p) const {
        return p.x >= getMinX() && p.x <= getMaxX() && p.y >= getMinY() && p.y <= getMaxY();
    }
    bool intersectsRect(const Rect& r) const {
        return !(getMaxX() < r.getMinX() || r.getMaxX() < getMinX() || getMaxY() < r.getMinY() ||
                 r.getMaxY() < getMinY());
    }
    bool equals(const Rect& r) const { return origin == r.origin && size == r.size; }
    bool operator==(const Rect& r) const { return equals(r); }

    static const Rect ZERO;
};

inline constexpr Rect Rect::ZERO{0, 0, 0, 0};

}  // namespace engine

#pragma once
// An axis-aligned transform (scale, then translate): what position, anchor and scale make of a
// node. Rotation is not supported by the engine layer.

#include "engine/base/Rect.h"
#include "engine/base/Vec2.h"

namespace engine {

struct AffineTransform {
    float sx = 1, sy = 1, tx = 0, ty = 0;

    Vec2 apply(const Vec2& p) const { return {sx * p.x + tx, sy * p.y + ty}; }
    // The box `r` maps to, with a non-negative size.
    Rect apply(const Rect& r) const {
        Vec2 a = apply(r.origin);
        Vec2 b = apply(Vec2(r.getMaxX(), r.getMaxY()));
        float x = a.x < b.x ? a.x : b.x;
        float y = a.y < b.y ? a.y : b.y;
        return {x, y, a.x < b.x ? b.x - a.x : a.x - b.x, a.y < b.y ? b.y - a.y : a.y - b.y};
    }
    // This transform after `inner` (inner applied first).
    AffineTransform operator*(const AffineTransform& inner) const {
        return {sx * inner.sx, sy * inner.sy, sx * inner.tx + tx, sy * inner.ty + ty};
    }
    // Undoes the transform; a zero scale maps everything to the origin.
    AffineTransform inverse() const {
        AffineTransform r;
        r.sx = sx != 0 ? 1 / sx : 0;
        r.sy = sy != 0 ? 1 / sy : 0;
        r.tx = -tx * r.sx;
        r.ty = -ty * r.sy;
        return r;
    }
};

}  // namespace engine

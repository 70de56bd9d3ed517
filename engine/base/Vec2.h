#pragma once
// A point or vector in points (design pixels): origin bottom-left, y up.

namespace engine {

struct Vec2 {
    float x = 0;
    float y = 0;

    constexpr Vec2() = default;
    constexpr Vec2(float xx, float yy) : x(xx), y(yy) {}

    constexpr Vec2 operator+(const Vec2& o) const { return {x + o.x, y + o.y}; }
    constexpr Vec2 operator-(const Vec2& o) const { return {x - o.x, y - o.y}; }
    constexpr Vec2 operator*(float s) const { return {x * s, y * s}; }
    constexpr bool operator==(const Vec2& o) const { return x == o.x && y == o.y; }
    bool equals(const Vec2& o) const { return *this == o; }

    static const Vec2 ZERO;
    static const Vec2 ANCHOR_MIDDLE;
    static const Vec2 ANCHOR_BOTTOM_LEFT;
};

inline constexpr Vec2 Vec2::ZERO{0, 0};
inline constexpr Vec2 Vec2::ANCHOR_MIDDLE{0.5f, 0.5f};
inline constexpr Vec2 Vec2::ANCHOR_BOTTOM_LEFT{0, 0};

using Point = Vec2;

}  // namespace engine

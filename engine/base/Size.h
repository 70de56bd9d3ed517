#pragma once
// A width and a height in points.

namespace engine {

struct Size {
    float width = 0;
    float height = 0;

    constexpr Size() = default;
    constexpr Size(float w, float h) : width(w), height(h) {}

    constexpr Size operator*(float s) const { return {width * s, height * s}; }
    constexpr Size operator/(float s) const { return {width / s, height / s}; }
    constexpr bool operator==(const Size& o) const {
        return width == o.width && height == o.height;
    }
    bool equals(const Size& o) const { return *this == o; }

    static const Size ZERO;
};

inline constexpr Size Size::ZERO{0, 0};

}  // namespace engine

#pragma once
// Colours: Color3B tints a node (white leaves it unchanged); Color4B adds opacity.

#include <cstdint>

namespace engine {

struct Color3B {
    std::uint8_t r = 255;
    std::uint8_t g = 255;
    std::uint8_t b = 255;

    constexpr Color3B() = default;
    constexpr Color3B(std::uint8_t rr, std::uint8_t gg, std::uint8_t bb) : r(rr), g(gg), b(bb) {}
    constexpr bool operator==(const Color3B& o) const { return r == o.r && g == o.g && b == o.b; }
    bool equals(const Color3B& o) const { return *this == o; }

    static const Color3B WHITE;
    static const Color3B BLACK;
    static const Color3B RED;
    static const Color3B GREEN;
    static const Color3B BLUE;
    static const Color3B YELLOW;
    static const Color3B GRAY;
};

inline constexpr Color3B Color3B::WHITE{255, 255, 255};
inline constexpr Color3B Color3B::BLACK{0, 0, 0};
inline constexpr Color3B Color3B::RED{255, 0, 0};
inline constexpr Color3B Color3B::GREEN{0, 255, 0};
inline constexpr Color3B Color3B::BLUE{0, 0, 255};
inline constexpr Color3B Color3B::YELLOW{255, 255, 0};
inline constexpr Color3B Color3B::GRAY{166, 166, 166};

struct Color4B {
    std::uint8_t r = 255;
    std::uint8_t g = 255;
    std::uint8_t b = 255;
    std::uint8_t a = 255;

    constexpr Color4B() = default;
    constexpr Color4B(std::uint8_t rr, std::uint8_t gg, std::uint8_t bb, std::uint8_t aa)
        : r(rr), g(gg), b(bb), a(aa) {}
    constexpr Color4B(const Color3B& c, std::uint8_t aa = 255) : r(c.r), g(c.g), b(c.b), a(aa) {}
    constexpr bool operator==(const Color4B& o) const {
        return r == o.r && g == o.g && b == o.b && a == o.a;
    }
};

}  // namespace engine

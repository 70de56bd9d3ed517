#pragma once
// What a frame must draw again of the one before it. The canvas keeps each frame's drawing calls
// as a list; where this frame's list differs from the last one's is the only area of the window
// drawn again, and the rest of the window keeps its pixels. Pure geometry, no SDL; main thread.
//
// Why that is exact: a pixel's colour comes from the calls that cover it, in their order. Outside
// the rectangles of the calls that differ between the two lists the same calls cover a pixel in
// the same order, so its colour cannot have changed.
//
//   the two lists                                      area drawn again
//   the same                                           none
//   one call changed in place (a card raised)          its old and its new rectangle
//   calls added or removed (a label shown)             those calls' rectangles
//   other lengths after a shared start and end         every call between the two
//   a scaled call partly inside the area               the area grows to hold all of it: a
//                                                      scaled copy cut by the clip samples its
//                                                      image differently from a whole one

#include <cstdint>
#include <vector>

#include "engine/platform/Backend.h"

namespace engine::render {

// One Backend::draw call as the canvas keeps it between frames.
struct DrawCall {
    std::uint64_t texture = 0;  // Texture::serial(), never reused
    PixelRect source;
    PixelRect target;
    DrawColor tint;
};

bool sameColor(DrawColor a, DrawColor b);
bool sameCall(const DrawCall& a, const DrawCall& b);

// A half-open rectangle of window pixels: x0 <= x < x1, y0 <= y < y1. Empty when x0 >= x1 or
// y0 >= y1.
struct PixelArea {
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;

    bool empty() const { return x0 >= x1 || y0 >= y1; }
    // The smallest area holding both (an empty one adds nothing).
    void add(const PixelArea& other);
    bool intersects(const PixelArea& other) const;
    bool contains(const PixelArea& other) const;
    PixelArea clippedTo(int width, int height) const;
};

// Every pixel a call's target can touch, whatever the renderer's rounding (one pixel of margin).
PixelArea coverOf(const PixelRect& target);
// Whether the call copies its source at another size (the renderer stretches it).
bool isScaled(const DrawCall& call);

// The area where `after` can differ from `before` on screen (empty: nothing to draw).
PixelArea changedArea(const std::vector<DrawCall>& before, const std::vector<DrawCall>& after);
// `area` cut to the window and grown until no scaled call of `calls` lies partly inside it.
PixelArea settledArea(PixelArea area, const std::vector<DrawCall>& calls, int width, int height);

}  // namespace engine::render

// What a frame draws again of the one before it (engine/backend/render/FrameDiff.h), as tables.
#include <gtest/gtest.h>

#include <vector>

#include "engine/backend/render/FrameDiff.h"

using engine::DrawColor;
using engine::PixelRect;
using namespace engine::render;

namespace {

// An unscaled call of texture `serial` at (x, y), w x h.
DrawCall call(std::uint64_t serial, float x, float y, float w = 10, float h = 10) {
    return {serial, {0, 0, w, h}, {x, y, w, h}, {}};
}

DrawCall tinted(DrawCall c, DrawColor tint) {
    c.tint = tint;
    return c;
}

// A 20 x 20 source stretched to w x h at (x, y).
DrawCall stretched(std::uint64_t serial, float x, float y, float w, float h) {
    return {serial, {0, 0, 20, 20}, {x, y, w, h}, {}};
}

struct AreaCase {
    const char* what;
    std::vector<DrawCall> before;
    std::vector<DrawCall> after;
    PixelArea expected;
};

void expectArea(const PixelArea& actual, const PixelArea& expected) {
    EXPECT_EQ(actual.empty(), expected.empty());
    if (!expected.empty()) {
        EXPECT_EQ(actual.x0, expected.x0);
        EXPECT_EQ(actual.y0, expected.y0);
        EXPECT_EQ(actual.x1, expected.x1);
        EXPECT_EQ(actual.y1, expected.y1);
    }
}

}  // namespace

TEST(FrameDiffTest, ChangedAreaHoldsExactlyTheCallsThatDiffer) {
    const DrawCall table = call(1, 0, 0, 100, 100);
    const AreaCase cases[] = {
        {"the same calls", {table, call(2, 10, 10)}, {table, call(2, 10, 10)}, {}},
        {"no calls at all", {}, {}, {}},
        {"one call moved: its old and new place, one pixel around",
         {table, call(2, 10, 10), call(3, 50, 50)},
         {table, call(2, 10, 30), call(3, 50, 50)},
         {9, 9, 21, 41}},
        {"a fractional place covers the pixels it touches",
         {call(2, 10.5f, 10.25f)}, {call(2, 11.5f, 10.25f)}, {9, 9, 23, 22}},
        {"a new tint", {call(2, 10, 10)}, {tinted(call(2, 10, 10), {255, 0, 0, 255})}, {9, 9, 21, 21}},
        {"another texture in the same place", {call(2, 10, 10)}, {call(4, 10, 10)}, {9, 9, 21, 21}},
        {"another source rectangle",
         {call(2, 10, 10)},
         {{2, {5, 0, 10, 10}, {10, 10, 10, 10}, {}}},
         {9, 9, 21, 21}},
        {"a call added at the end", {table}, {table, call(2, 40, 40)}, {39, 39, 51, 51}},
        {"a call removed from the middle",
         {table, call(2, 10, 10), call(3, 40, 40), call(4, 70, 70)},
         {table, call(2, 10, 10), call(4, 70, 70)},
         {39, 39, 51, 51}},
        {"two calls changed far apart: one area around both",
         {table, call(2, 10, 10), call(3, 40, 40), call(4, 70, 70)},
         {table, call(2, 12, 10), call(3, 40, 40), call(4, 72, 70)},
         {9, 9, 83, 81}},
        {"another length after a shared start and end: every call between",
         {table, call(2, 10, 10), call(3, 40, 40), call(4, 70, 70)},
         {table, call(5, 20, 20), call(4, 70, 70)},
         {9, 9, 51, 51}},
        {"two calls swapped in order", {table, call(2, 10, 10), call(3, 15, 15)},
         {table, call(3, 15, 15), call(2, 10, 10)}, {9, 9, 26, 26}},
        {"an empty target adds nothing", {call(2, 10, 10, 0, 10)}, {call(2, 50, 50, 0, 10)}, {}},
    };
    for (const AreaCase& c : cases) {
        SCOPED_TRACE(c.what);
        expectArea(changedArea(c.before, c.after), c.expected);
    }
}

TEST(FrameDiffTest, SettledAreaTakesWholeScaledCallsAndStaysInTheWindow) {
    struct Case {
        const char* what;
        PixelArea area;
        std::vector<DrawCall> calls;
        PixelArea expected;
    };
    const Case cases[] = {
        {"an unscaled call partly inside does not grow it", {10, 10, 30, 30},
         {call(1, 20, 20, 40, 40)}, {10, 10, 30, 30}},
        {"a scaled call partly inside is taken whole", {10, 10, 30, 30},
         {stretched(1, 20, 20, 40, 40)}, {10, 10, 61, 61}},
        {"a scaled call outside stays out", {10, 10, 30, 30},
         {stretched(1, 100, 100, 40, 40)}, {10, 10, 30, 30}},
        {"a scaled call reached only through another is taken too", {10, 10, 30, 30},
         {stretched(1, 25, 10, 40, 10), stretched(2, 60, 10, 40, 10)}, {10, 9, 101, 30}},
        {"cut to the window", {-5, -5, 30, 300}, {}, {0, 0, 30, 200}},
        {"a scaled call past the window's edge is taken up to the edge", {150, 10, 170, 30},
         {stretched(1, 160, 10, 60, 10)}, {150, 9, 200, 30}},
        {"an empty area stays empty", {}, {stretched(1, 0, 0, 40, 40)}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        expectArea(settledArea(c.area, c.calls, 200, 200), c.expected);
    }
}

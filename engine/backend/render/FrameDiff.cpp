#include "engine/backend/render/FrameDiff.h"

#include <algorithm>
#include <cmath>

namespace engine::render {

namespace {

bool sameRect(const PixelRect& a, const PixelRect& b) {
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

int floorToInt(float value) {
    return static_cast<int>(std::floor(value));
}

int ceilToInt(float value) {
    return static_cast<int>(std::ceil(value));
}

}  // namespace

bool sameColor(DrawColor a, DrawColor b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

bool sameCall(const DrawCall& a, const DrawCall& b) {
    return a.texture == b.texture && sameRect(a.source, b.source) && sameRect(a.target, b.target) &&
           sameColor(a.tint, b.tint);
}

void PixelArea::add(const PixelArea& other) {
    if (other.empty()) {
        return;
    }
    if (empty()) {
        *this = other;
        return;
    }
    x0 = std::min(x0, other.x0);
    y0 = std::min(y0, other.y0);
    x1 = std::max(x1, other.x1);
    y1 = std::max(y1, other.y1);
}

bool PixelArea::intersects(const PixelArea& other) const {
    return !empty() && !other.empty() && x0 < other.x1 && other.x0 < x1 && y0 < other.y1 &&
           other.y0 < y1;
}

bool PixelArea::contains(const PixelArea& other) const {
    return other.empty() ||
           (x0 <= other.x0 && y0 <= other.y0 && other.x1 <= x1 && other.y1 <= y1);
}

PixelArea PixelArea::clippedTo(int width, int height) const {
    PixelArea clipped{std::max(x0, 0), std::max(y0, 0), std::min(x1, width), std::min(y1, height)};
    return clipped.empty() ? PixelArea{} : clipped;
}

PixelArea coverOf(const PixelRect& target) {
    if (!(target.w > 0) || !(target.h > 0)) {
        return {};
    }
    return {floorToInt(target.x) - 1, floorToInt(target.y) - 1, ceilToInt(target.x + target.w) + 1,
            ceilToInt(target.y + target.h) + 1};
}

bool isScaled(const DrawCall& call) {
    // The canvas hands the renderer whole source pixels and SDL cuts the target to whole pixels.
    return static_cast<int>(call.source.w) != static_cast<int>(call.target.w) ||
           static_cast<int>(call.source.h) != static_cast<int>(call.target.h);
}

PixelArea changedArea(const std::vector<DrawCall>& before, const std::vector<DrawCall>& after) {
    size_t start = 0;
    while (start < before.size() && start < after.size() && sameCall(before[start], after[start])) {
        ++start;
    }
    size_t endBefore = before.size();
    size_t endAfter = after.size();
    while (endBefore > start && endAfter > start &&
           sameCall(before[endBefore - 1], after[endAfter - 1])) {
        --endBefore;
        --endAfter;
    }
    PixelArea area;
    if (endBefore - start == endAfter - start) {
        // Paired call by call: only the pairs that differ count.
        for (size_t i = 0; start + i < endBefore; ++i) {
            if (!sameCall(before[start + i], after[start + i])) {
                area.add(coverOf(before[start + i].target));
                area.add(coverOf(after[start + i].target));
            }
        }
        return area;
    }
    for (size_t i = start; i < endBefore; ++i) {
        area.add(coverOf(before[i].target));
    }
    for (size_t i = start; i < endAfter; ++i) {
        area.add(coverOf(after[i].target));
    }
    return area;
}

PixelArea settledArea(PixelArea area, const std::vector<DrawCall>& calls, int width, int height) {
    area = area.clippedTo(width, height);
    bool grown = !area.empty();
    while (grown) {
        grown = false;
        for (const DrawCall& call : calls) {
            if (!isScaled(call)) {
                continue;
            }
            const PixelArea cover = coverOf(call.target).clippedTo(width, height);
            if (area.intersects(cover) && !area.contains(cover)) {
                area.add(cover);
                grown = true;
            }
        }
    }
    return area;
}

}  // namespace engine::render

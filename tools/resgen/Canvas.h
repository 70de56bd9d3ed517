#pragma once
// An RGBA picture in floating point with premultiplied alpha, and the few drawing operations the
// generator needs: fill a coverage mask with a paint, composite another picture, save as PNG.
//
// Shapes are point-in-shape tests sampled on a sub-pixel grid (supersampling), so every edge is
// anti-aliased the same way whatever the shape. Coordinates are in points, origin top-left, y
// down; a picture is made at the drawing scale (setDrawScale), drawScale() pixels per point, so
// every picture can be made at the double size from the same drawing code. Masks hold pixels.

#include <functional>
#include <string>
#include <vector>

namespace resgen {

struct Color {
    float r = 0, g = 0, b = 0, a = 1;  // straight (not premultiplied), 0..1
};

// Pixels per point of the pictures made from now on (1 for the normal set, 2 for the double size).
void setDrawScale(int scale);
int drawScale();

// Colour from 0xRRGGBB and an opacity.
Color rgb(unsigned hex, float alpha = 1.0f);
Color mix(Color a, Color b, float t);
Color shade(Color c, float factor);  // multiplies r, g, b (factor < 1 darkens, > 1 lightens)
Color faded(Color c, float alpha);   // the same colour with another opacity

using Inside = std::function<bool(double x, double y)>;
using Paint = std::function<Color(double x, double y)>;

Paint solid(Color c);
// Linear gradient from c0 at y0 to c1 at y1 (vertical).
Paint vgradient(double y0, Color c0, double y1, Color c1);

// Per-pixel coverage 0..1 of a region of a picture (sizes in pixels).
struct Mask {
    int width = 0;
    int height = 0;
    std::vector<float> a;
    float at(int x, int y) const;
};

// A rectangle of whole points.
struct Area {
    int x = 0, y = 0, w = 0, h = 0;
};

// Coverage of a shape over the w x h area whose top-left is (x0, y0) (points), sampling ss x ss
// points per pixel.
Mask coverage(int w, int h, const Inside& inside, int ss = 6, int x0 = 0, int y0 = 0);
// Gaussian-like blur (three box passes) with the given radius in points.
Mask blurred(const Mask& m, int radius);
// Coverage of m grown by r pixels (a disc dilation), for outlines around text.
Mask dilated(const Mask& m, int r);
// Scales a mask to w x h by averaging the source area under each target pixel.
Mask resampled(const Mask& m, int w, int h);

class Canvas {
public:
    Canvas(int w, int h);  // points; the pixels are w x h times the drawing scale
    int width() const { return m_w; }
    int height() const { return m_h; }

    // Draws paint over the picture through mask m placed with its top-left at (x, y) (points).
    // The paint is evaluated in picture coordinates (points).
    void fill(const Mask& m, int x, int y, const Paint& paint, float opacity = 1.0f);
    // Convenience: supersampled shape over the whole picture.
    void fillShape(const Inside& inside, const Paint& paint, int ss = 6);
    // The same, sampled only inside area (the shape must not reach outside it).
    void fillShape(const Inside& inside, const Paint& paint, int ss, Area area);
    // Composites another picture over this one with its top-left at (x, y).
    void blit(const Canvas& src, int x, int y, float opacity = 1.0f);
    // Straight RGBA at a pixel (pixels).
    Color get(int x, int y) const;

    // Writes an 8-bit RGBA PNG. False on failure.
    bool savePng(const std::string& path) const;
    // The same PNG file in memory; empty on failure.
    std::vector<unsigned char> pngBytes() const;

private:
    int m_w, m_h;             // pixels
    std::vector<float> m_px;  // premultiplied r, g, b, a
};

}  // namespace resgen

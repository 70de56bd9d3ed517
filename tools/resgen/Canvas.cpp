#include "tools/resgen/Canvas.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>

namespace resgen {

namespace {
int g_scale = 1;
}

void setDrawScale(int scale) {
    g_scale = scale;
}

int drawScale() {
    return g_scale;
}

Color rgb(unsigned hex, float alpha) {
    return {((hex >> 16) & 0xff) / 255.0f, ((hex >> 8) & 0xff) / 255.0f, (hex & 0xff) / 255.0f,
            alpha};
}

Color mix(Color a, Color b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}

Color shade(Color c, float f) {
    return {std::min(1.0f, c.r * f), std::min(1.0f, c.g * f), std::min(1.0f, c.b * f), c.a};
}

Color faded(Color c, float alpha) {
    c.a = alpha;
    return c;
}

Paint solid(Color c) {
    return [c](double, double) { return c; };
}

Paint vgradient(double y0, Color c0, double y1, Color c1) {
    return [=](double, double y) {
        double t = std::clamp((y - y0) / (y1 - y0), 0.0, 1.0);
        return mix(c0, c1, static_cast<float>(t));
    };
}

float Mask::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0.0f;
    return a[static_cast<size_t>(y) * width + x];
}

Mask coverage(int w, int h, const Inside& inside, int ss, int x0, int y0) {
    w *= g_scale;
    h *= g_scale;
    Mask m{w, h, std::vector<float>(static_cast<size_t>(w) * h, 0.0f)};
    const double step = 1.0 / ss;
    const double point = 1.0 / g_scale;
    const float unit = 1.0f / static_cast<float>(ss * ss);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int hits = 0;
            for (int j = 0; j < ss; ++j) {
                for (int i = 0; i < ss; ++i) {
                    if (inside(x0 + x * point + (i + 0.5) * step * point,
                               y0 + y * point + (j + 0.5) * step * point)) {
                        ++hits;
                    }
                }
            }
            m.a[static_cast<size_t>(y) * w + x] = hits * unit;
        }
    }
    return m;
}

namespace {

void boxPass(std::vector<float>& v, int w, int h, int r, bool horizontal) {
    std::vector<float> out(v.size(), 0.0f);
    const int n = horizontal ? w : h;
    const int lines = horizontal ? h : w;
    for (int line = 0; line < lines; ++line) {
        auto idx = [&](int k) {
            return horizontal ? static_cast<size_t>(line) * w + k
                              : static_cast<size_t>(k) * w + line;
        };
        double sum = 0;
        for (int k = -r; k <= r; ++k) {
            if (k >= 0 && k < n) sum += v[idx(k)];
        }
        for (int k = 0; k < n; ++k) {
            out[idx(k)] = static_cast<float>(sum / (2 * r + 1));
            int leave = k - r;
            int enter = k + r + 1;
            if (leave >= 0) sum -= v[idx(leave)];
            if (enter < n) sum += v[idx(enter)];
        }
    }
    v.swap(out);
}

}  // namespace

Mask blurred(const Mask& m, int radius) {
    Mask out = m;
    int r = std::max(1, radius * g_scale / 2);
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(out.a, out.width, out.height, r, true);
        boxPass(out.a, out.width, out.height, r, false);
    }
    return out;
}

Mask dilated(const Mask& m, int r) {
    // The disc's offsets with their edge weights, so each pixel takes the largest weighted
    // neighbour; interior pixels stop at the first full neighbour.
    struct Tap {
        int dx, dy;
        float weight;
    };
    std::vector<Tap> disc;
    for (int dy = -r; dy <= r; ++dy) {
        for (int dx = -r; dx <= r; ++dx) {
            double d = std::sqrt(double(dx * dx + dy * dy));
            if (d <= r + 0.5) {
                disc.push_back({dx, dy, static_cast<float>(std::clamp(r + 0.5 - d, 0.0, 1.0))});
            }
        }
    }
    std::stable_sort(disc.begin(), disc.end(),
                     [](const Tap& a, const Tap& b) { return a.weight > b.weight; });
    Mask out = m;
    for (int y = 0; y < m.height; ++y) {
        for (int x = 0; x < m.width; ++x) {
            float best = 0.0f;
            for (const Tap& t : disc) {
                if (t.weight <= best) break;
                best = std::max(best, m.at(x + t.dx, y + t.dy) * t.weight);
            }
            out.a[static_cast<size_t>(y) * m.width + x] = best;
        }
    }
    return out;
}

Mask resampled(const Mask& m, int w, int h) {
    Mask out{w, h, std::vector<float>(static_cast<size_t>(w) * h, 0.0f)};
    const double sx = static_cast<double>(m.width) / w;
    const double sy = static_cast<double>(m.height) / h;
    for (int y = 0; y < h; ++y) {
        double y0 = y * sy, y1 = (y + 1) * sy;
        for (int x = 0; x < w; ++x) {
            double x0 = x * sx, x1 = (x + 1) * sx;
            double sum = 0, area = 0;
            for (int j = static_cast<int>(y0); j < static_cast<int>(std::ceil(y1)); ++j) {
                double wy = std::min(y1, j + 1.0) - std::max(y0, double(j));
                for (int i = static_cast<int>(x0); i < static_cast<int>(std::ceil(x1)); ++i) {
                    double wx = std::min(x1, i + 1.0) - std::max(x0, double(i));
                    sum += m.at(i, j) * wx * wy;
                    area += wx * wy;
                }
            }
            out.a[static_cast<size_t>(y) * w + x] = area > 0 ? static_cast<float>(sum / area) : 0;
        }
    }
    return out;
}

Canvas::Canvas(int w, int h)
    : m_w(w * g_scale), m_h(h * g_scale), m_px(static_cast<size_t>(m_w) * m_h * 4, 0.0f) {}

void Canvas::fill(const Mask& m, int x, int y, const Paint& paint, float opacity) {
    x *= g_scale;
    y *= g_scale;
    const double point = 1.0 / g_scale;
    for (int j = 0; j < m.height; ++j) {
        int py = y + j;
        if (py < 0 || py >= m_h) continue;
        for (int i = 0; i < m.width; ++i) {
            int px = x + i;
            if (px < 0 || px >= m_w) continue;
            float cov = m.a[static_cast<size_t>(j) * m.width + i] * opacity;
            if (cov <= 0.0f) continue;
            Color c = paint((px + 0.5) * point, (py + 0.5) * point);
            float a = c.a * cov;
            float* d = &m_px[(static_cast<size_t>(py) * m_w + px) * 4];
            d[0] = c.r * a + d[0] * (1 - a);
            d[1] = c.g * a + d[1] * (1 - a);
            d[2] = c.b * a + d[2] * (1 - a);
            d[3] = a + d[3] * (1 - a);
        }
    }
}

void Canvas::fillShape(const Inside& inside, const Paint& paint, int ss) {
    fill(coverage(m_w / g_scale, m_h / g_scale, inside, ss), 0, 0, paint);
}

void Canvas::fillShape(const Inside& inside, const Paint& paint, int ss, Area area) {
    fill(coverage(area.w, area.h, inside, ss, area.x, area.y), area.x, area.y, paint);
}

void Canvas::blit(const Canvas& src, int x, int y, float opacity) {
    x *= g_scale;
    y *= g_scale;
    for (int j = 0; j < src.m_h; ++j) {
        int py = y + j;
        if (py < 0 || py >= m_h) continue;
        for (int i = 0; i < src.m_w; ++i) {
            int px = x + i;
            if (px < 0 || px >= m_w) continue;
            const float* s = &src.m_px[(static_cast<size_t>(j) * src.m_w + i) * 4];
            float* d = &m_px[(static_cast<size_t>(py) * m_w + px) * 4];
            float a = s[3] * opacity;
            for (int k = 0; k < 3; ++k) d[k] = s[k] * opacity + d[k] * (1 - a);
            d[3] = a + d[3] * (1 - a);
        }
    }
}

Color Canvas::get(int x, int y) const {
    const float* d = &m_px[(static_cast<size_t>(y) * m_w + x) * 4];
    if (d[3] <= 0.0f) return {0, 0, 0, 0};
    return {d[0] / d[3], d[1] / d[3], d[2] / d[3], d[3]};
}

namespace {

// An 8-bit surface of the picture's pixels: straight RGBA, or RGB where every pixel is opaque (a
// quarter less for the client to inflate: the table's felt is drawn first at every start); null
// when SDL cannot make one.
SDL_Surface* surfaceOf(const Canvas& canvas, int w, int h) {
    auto to8 = [](float v) {
        return static_cast<Uint8>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
    };
    bool opaque = true;
    for (int y = 0; y < h && opaque; ++y) {
        for (int x = 0; x < w && opaque; ++x) {
            opaque = to8(canvas.get(x, y).a) == 255;
        }
    }
    const int channels = opaque ? 3 : 4;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(
        0, w, h, channels * 8, opaque ? SDL_PIXELFORMAT_RGB24 : SDL_PIXELFORMAT_RGBA32);
    if (!s) return nullptr;
    for (int y = 0; y < h; ++y) {
        Uint8* row = static_cast<Uint8*>(s->pixels) + static_cast<size_t>(y) * s->pitch;
        for (int x = 0; x < w; ++x) {
            const Color c = canvas.get(x, y);
            Uint8* px = row + x * channels;
            px[0] = to8(c.r);
            px[1] = to8(c.g);
            px[2] = to8(c.b);
            if (!opaque) px[3] = to8(c.a);
        }
    }
    return s;
}

}  // namespace

bool Canvas::savePng(const std::string& path) const {
    SDL_Surface* s = surfaceOf(*this, m_w, m_h);
    if (!s) return false;
    bool ok = IMG_SavePNG(s, path.c_str()) == 0;
    SDL_FreeSurface(s);
    return ok;
}

std::vector<unsigned char> Canvas::pngBytes() const {
    SDL_Surface* s = surfaceOf(*this, m_w, m_h);
    if (!s) return {};
    // A compressed picture is never larger than its raw pixels and the PNG framing.
    std::vector<unsigned char> bytes(static_cast<size_t>(m_w) * m_h * 4 + 65536);
    SDL_RWops* out = SDL_RWFromMem(bytes.data(), static_cast<int>(bytes.size()));
    const bool ok = out && IMG_SavePNG_RW(s, out, 0) == 0;
    const Sint64 written = ok ? SDL_RWtell(out) : 0;
    if (out) SDL_RWclose(out);
    SDL_FreeSurface(s);
    bytes.resize(ok && written > 0 ? static_cast<size_t>(written) : 0);
    return bytes;
}

}  // namespace resgen

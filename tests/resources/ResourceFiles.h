#pragma once
// Helpers for the checks on the committed resources/ folder.

#include <SDL.h>

#include <memory>
#include <string>
#include <vector>

namespace restest {

// Full path of a file under resources/.
std::string resourcePath(const std::string& relative);
// The whole file under resources/ or at any path, or an empty vector when it cannot be read.
std::vector<unsigned char> readFile(const std::string& relative);
std::vector<unsigned char> readFileAt(const std::string& path);

struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// A PNG under resources/ converted to RGBA32 (bytes r, g, b, a); null when it cannot be loaded.
Surface loadImage(const std::string& relative);

struct Rgba {
    int r = 0, g = 0, b = 0, a = 0;
};
Rgba pixel(const SDL_Surface* s, int x, int y);

// Ink of a rectangle of an RGBA surface: how many pixels are mostly opaque, and their mean colour.
struct Ink {
    int count = 0;
    double r = 0, g = 0, b = 0;
    bool reddish() const { return r > g + 60 && r > b + 60; }
    bool darkish() const { return r < 90 && g < 90 && b < 90; }
};
Ink inkOf(const SDL_Surface* s, SDL_Rect rect);

// One sprite frame of the client's catalogue.
struct Frame {
    std::string name;
    std::string file;
    SDL_Rect rect;
};
// All 49 frames, in the order the client registers them.
std::vector<Frame> frameTable();

}  // namespace restest

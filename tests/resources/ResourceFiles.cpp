#include "tests/resources/ResourceFiles.h"

#include <SDL_image.h>

#include <fstream>
#include <iterator>

namespace restest {

std::string resourcePath(const std::string& relative) {
    return std::string(DESK_RESOURCES_DIR) + "/" + relative;
}

std::vector<unsigned char> readFile(const std::string& relative) {
    return readFileAt(resourcePath(relative));
}

std::vector<unsigned char> readFileAt(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return {};
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

Surface loadImage(const std::string& relative) {
    SDL_Surface* raw = IMG_Load(resourcePath(relative).c_str());
    if (!raw) return nullptr;
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(raw);
    return Surface(rgba);
}

Rgba pixel(const SDL_Surface* s, int x, int y) {
    const auto* p =
        static_cast<const Uint8*>(s->pixels) + static_cast<size_t>(y) * s->pitch + x * 4;
    return {p[0], p[1], p[2], p[3]};
}

Ink inkOf(const SDL_Surface* s, SDL_Rect rect) {
    Ink ink;
    for (int y = rect.y; y < rect.y + rect.h && y < s->h; ++y) {
        for (int x = rect.x; x < rect.x + rect.w && x < s->w; ++x) {
            Rgba p = pixel(s, x, y);
            if (p.a < 160) continue;
            ++ink.count;
            ink.r += p.r;
            ink.g += p.g;
            ink.b += p.b;
        }
    }
    if (ink.count > 0) {
        ink.r /= ink.count;
        ink.g /= ink.count;
        ink.b /= ink.count;
    }
    return ink;
}

std::vector<Frame> frameTable() {
    std::vector<Frame> t = {
        {"flower2", "poker_flower.png", {0, 0, 44, 42}},
        {"flower0", "poker_flower.png", {44, 0, 44, 42}},
        {"flower3", "poker_flower.png", {88, 0, 44, 42}},
        {"flower1", "poker_flower.png", {132, 0, 44, 42}},
    };
    for (int i = 0; i < 13; ++i) {
        t.push_back({"r_num" + std::to_string(i), "poker_num.png", {39 * i, 39, 39, 39}});
        t.push_back({"b_num" + std::to_string(i), "poker_num.png", {39 * i, 0, 39, 39}});
    }
    const std::vector<Frame> rest = {
        {"front", "poker_surface.png", {0, 0, 98, 138}},
        {"r_joker", "poker_surface.png", {99, 0, 98, 138}},
        {"b_joker", "poker_surface.png", {197, 0, 98, 138}},
        {"back", "poker_surface.png", {295, 0, 98, 138}},
        {"login", "login.png", {0, 0, 350, 60}},
        {"nick", "nick.png", {0, 0, 350, 60}},
        {"pass", "pass.png", {0, 0, 350, 60}},
        {"rpass", "rpass.png", {0, 0, 350, 60}},
        {"sep", "sep.png", {0, 0, 10, 768}},
        {"add_desk_bg", "add_desk_bg.png", {0, 0, 323, 60}},
        {"return", "sucai.png", {0, 0, 36, 36}},
        {"score", "sucai.png", {0, 37, 201, 36}},
        {"nickname", "sucai.png", {0, 74, 201, 36}},
        {"win", "sucai.png", {0, 111, 201, 36}},
        {"surplus", "sucai.png", {0, 148, 201, 36}},
        {"noputbtn", "poker_play_card.png", {0, 0, 152, 61}},
        {"putbtn", "poker_play_card.png", {152, 0, 152, 61}},
        {"zhunbei", "zhunbei.png", {0, 0, 70, 35}},
        {"beijing", "bj.png", {0, 0, 1024, 768}},
    };
    t.insert(t.end(), rest.begin(), rest.end());
    return t;
}

}  // namespace restest

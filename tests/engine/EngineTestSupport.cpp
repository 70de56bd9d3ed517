#include "EngineTestSupport.h"

#include <SDL.h>
#include <SDL_image.h>

#include <filesystem>

namespace enginetest {

int LifeCounter::alive = 0;

void HeadlessTest::SetUp() {
    engine::headless::install();
}

void HeadlessTest::TearDown() {
    engine::Director::getInstance()->purge();
}

engine::Layer* HeadlessTest::runLayer() {
    auto* scene = engine::Scene::create();
    auto* layer = engine::Layer::create();
    scene->addChild(layer);
    engine::Director::getInstance()->runWithScene(scene);
    return layer;
}

std::string tempDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "desk-engine-test" /
                                (std::string(info->test_suite_name()) + "." + info->name());
    std::filesystem::create_directories(dir);
    return dir.string();
}

std::string makePng(const std::string& name, int width, int height, engine::Color4B color) {
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_FillRect(surface, nullptr,
                 SDL_MapRGBA(surface->format, color.r, color.g, color.b, color.a));
    const std::string path = (std::filesystem::path(tempDir()) / name).string();
    IMG_SavePNG(surface, path.c_str());
    SDL_FreeSurface(surface);
    return path;
}

std::string makeStrip(const std::string& name, const std::vector<engine::Color4B>& colors,
                      int glyphW, int glyphH, bool vertical) {
    const int count = static_cast<int>(colors.size());
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, vertical ? glyphW : glyphW * count,
                                                          vertical ? glyphH * count : glyphH, 32,
                                                          SDL_PIXELFORMAT_ARGB8888);
    for (int i = 0; i < count; ++i) {
        const SDL_Rect block = vertical ? SDL_Rect{0, i * glyphH, glyphW, glyphH}
                                        : SDL_Rect{i * glyphW, 0, glyphW, glyphH};
        const engine::Color4B& c = colors[static_cast<size_t>(i)];
        SDL_FillRect(surface, &block, SDL_MapRGBA(surface->format, c.r, c.g, c.b, c.a));
    }
    const std::string path = (std::filesystem::path(tempDir()) / name).string();
    IMG_SavePNG(surface, path.c_str());
    SDL_FreeSurface(surface);
    return path;
}

std::string fontPath() {
    return engine::FileUtils::getInstance()->fullPathForFilename("fonts/arial.ttf");
}

}  // namespace enginetest

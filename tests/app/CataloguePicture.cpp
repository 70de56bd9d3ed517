// A labelled sheet of every catalogue frame and every button image, drawn by the headless back
// end into $DESK_PICTURES_DIR/catalogue.png, so that a person can check the artwork against the
// names. Each item sits on a grey tile (so black and transparent parts show), scaled down to fit
// its cell when it is larger, with its name and size below.

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/Catalogue.h"
#include "engine/backend/headless/Headless.h"
#include "engine/scene/Director.h"
#include "engine/scene/Label.h"
#include "engine/scene/Scene.h"
#include "engine/scene/Sprite.h"
#include "tests/kit/PicturePath.h"

namespace {

using namespace engine;

constexpr int kColumns = 8;
constexpr float kCellW = 160;
constexpr float kCellH = 125;
constexpr float kTileW = 150;
constexpr float kTileH = 95;
constexpr int kSheetW = 1280;
constexpr int kSheetH = 1000;

const char* const kButtonImages[] = {
    "add_desk_fast.png", "add_desk_fast_press.png", "return.png", "return_press.png",
    "ready.png",         "ready_press.png",         "put.png",    "put_press.png",
    "noput.png",         "noput_press.png",         "num.png",    "reconnect.png",
    "reconnect_press.png",
};

struct Item {
    Sprite* sprite = nullptr;
    std::string label;
};

std::string sizeText(const Size& size) {
    return std::to_string(static_cast<int>(size.width)) + "x" +
           std::to_string(static_cast<int>(size.height));
}

// The centre of cell `index`'s tile, in design coordinates (origin bottom-left).
Vec2 tileCentre(int index) {
    const float left = static_cast<float>(index % kColumns) * kCellW;
    const float top = kSheetH - static_cast<float>(index / kColumns) * kCellH;
    return Vec2(left + kCellW / 2, top - 5 - kTileH / 2);
}

// Writes the 4 x 4 grey tile drawn under each item; its path, or empty when it cannot.
std::string writeTile() {
    const std::string path = testing::TempDir() + "catalogue_tile.png";
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 4, 4, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!surface) return {};
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0x7a, 0x7a, 0x7a));
    const bool saved = IMG_SavePNG(surface, path.c_str()) == 0;
    SDL_FreeSurface(surface);
    return saved ? path : std::string();
}

TEST(CataloguePicture, SheetOfEveryFrameAndButtonImage) {
    headless::install(kSheetW, kSheetH);
    loadCatalogue();

    const std::string tilePng = writeTile();
    ASSERT_FALSE(tilePng.empty());

    std::vector<Item> items;
    for (const CatalogueFrame& cut : catalogueFrames()) {
        items.push_back({Sprite::createWithSpriteFrameName(cut.name), cut.name});
    }
    for (const char* image : kButtonImages) {
        items.push_back({Sprite::create(image), image});
    }
    ASSERT_LE(items.size(), static_cast<size_t>(kColumns * (kSheetH / kCellH)));

    Scene* scene = Scene::create();
    for (size_t i = 0; i < items.size(); ++i) {
        ASSERT_NE(items[i].sprite, nullptr) << items[i].label;
        const Vec2 centre = tileCentre(static_cast<int>(i));
        Sprite* tile = Sprite::create(tilePng);
        ASSERT_NE(tile, nullptr);
        tile->setScale(kTileW / 4, kTileH / 4);
        tile->setPosition(centre);
        scene->addChild(tile);

        Sprite* sprite = items[i].sprite;
        const Size size = sprite->getContentSize();
        ASSERT_GT(size.width * size.height, 0) << items[i].label << " has no image";
        sprite->setScale(std::min({1.0f, (kTileW - 4) / size.width, (kTileH - 4) / size.height}));
        sprite->setPosition(centre);
        scene->addChild(sprite);

        Label* label =
            Label::createWithTTF(items[i].label + " " + sizeText(size), "fonts/arial.ttf", 12);
        ASSERT_NE(label, nullptr);
        label->setPosition(centre.x, centre.y - kTileH / 2 - 10);
        scene->addChild(label);
    }
    Director::getInstance()->runWithScene(scene);
    headless::stepFrames(1);

    const std::string path = picturePath("catalogue.png");
    ASSERT_TRUE(headless::saveFrame(path));
    EXPECT_GT(std::filesystem::file_size(path), 0u);
    // The background covers its whole (scaled) tile: no grey shows through at its centre.
    const auto beijing = std::find_if(items.begin(), items.end(),
                                      [](const Item& item) { return item.label == "beijing"; });
    const DrawColor centre = headless::pixelAt(tileCentre(beijing - items.begin()).x,
                                               tileCentre(beijing - items.begin()).y);
    EXPECT_FALSE(centre.r == 0x7a && centre.g == 0x7a && centre.b == 0x7a);
}

}  // namespace

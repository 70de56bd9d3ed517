// The sprite-frame and sound catalogue on the headless back end: every name resolves to its
// rectangle of the right texture, the shipped images hold every rectangle, and the sounds are
// preloaded in order, the music as music.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Catalogue.h"
#include "engine/backend/headless/Headless.h"
#include "engine/scene/Director.h"
#include "engine/scene/SpriteFrame.h"
#include "engine/scene/SpriteFrameCache.h"
#include "engine/scene/TextureCache.h"

namespace {

using engine::headless::SoundCall;

class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine::headless::install();
        loadCatalogue();
    }
    engine::SpriteFrameCache& cache() { return *engine::SpriteFrameCache::getInstance(); }
};

// Every frame name, written out here rather than taken from the catalogue.
std::vector<std::string> expectedNames() {
    std::vector<std::string> names = {"flower0", "flower1", "flower2", "flower3"};
    for (int i = 0; i <= 12; ++i) {
        names.push_back("r_num" + std::to_string(i));
        names.push_back("b_num" + std::to_string(i));
    }
    for (const char* name : {"front", "r_joker", "b_joker", "back", "login", "nick", "pass",
                             "rpass", "sep", "add_desk_bg", "return", "score", "nickname", "win",
                             "surplus", "noputbtn", "putbtn", "zhunbei", "beijing"}) {
        names.push_back(name);
    }
    return names;
}

TEST_F(CatalogueTest, RegistersFortyNineFramesThatAllResolve) {
    EXPECT_EQ(cache().size(), 49u);
    for (const std::string& name : expectedNames()) {
        const engine::SpriteFrame* frame = cache().getSpriteFrameByName(name);
        ASSERT_NE(frame, nullptr) << name;
        EXPECT_NE(frame->getTexture(), nullptr) << name << ": its texture did not load";
    }
}

TEST_F(CatalogueTest, FramesCutTheirRectanglesFromTheirTextures) {
    struct Row {
        const char* name;
        const char* texture;
        float x, y, w, h;
    };
    const Row rows[] = {
        {"flower2", "poker_flower.png", 0, 0, 44, 42},
        {"flower1", "poker_flower.png", 132, 0, 44, 42},
        {"r_num0", "poker_num.png", 0, 39, 39, 39},
        {"b_num0", "poker_num.png", 0, 0, 39, 39},
        {"r_num7", "poker_num.png", 273, 39, 39, 39},
        {"b_num12", "poker_num.png", 468, 0, 39, 39},
        {"front", "poker_surface.png", 0, 0, 98, 138},
        {"r_joker", "poker_surface.png", 99, 0, 98, 138},
        {"back", "poker_surface.png", 295, 0, 98, 138},
        {"sep", "sep.png", 0, 0, 10, 768},
        {"add_desk_bg", "add_desk_bg.png", 0, 0, 323, 60},
        {"return", "sucai.png", 0, 0, 36, 36},
        {"score", "sucai.png", 0, 37, 201, 36},
        {"surplus", "sucai.png", 0, 148, 201, 36},
        {"putbtn", "poker_play_card.png", 152, 0, 152, 61},
        {"zhunbei", "zhunbei.png", 0, 0, 70, 35},
        {"beijing", "bj.png", 0, 0, 1024, 768},
    };
    auto* textures = engine::Director::getInstance()->getTextureCache();
    for (const Row& row : rows) {
        const engine::SpriteFrame* frame = cache().getSpriteFrameByName(row.name);
        ASSERT_NE(frame, nullptr) << row.name;
        EXPECT_EQ(frame->getRect(), engine::Rect(row.x, row.y, row.w, row.h)) << row.name;
        EXPECT_EQ(frame->getTexture(), textures->addImage(row.texture)) << row.name;
    }
}

TEST_F(CatalogueTest, ShippedImagesHoldEveryRectangle) {
    for (const CatalogueFrame& cut : catalogueFrames()) {
        const auto& texture = cache().getSpriteFrameByName(cut.name)->getTexture();
        ASSERT_NE(texture, nullptr) << cut.texture;
        EXPECT_GE(texture->width(), cut.x + cut.width) << cut.name << " in " << cut.texture;
        EXPECT_GE(texture->height(), cut.y + cut.height) << cut.name << " in " << cut.texture;
    }
}

TEST_F(CatalogueTest, RegistersRedGlyphBeforeBlackAndTexturesInOrder) {
    std::vector<std::string> firstGlyphs;
    std::vector<std::string> textures;
    for (const CatalogueFrame& cut : catalogueFrames()) {
        if (cut.texture == "poker_num.png" && firstGlyphs.size() < 4) {
            firstGlyphs.push_back(cut.name);
        }
        if (textures.empty() || textures.back() != cut.texture) {
            textures.push_back(cut.texture);
        }
    }
    EXPECT_EQ(firstGlyphs, (std::vector<std::string>{"r_num0", "b_num0", "r_num1", "b_num1"}));
    EXPECT_EQ(textures, (std::vector<std::string>{
                            "poker_flower.png", "poker_num.png", "poker_surface.png", "login.png",
                            "nick.png", "pass.png", "rpass.png", "sep.png", "add_desk_bg.png",
                            "sucai.png", "poker_play_card.png", "zhunbei.png", "bj.png"}));
}

TEST_F(CatalogueTest, PreloadsTheMusicAsMusicThenTheTwelveEffects) {
    std::vector<std::string> calls;
    for (const auto& sound : engine::headless::sounds()) {
        const char* kind = sound.call == SoundCall::PreloadMusic    ? "music "
                           : sound.call == SoundCall::PreloadEffect ? "effect "
                                                                    : "other ";
        calls.push_back(kind + sound.path);
    }
    EXPECT_EQ(calls, (std::vector<std::string>{"music sound/bj.mp3", "effect sound/3.mp3",
                                               "effect sound/cp.wav", "effect sound/at.wav",
                                               "effect sound/boom.mp3", "effect sound/bg.wav",
                                               "effect sound/by.mp3", "effect sound/jg.wav",
                                               "effect sound/win.mp3", "effect sound/lose.mp3",
                                               "effect sound/turn.wav", "effect sound/tick.wav",
                                               "effect sound/talk.wav"}));
}

}  // namespace

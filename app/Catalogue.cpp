#include "app/Catalogue.h"

#include "engine/audio/SimpleAudioEngine.h"
#include "engine/base/Rect.h"
#include "engine/scene/Director.h"
#include "engine/scene/TextureCache.h"
#include "engine/scene/SpriteFrame.h"
#include "engine/scene/SpriteFrameCache.h"

namespace {

// "poker_num.png": two rows of thirteen 39-pixel rank glyphs (0 ace ... 12 king), black on top,
// red below. For each rank the red frame is registered before the black one.
constexpr int kRanks = 13;
constexpr float kGlyph = 39;

// The table's felt, behind the hall and the desk.
constexpr const char* kTableImage = "bj.png";

std::vector<CatalogueFrame> buildFrames() {
    // The suit symbols lie in the order 2, 0, 3, 1; the name carries the suit.
    std::vector<CatalogueFrame> frames = {
        {"flower2", "poker_flower.png", 0, 0, 44, 42},
        {"flower0", "poker_flower.png", 44, 0, 44, 42},
        {"flower3", "poker_flower.png", 88, 0, 44, 42},
        {"flower1", "poker_flower.png", 132, 0, 44, 42},
    };
    for (int i = 0; i < kRanks; ++i) {
        const float x = kGlyph * static_cast<float>(i);
        frames.push_back({"r_num" + std::to_string(i), "poker_num.png", x, kGlyph, kGlyph, kGlyph});
        frames.push_back({"b_num" + std::to_string(i), "poker_num.png", x, 0, kGlyph, kGlyph});
    }
    const std::vector<CatalogueFrame> rest = {
        // Four whole card faces; the red joker starts at 99, one pixel past the front's width.
        {"front", "poker_surface.png", 0, 0, 98, 138},
        {"r_joker", "poker_surface.png", 99, 0, 98, 138},
        {"b_joker", "poker_surface.png", 197, 0, 98, 138},
        {"back", "poker_surface.png", 295, 0, 98, 138},
        {"login", "login.png", 0, 0, 350, 60},
        {"nick", "nick.png", 0, 0, 350, 60},
        {"pass", "pass.png", 0, 0, 350, 60},
        {"rpass", "rpass.png", 0, 0, 350, 60},
        {"sep", "sep.png", 0, 0, 10, 768},
        {"add_desk_bg", "add_desk_bg.png", 0, 0, 323, 60},
        // A strip of 36-pixel rows starting every 37 pixels.
        {"return", "sucai.png", 0, 0, 36, 36},
        {"score", "sucai.png", 0, 37, 201, 36},
        {"nickname", "sucai.png", 0, 74, 201, 36},
        {"win", "sucai.png", 0, 111, 201, 36},
        {"surplus", "sucai.png", 0, 148, 201, 36},
        {"noputbtn", "poker_play_card.png", 0, 0, 152, 61},
        {"putbtn", "poker_play_card.png", 152, 0, 152, 61},
        {"zhunbei", "zhunbei.png", 0, 0, 70, 35},
        {"beijing", kTableImage, 0, 0, 1024, 768},
    };
    frames.insert(frames.end(), rest.begin(), rest.end());
    return frames;
}

}  // namespace

const std::vector<CatalogueFrame>& catalogueFrames() {
    static const std::vector<CatalogueFrame> frames = buildFrames();
    return frames;
}

const std::vector<CatalogueSound>& catalogueSounds() {
    static const std::vector<CatalogueSound> sounds = {
        {"sound/bj.mp3", true},    {"sound/3.mp3", false},    {"sound/cp.wav", false},
        {"sound/at.wav", false},   {"sound/boom.mp3", false}, {"sound/bg.wav", false},
        {"sound/by.mp3", false},   {"sound/jg.wav", false},   {"sound/win.mp3", false},
        {"sound/lose.mp3", false},
        // The desk's turn alert: a chime when the local turn begins, a soft tick in its last
        // seconds.
        {"sound/turn.wav", false}, {"sound/tick.wav", false},
        // A bubble of table talk at the desk.
        {"sound/talk.wav", false},
    };
    return sounds;
}

void prefetchTable() {
    engine::Director::getInstance()->getTextureCache()->prefetchImage(kTableImage);
}

void loadCatalogue() {
    auto* cache = engine::SpriteFrameCache::getInstance();
    for (const CatalogueFrame& cut : catalogueFrames()) {
        const engine::Rect rect(cut.x, cut.y, cut.width, cut.height);
        cache->addSpriteFrame(engine::SpriteFrame::create(cut.texture, rect), cut.name);
    }
    auto* audio = engine::SimpleAudioEngine::getInstance();
    for (const CatalogueSound& sound : catalogueSounds()) {
        if (sound.music) {
            audio->preloadBackgroundMusic(sound.path);
        } else {
            audio->preloadEffect(sound.path);
        }
    }
}

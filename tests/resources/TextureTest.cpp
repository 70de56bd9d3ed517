// Every texture the client cuts frames from, and every button image it loads, is present, large
// enough for its rectangles, and not blank.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>

#include "tests/resources/ResourceFiles.h"

namespace restest {
namespace {

int opaquePixels(const SDL_Surface* s, SDL_Rect r) {
    int n = 0;
    for (int y = r.y; y < r.y + r.h; ++y) {
        for (int x = r.x; x < r.x + r.w; ++x) {
            if (pixel(s, x, y).a > 0) ++n;
        }
    }
    return n;
}

TEST(Textures, FrameTableHasFortyNineUniquelyNamedFrames) {
    std::set<std::string> names;
    for (const Frame& f : frameTable()) names.insert(f.name);
    EXPECT_EQ(frameTable().size(), 49u);
    EXPECT_EQ(names.size(), 49u);
}

TEST(Textures, EveryFrameLiesInsideItsTextureAndIsNotBlank) {
    for (const Frame& f : frameTable()) {
        SCOPED_TRACE(f.name + " in " + f.file);
        Surface s = loadImage(f.file);
        ASSERT_NE(s, nullptr) << SDL_GetError();
        EXPECT_GE(s->w, f.rect.x + f.rect.w);
        EXPECT_GE(s->h, f.rect.y + f.rect.h);
        if (s->w >= f.rect.x + f.rect.w && s->h >= f.rect.y + f.rect.h) {
            EXPECT_GT(opaquePixels(s.get(), f.rect), f.rect.w * f.rect.h / 10);
        }
    }
}

struct ButtonImages {
    const char* normal;
    const char* pressed;
    int maxWidth;
    int maxHeight;
};

// Widths and heights as drawn by the client: the desk's buttons are shown at 0.8, so 300 x 120
// still fits three of them across the middle of a 1024 x 768 table.
const ButtonImages kButtons[] = {
    {"add_desk_fast.png", "add_desk_fast_press.png", 400, 140},
    {"ready.png", "ready_press.png", 300, 120},
    {"put.png", "put_press.png", 300, 120},
    {"noput.png", "noput_press.png", 300, 120},
    {"return.png", "return_press.png", 100, 100},
    {"hint.png", "hint_press.png", 300, 120},
    {"tracker.png", "tracker_press.png", 100, 100},
    {"auto.png", "auto_press.png", 120, 60},
    {"cancel_auto.png", "cancel_auto_press.png", 200, 70},
    {"last_trick.png", "last_trick_press.png", 120, 60},
    {"reconnect.png", "reconnect_press.png", 400, 140},
    {"record.png", "record_press.png", 120, 60},
    {"close.png", "close_press.png", 140, 60},
    {"talk.png", "talk_press.png", 120, 60},
    {"talk_phrase.png", "talk_phrase_press.png", 240, 50},
};

// The table talk's emotes: round faces on a clear square, each its own picture.
TEST(Textures, EmotesAreSixDifferentRoundFaces) {
    const char* const faces[] = {"emote_smile.png", "emote_laugh.png", "emote_surprised.png",
                                 "emote_sad.png",   "emote_angry.png", "emote_cool.png"};
    std::vector<Surface> seen;
    for (const char* face : faces) {
        SCOPED_TRACE(face);
        Surface s = loadImage(face);
        ASSERT_NE(s, nullptr) << SDL_GetError();
        EXPECT_EQ(s->w, 48);
        EXPECT_EQ(s->h, 48);
        EXPECT_EQ(pixel(s.get(), 0, 0).a, 0) << "a corner outside the face is clear";
        EXPECT_EQ(pixel(s.get(), 47, 0).a, 0);
        SDL_Rect all{0, 0, s->w, s->h};
        EXPECT_GT(opaquePixels(s.get(), all), 48 * 48 * 6 / 10) << "a disc fills most of it";
        for (const Surface& other : seen) {
            int differing = 0;
            for (int y = 0; y < 48; ++y) {
                for (int x = 0; x < 48; ++x) {
                    const auto a = pixel(s.get(), x, y), b = pixel(other.get(), x, y);
                    differing += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 90;
                }
            }
            EXPECT_GT(differing, 48) << "each face differs from the ones before";
        }
        seen.push_back(std::move(s));
    }
}

TEST(Textures, ButtonImagesExistAndPressedMatchesNormalSize) {
    for (const ButtonImages& b : kButtons) {
        SCOPED_TRACE(b.normal);
        Surface normal = loadImage(b.normal);
        Surface pressed = loadImage(b.pressed);
        ASSERT_NE(normal, nullptr) << SDL_GetError();
        ASSERT_NE(pressed, nullptr) << SDL_GetError();
        EXPECT_EQ(normal->w, pressed->w);
        EXPECT_EQ(normal->h, pressed->h);
        EXPECT_GE(normal->w, 40);
        EXPECT_GE(normal->h, 30);
        EXPECT_LE(normal->w, b.maxWidth);
        EXPECT_LE(normal->h, b.maxHeight);
        SDL_Rect all{0, 0, normal->w, normal->h};
        EXPECT_GT(opaquePixels(normal.get(), all), normal->w * normal->h / 3);
    }
}

TEST(Textures, PressedButtonLooksDifferentFromNormal) {
    for (const ButtonImages& b : kButtons) {
        SCOPED_TRACE(b.normal);
        Surface normal = loadImage(b.normal);
        Surface pressed = loadImage(b.pressed);
        ASSERT_NE(normal, nullptr);
        ASSERT_NE(pressed, nullptr);
        SDL_Rect all{0, 0, normal->w, normal->h};
        Ink n = inkOf(normal.get(), all), p = inkOf(pressed.get(), all);
        EXPECT_LT(p.r + p.g + p.b, n.r + n.g + n.b) << "the pressed image should be darker";
    }
}

TEST(Textures, CountdownDigitStripHoldsTenGlyphsOf14By21) {
    Surface s = loadImage("num.png");
    ASSERT_NE(s, nullptr) << SDL_GetError();
    EXPECT_GE(s->w, 140);
    EXPECT_GE(s->h, 21);
    for (int d = 0; d < 10 && s->w >= 140; ++d) {
        SCOPED_TRACE(d);
        Ink ink = inkOf(s.get(), {d * 14, 0, 14, 21});
        EXPECT_GT(ink.count, 20);
    }
    // "1" has the least ink, "8" the most: the strip starts with "0" and is in order.
    auto inkAt = [&](int d) { return inkOf(s.get(), {d * 14, 0, 14, 21}).count; };
    EXPECT_LT(inkAt(1), inkAt(8));
    EXPECT_LT(inkAt(7), inkAt(8));
}

// The double-size set: every picture has its twin in hd/ at exactly twice its size, and nothing
// else is there.
TEST(DoubleSize, EveryPictureHasATwinOfTwiceItsSize) {
    namespace fs = std::filesystem;
    std::set<std::string> pictures, twins;
    for (const auto& entry : fs::directory_iterator(resourcePath(""))) {
        if (entry.path().extension() == ".png") pictures.insert(entry.path().filename().string());
    }
    for (const auto& entry : fs::directory_iterator(resourcePath("hd"))) {
        twins.insert(entry.path().filename().string());
    }
    EXPECT_EQ(twins, pictures);
    for (const std::string& name : pictures) {
        SCOPED_TRACE(name);
        Surface normal = loadImage(name);
        Surface twin = loadImage("hd/" + name);
        ASSERT_NE(normal, nullptr);
        ASSERT_NE(twin, nullptr);
        EXPECT_EQ(twin->w, 2 * normal->w);
        EXPECT_EQ(twin->h, 2 * normal->h);
    }
}

// Each frame at twice its rectangle holds the same picture: about four times the ink (thin strokes
// lose a little to their edges at the small size), of the same mean colour (a part drawn at the
// wrong place or size at scale 2 would change both).
TEST(DoubleSize, EveryFrameAtTwiceItsRectangleShowsTheSamePicture) {
    for (const Frame& f : frameTable()) {
        SCOPED_TRACE(f.name + " in hd/" + f.file);
        Surface normal = loadImage(f.file);
        Surface twin = loadImage("hd/" + f.file);
        ASSERT_NE(normal, nullptr);
        ASSERT_NE(twin, nullptr);
        const SDL_Rect big{2 * f.rect.x, 2 * f.rect.y, 2 * f.rect.w, 2 * f.rect.h};
        ASSERT_GE(twin->w, big.x + big.w);
        ASSERT_GE(twin->h, big.y + big.h);
        const Ink small = inkOf(normal.get(), f.rect);
        const Ink large = inkOf(twin.get(), big);
        EXPECT_NEAR(large.count, 4.0 * small.count, 0.12 * 4.0 * small.count + 16);
        EXPECT_NEAR(large.r, small.r, 12);
        EXPECT_NEAR(large.g, small.g, 12);
        EXPECT_NEAR(large.b, small.b, 12);
    }
}

}  // namespace
}  // namespace restest

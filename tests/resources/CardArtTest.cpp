// The card pictures carry what the card sprite expects: suit symbols and rank glyphs in the right
// colours and cells, a blank front with rounded corners, two distinct jokers, and corners that stay
// readable when cards overlap 18 px apart in a hand. Also writes a picture of such a hand.

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/kit/PicturePath.h"
#include "tests/resources/ResourceFiles.h"

namespace restest {
namespace {

SDL_Rect frameRect(const std::string& name) {
    for (const Frame& f : frameTable()) {
        if (f.name == name) return f.rect;
    }
    ADD_FAILURE() << "no frame " << name;
    return {0, 0, 0, 0};
}

TEST(CardArt, SuitSymbolsHaveTheirSuitsColour) {
    Surface s = loadImage("poker_flower.png");
    ASSERT_NE(s, nullptr);
    for (int suit = 0; suit < 4; ++suit) {
        SCOPED_TRACE(suit);
        Ink ink = inkOf(s.get(), frameRect("flower" + std::to_string(suit)));
        EXPECT_GT(ink.count, 44 * 42 / 4);
        if (suit >= 2) {
            EXPECT_TRUE(ink.reddish());
        } else {
            EXPECT_TRUE(ink.darkish());
        }
    }
}

TEST(CardArt, SuitSymbolsOfOneColourHaveDifferentShapes) {
    Surface s = loadImage("poker_flower.png");
    ASSERT_NE(s, nullptr);
    for (auto [a, b] : {std::pair{0, 1}, {2, 3}}) {
        SDL_Rect ra = frameRect("flower" + std::to_string(a));
        SDL_Rect rb = frameRect("flower" + std::to_string(b));
        int differing = 0;
        for (int y = 0; y < 42; ++y) {
            for (int x = 0; x < 44; ++x) {
                bool inA = pixel(s.get(), ra.x + x, ra.y + y).a > 128;
                bool inB = pixel(s.get(), rb.x + x, rb.y + y).a > 128;
                if (inA != inB) ++differing;
            }
        }
        EXPECT_GT(differing, 200) << "suits " << a << " and " << b;
    }
}

TEST(CardArt, RankGlyphsAreLargeBlackAboveRedBelowAndClearOfTheNextCard) {
    Surface s = loadImage("poker_num.png");
    ASSERT_NE(s, nullptr);
    for (const char* prefix : {"b_num", "r_num"}) {
        for (int rank = 0; rank < 13; ++rank) {
            SCOPED_TRACE(prefix + std::to_string(rank));
            SDL_Rect r = frameRect(prefix + std::to_string(rank));
            Ink ink = inkOf(s.get(), r);
            EXPECT_GT(ink.count, 60);
            EXPECT_EQ(prefix[0] == 'r', ink.reddish());
            EXPECT_EQ(prefix[0] == 'b', ink.darkish());
            int top = r.h, bottom = -1, right = -1;
            for (int y = 0; y < r.h; ++y) {
                for (int x = 0; x < r.w; ++x) {
                    if (pixel(s.get(), r.x + x, r.y + y).a < 128) continue;
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                    right = std::max(right, x);
                }
            }
            EXPECT_GE(bottom - top + 1, 27) << "glyph too small to read at 0.4";
            // At 0.4 the cell's centre sits 12 px into the card and the next card starts at
            // 18 px, so ink right of x 34.5 in the cell would be hidden.
            EXPECT_LE(right, 34);
        }
    }
}

TEST(CardArt, FrontIsBlankPaperWithRoundedCorners) {
    Surface s = loadImage("poker_surface.png");
    ASSERT_NE(s, nullptr);
    SDL_Rect f = frameRect("front");
    for (auto [x, y] : {std::pair{0, 0}, {97, 0}, {0, 137}, {97, 137}}) {
        EXPECT_EQ(pixel(s.get(), f.x + x, f.y + y).a, 0) << x << "," << y;
    }
    Ink middle = inkOf(s.get(), {f.x + 10, f.y + 10, 78, 118});
    EXPECT_EQ(middle.count, 78 * 118);
    EXPECT_GT(middle.r, 220);
    EXPECT_GT(middle.g, 220);
    EXPECT_GT(middle.b, 210);
    Rgba edge = pixel(s.get(), f.x + 49, f.y + 0);
    EXPECT_LT(edge.r, 200) << "the top edge should show a border";
}

// Pixels clearly not card paper: strongly coloured or dark.
int printedPixels(const SDL_Surface* s, SDL_Rect r, bool red) {
    int n = 0;
    for (int y = r.y; y < r.y + r.h; ++y) {
        for (int x = r.x; x < r.x + r.w; ++x) {
            Rgba p = pixel(s, x, y);
            if (p.a < 200) continue;
            bool isRed = p.r > 150 && p.g < 90 && p.b < 90;
            bool isDark = p.r < 80 && p.g < 80 && p.b < 80;
            if (red ? isRed : isDark) ++n;
        }
    }
    return n;
}

TEST(CardArt, JokersAreDistinctAndNamedOnTheirVisibleStrip) {
    Surface s = loadImage("poker_surface.png");
    ASSERT_NE(s, nullptr);
    SDL_Rect red = frameRect("r_joker"), black = frameRect("b_joker");
    SDL_Rect redStrip{red.x + 3, red.y + 4, 15, 80}, blackStrip{black.x + 3, black.y + 4, 15, 80};
    EXPECT_GT(printedPixels(s.get(), redStrip, true), 40);
    EXPECT_GT(printedPixels(s.get(), blackStrip, false), 40);
    EXPECT_EQ(printedPixels(s.get(), black, true), 0) << "the black joker has no red";
    EXPECT_GT(printedPixels(s.get(), red, true), 400);
}

TEST(CardArt, BackIsPatternedAndDark) {
    Surface s = loadImage("poker_surface.png");
    ASSERT_NE(s, nullptr);
    SDL_Rect b = frameRect("back");
    Ink field = inkOf(s.get(), {b.x + 10, b.y + 10, 78, 118});
    EXPECT_LT(field.r + field.g + field.b, 3 * 128);
    // A pattern: the field is not one flat colour.
    Rgba first = pixel(s.get(), b.x + 12, b.y + 12);
    int different = 0;
    for (int x = 12; x < 40; ++x) {
        Rgba p = pixel(s.get(), b.x + x, b.y + 12);
        if (std::abs(p.r - first.r) + std::abs(p.g - first.g) + std::abs(p.b - first.b) > 30) {
            ++different;
        }
    }
    EXPECT_GT(different, 2);
}

// Draws frame `from` of texture `src` scaled by 0.4 with its centre at (cx, cy) of dst, as the
// card sprite places its glyph and symbol.
void drawScaled(SDL_Surface* src, SDL_Rect from, SDL_Surface* dst, double cx, double cy) {
    int w = static_cast<int>(from.w * 0.4 + 0.5), h = static_cast<int>(from.h * 0.4 + 0.5);
    Surface small(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGBA32));
    ASSERT_NE(small, nullptr);
    SDL_Rect to{0, 0, w, h};
    ASSERT_EQ(SDL_SoftStretchLinear(src, &from, small.get(), &to), 0) << SDL_GetError();
    SDL_SetSurfaceBlendMode(small.get(), SDL_BLENDMODE_BLEND);
    SDL_Rect at{static_cast<int>(cx - w / 2.0), static_cast<int>(cy - h / 2.0), w, h};
    SDL_BlitSurface(small.get(), nullptr, dst, &at);
}

TEST(CardArt, FannedHandShowsEveryCardsRankAndSuit) {
    Surface surface = loadImage("poker_surface.png");
    Surface glyphs = loadImage("poker_num.png");
    Surface suits = loadImage("poker_flower.png");
    Surface table = loadImage("bj.png");
    ASSERT_TRUE(surface && glyphs && suits && table);
    for (SDL_Surface* s : {surface.get(), glyphs.get(), suits.get()}) {
        SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_BLEND);
    }

    const int hand[] = {0, 5, 10, 15, 19, 22, 27, 30, 37, 38, 40, 45, 50, 51, 52, 53};
    const int n = static_cast<int>(std::size(hand));
    const int left = 300, top = 560;
    for (int i = 0; i < n; ++i) {
        int code = hand[i];
        Surface card(SDL_CreateRGBSurfaceWithFormat(0, 98, 138, 32, SDL_PIXELFORMAT_RGBA32));
        ASSERT_NE(card, nullptr);
        SDL_Rect face = frameRect(code == 52 ? "b_joker" : code == 53 ? "r_joker" : "front");
        SDL_SetSurfaceBlendMode(surface.get(), SDL_BLENDMODE_NONE);
        SDL_BlitSurface(surface.get(), &face, card.get(), nullptr);
        SDL_SetSurfaceBlendMode(surface.get(), SDL_BLENDMODE_BLEND);
        if (code < 52) {
            int rank = code / 4, suit = code % 4;
            std::string glyph = (suit < 2 ? "b_num" : "r_num") + std::to_string(rank);
            // Card coordinates have y up from the bottom edge: y = h - 20 is 20 below the top.
            drawScaled(glyphs.get(), frameRect(glyph), card.get(), 12, 20);
            drawScaled(suits.get(), frameRect("flower" + std::to_string(suit)), card.get(), 12, 45);
        }
        SDL_SetSurfaceBlendMode(card.get(), SDL_BLENDMODE_BLEND);
        SDL_Rect at{left + 18 * i, top, 98, 138};
        SDL_BlitSurface(card.get(), nullptr, table.get(), &at);
    }

    EXPECT_EQ(IMG_SavePNG(table.get(), picturePath("resources_fanned_hand.png").c_str()), 0);
    // Every card but the last shows an 18 px strip; its corner must carry rank and suit colour.
    for (int i = 0; i + 1 < n; ++i) {
        int code = hand[i];
        bool red = code == 53 || (code < 52 && code % 4 >= 2);
        SCOPED_TRACE(code);
        EXPECT_GT(printedPixels(table.get(), {left + 18 * i + 2, top + 10, 16, 20}, red), 12)
            << "rank not visible";
        if (code < 52) {
            EXPECT_GT(printedPixels(table.get(), {left + 18 * i + 2, top + 36, 16, 18}, red), 20)
                << "suit not visible";
        }
    }
}

}  // namespace
}  // namespace restest

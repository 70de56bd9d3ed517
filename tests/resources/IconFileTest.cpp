// icon.ico, the programs' icon on Windows: a well-formed icon file with a picture at 16, 32, 48
// and 256 pixels, each a PNG of the size its entry states, each the same drawing (the felt disc
// with a gold rim, two cards in front of it) and the largest matching icon.png's layout.

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdint>

#include "tests/resources/ResourceFiles.h"

namespace restest {
namespace {

unsigned u16At(const std::vector<unsigned char>& b, size_t at) {
    return b[at] | (b[at + 1] << 8);
}

std::uint32_t u32At(const std::vector<unsigned char>& b, size_t at) {
    return u16At(b, at) | (static_cast<std::uint32_t>(u16At(b, at + 2)) << 16);
}

Surface decode(const std::vector<unsigned char>& file, std::uint32_t offset, std::uint32_t size) {
    SDL_RWops* in = SDL_RWFromConstMem(file.data() + offset, static_cast<int>(size));
    SDL_Surface* raw = in ? IMG_LoadPNG_RW(in) : nullptr;
    if (in) SDL_RWclose(in);
    if (!raw) return nullptr;
    Surface rgba(SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_RGBA32, 0));
    SDL_FreeSurface(raw);
    return rgba;
}

TEST(IconFile, HoldsTheIconAtEachSizeAsAPngOfThatSize) {
    const std::vector<unsigned char> file = readFile("icon.ico");
    ASSERT_GE(file.size(), 6u + 4 * 16u);
    EXPECT_EQ(u16At(file, 0), 0u) << "reserved";
    EXPECT_EQ(u16At(file, 2), 1u) << "an icon, not a cursor";
    ASSERT_EQ(u16At(file, 4), 4u) << "pictures";

    const struct {
        int size;
        int entryByte;  // the entry's width and height byte: 0 stands for 256
    } expected[] = {{16, 16}, {32, 32}, {48, 48}, {256, 0}};
    std::uint32_t nextOffset = 6 + 4 * 16;
    for (size_t i = 0; i < 4; ++i) {
        const auto& e = expected[i];
        SCOPED_TRACE(e.size);
        const size_t entry = 6 + 16 * i;
        EXPECT_EQ(file[entry], e.entryByte);
        EXPECT_EQ(file[entry + 1], e.entryByte);
        EXPECT_EQ(u16At(file, entry + 4), 1u) << "planes";
        EXPECT_EQ(u16At(file, entry + 6), 32u) << "bits per pixel";
        const std::uint32_t size = u32At(file, entry + 8);
        const std::uint32_t offset = u32At(file, entry + 12);
        EXPECT_EQ(offset, nextOffset) << "the pictures follow each other";
        ASSERT_LE(static_cast<size_t>(offset) + size, file.size());
        nextOffset = offset + size;

        Surface picture = decode(file, offset, size);
        ASSERT_NE(picture, nullptr) << IMG_GetError();
        EXPECT_EQ(picture->w, e.size);
        EXPECT_EQ(picture->h, e.size);
        // Outside the disc nothing; at its left edge the gold rim; in the middle a card's paper.
        EXPECT_EQ(pixel(picture.get(), 0, 0).a, 0);
        const Rgba rim = pixel(picture.get(), e.size * 3 / 128, e.size / 2);
        EXPECT_GT(rim.r, rim.b + 40) << "gold";
        const Rgba middle = pixel(picture.get(), e.size * 78 / 128, e.size * 92 / 128);
        EXPECT_EQ(middle.a, 255);
    }
    EXPECT_EQ(nextOffset, file.size()) << "nothing after the last picture";
}

TEST(IconFile, TheLargestPictureIsIconPngAtTwiceItsSize) {
    const std::vector<unsigned char> file = readFile("icon.ico");
    ASSERT_GE(file.size(), 6u + 4 * 16u);
    Surface large = decode(file, u32At(file, 6 + 16 * 3 + 12), u32At(file, 6 + 16 * 3 + 8));
    Surface png = loadImage("icon.png");
    ASSERT_NE(large, nullptr);
    ASSERT_NE(png, nullptr);
    ASSERT_EQ(png->w, 128);
    // Compared at a grid of points: the same drawing, within the edges' anti-aliasing.
    int differing = 0;
    for (int y = 4; y < 128; y += 8) {
        for (int x = 4; x < 128; x += 8) {
            const Rgba a = pixel(png.get(), x, y);
            const Rgba b = pixel(large.get(), 2 * x, 2 * y);
            differing += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.a - b.a) > 60;
        }
    }
    EXPECT_LE(differing, 12) << "of 256 points";
}

}  // namespace
}  // namespace restest

#include "tools/resgen/IconFile.h"

#include <fstream>

#include "tools/resgen/Pictures.h"

namespace resgen {

namespace {

void putU16(std::vector<unsigned char>& out, unsigned value) {
    out.push_back(static_cast<unsigned char>(value & 0xff));
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xff));
}

void putU32(std::vector<unsigned char>& out, std::uint32_t value) {
    putU16(out, value & 0xffff);
    putU16(out, value >> 16);
}

}  // namespace

std::vector<unsigned char> iconFileBytes(const std::vector<IconImage>& images) {
    std::vector<unsigned char> out;
    putU16(out, 0);
    putU16(out, 1);
    putU16(out, static_cast<unsigned>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (const IconImage& image : images) {
        const unsigned char side = image.size >= 256 ? 0 : static_cast<unsigned char>(image.size);
        out.push_back(side);
        out.push_back(side);
        out.push_back(0);
        out.push_back(0);
        putU16(out, 1);
        putU16(out, 32);
        putU32(out, static_cast<std::uint32_t>(image.png.size()));
        putU32(out, offset);
        offset += static_cast<std::uint32_t>(image.png.size());
    }
    for (const IconImage& image : images) {
        out.insert(out.end(), image.png.begin(), image.png.end());
    }
    return out;
}

bool writeIconFile(const std::string& path) {
    const int scale = drawScale();
    setDrawScale(1);
    std::vector<IconImage> images;
    for (int size : kIconSizes) {
        images.push_back({size, appIcon(size).pngBytes()});
    }
    setDrawScale(scale);
    for (const IconImage& image : images) {
        if (image.png.empty()) {
            return false;
        }
    }
    const std::vector<unsigned char> bytes = iconFileBytes(images);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace resgen

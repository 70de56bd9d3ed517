#include "tools/resgen/ShippedFiles.h"

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace resgen {

namespace {

const char* const kFontSource = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";
const char* const kFontCopyright = "/usr/share/doc/fonts-wqy-microhei/copyright";
const char* const kApacheLicence = "/usr/share/common-licenses/Apache-2.0";

std::uint32_t be32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

void setBe32(unsigned char* p, std::uint32_t v) {
    p[0] = v >> 24;
    p[1] = (v >> 16) & 0xff;
    p[2] = (v >> 8) & 0xff;
    p[3] = v & 0xff;
}

std::uint32_t checksum(const std::vector<unsigned char>& b) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 3 < b.size(); i += 4) sum += be32(b.data() + i);
    return sum;
}

bool readFile(const std::string& path, std::vector<unsigned char>& out) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    out.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    return true;
}

bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

bool copyFile(const std::string& from, const std::string& to) {
    std::vector<unsigned char> bytes;
    return readFile(from, bytes) && writeFile(to, bytes);
}

}  // namespace

bool writeStringsPlist(const std::string& path) {
    std::ofstream f(path, std::ios::trunc);
    f << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
         "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
         "<plist version=\"1.0\">\n"
         "<dict>\n"
         "\t<key>title</key>\n"
         "\t<string>双扣</string>\n"
         "\t<key>host</key>\n"
         "\t<string>127.0.0.1</string>\n"
         "\t<key>download</key>\n"
         "\t<string>http://127.0.0.1:8080/download</string>\n"
         "</dict>\n"
         "</plist>\n";
    return static_cast<bool>(f);
}

std::vector<unsigned char> firstFaceOfCollection(const std::vector<unsigned char>& ttc) {
    if (ttc.size() < 16 || std::memcmp(ttc.data(), "ttcf", 4) != 0 || be32(ttc.data() + 8) < 1) {
        return {};
    }
    const std::size_t face = be32(ttc.data() + 12);
    if (face + 12 > ttc.size()) return {};
    const unsigned numTables = ttc[face + 4] << 8 | ttc[face + 5];
    const std::size_t directory = 12 + 16 * numTables;
    if (face + directory > ttc.size()) return {};

    // Same header and table records, with every table copied after the directory, 4-aligned.
    std::vector<unsigned char> out(ttc.begin() + face, ttc.begin() + face + directory);
    std::size_t headAt = 0;
    for (unsigned i = 0; i < numTables; ++i) {
        unsigned char* record = out.data() + 12 + 16 * i;
        std::size_t offset = be32(record + 8), length = be32(record + 12);
        if (offset + length > ttc.size()) return {};
        setBe32(record + 8, static_cast<std::uint32_t>(out.size()));
        if (std::memcmp(record, "head", 4) == 0) headAt = out.size();
        out.insert(out.end(), ttc.begin() + offset, ttc.begin() + offset + length);
        out.resize((out.size() + 3) & ~std::size_t{3}, 0);
    }
    // The whole-file checksum lives in the head table.
    if (headAt == 0 || headAt + 12 > out.size()) return {};
    setBe32(out.data() + headAt + 8, 0);
    setBe32(out.data() + headAt + 8, 0xB1B0AFBAu - checksum(out));
    return out;
}

bool copyFont(const std::string& fontsDir) {
    std::vector<unsigned char> ttc;
    if (!readFile(kFontSource, ttc)) return false;
    std::vector<unsigned char> ttf = firstFaceOfCollection(ttc);
    return !ttf.empty() && writeFile(fontsDir + "/arial.ttf", ttf) &&
           copyFile(kFontCopyright, fontsDir + "/LICENSE-WenQuanYi-MicroHei") &&
           copyFile(kApacheLicence, fontsDir + "/LICENSE-Apache-2.0");
}

}  // namespace resgen

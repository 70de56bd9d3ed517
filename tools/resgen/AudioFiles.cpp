#include "tools/resgen/AudioFiles.h"

#include <lame/lame.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <vector>

namespace resgen {

namespace {

void put16(std::vector<std::uint8_t>& b, std::uint16_t v) {
    b.push_back(v & 0xff);
    b.push_back(v >> 8);
}

void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back((v >> (8 * i)) & 0xff);
}

void putTag(std::vector<std::uint8_t>& b, const char* tag) {
    b.insert(b.end(), tag, tag + 4);
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

}  // namespace

bool writeWav(const std::string& path, const Samples& mono) {
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(mono.size() * 2);
    std::vector<std::uint8_t> b;
    b.reserve(44 + dataBytes);
    putTag(b, "RIFF");
    put32(b, 36 + dataBytes);
    putTag(b, "WAVE");
    putTag(b, "fmt ");
    put32(b, 16);
    put16(b, 1);  // PCM
    put16(b, 1);  // mono
    put32(b, kSampleRate);
    put32(b, kSampleRate * 2);
    put16(b, 2);
    put16(b, 16);
    putTag(b, "data");
    put32(b, dataBytes);
    for (float v : mono) {
        auto s = static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f));
        put16(b, static_cast<std::uint16_t>(s));
    }
    return writeFile(path, b);
}

bool writeMp3(const std::string& path, const Samples& left, const Samples& right, int kbps) {
    const bool stereo = !right.empty();
    lame_t gf = lame_init();
    if (!gf) return false;
    lame_set_in_samplerate(gf, kSampleRate);
    lame_set_out_samplerate(gf, kSampleRate);
    lame_set_num_channels(gf, stereo ? 2 : 1);
    lame_set_mode(gf, stereo ? JOINT_STEREO : MONO);
    lame_set_brate(gf, kbps);
    lame_set_quality(gf, 2);
    lame_set_bWriteVbrTag(gf, 1);
    if (lame_init_params(gf) < 0) {
        lame_close(gf);
        return false;
    }
    const int n = static_cast<int>(left.size());
    std::vector<unsigned char> out(static_cast<std::size_t>(1.25 * n + 7200) * 2);
    int written =
        lame_encode_buffer_ieee_float(gf, left.data(), stereo ? right.data() : left.data(), n,
                                      out.data(), static_cast<int>(out.size()));
    if (written < 0) {
        lame_close(gf);
        return false;
    }
    int flushed =
        lame_encode_flush(gf, out.data() + written, static_cast<int>(out.size()) - written);
    if (flushed < 0) {
        lame_close(gf);
        return false;
    }
    out.resize(static_cast<std::size_t>(written + flushed));
    // Replace the placeholder first frame with the info frame (length, encoder delay, padding).
    unsigned char tag[2880];
    std::size_t tagBytes = lame_get_lametag_frame(gf, tag, sizeof tag);
    lame_close(gf);
    if (tagBytes > 0 && tagBytes <= out.size()) std::copy(tag, tag + tagBytes, out.begin());
    return writeFile(path, std::vector<std::uint8_t>(out.begin(), out.end()));
}

}  // namespace resgen

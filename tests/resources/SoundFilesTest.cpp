// The sounds the client preloads: WAV and MP3 files with valid headers, of sensible length, that
// SDL_mixer (the client's audio back end) decodes to something audible.

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "tests/resources/ResourceFiles.h"

namespace restest {
namespace {

struct SoundFile {
    const char* path;
    double minSeconds;
    double maxSeconds;
};

const SoundFile kSounds[] = {
    {"sound/bj.mp3", 20.0, 40.0}, {"sound/3.mp3", 0.3, 3.0},    {"sound/cp.wav", 0.05, 1.0},
    {"sound/at.wav", 0.2, 2.0},   {"sound/boom.mp3", 0.5, 4.0}, {"sound/bg.wav", 0.5, 3.0},
    {"sound/by.mp3", 0.2, 2.0},   {"sound/jg.wav", 0.05, 1.0},  {"sound/win.mp3", 1.0, 5.0},
    {"sound/lose.mp3", 1.0, 5.0}, {"sound/turn.wav", 0.2, 1.5},  {"sound/tick.wav", 0.02, 0.3},
    {"sound/talk.wav", 0.05, 0.5},
};

std::uint32_t le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t le16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

// Seconds of a PCM WAV file, or a negative number when its header is not valid.
double wavSeconds(const std::vector<unsigned char>& f) {
    if (f.size() < 44 || std::memcmp(f.data(), "RIFF", 4) != 0 ||
        std::memcmp(f.data() + 8, "WAVE", 4) != 0 || le32(f.data() + 4) + 8 != f.size()) {
        return -1;
    }
    int channels = 0, rate = 0, bits = 0;
    for (std::size_t at = 12; at + 8 <= f.size();) {
        std::uint32_t size = le32(f.data() + at + 4);
        if (at + 8 + size > f.size()) return -1;
        const unsigned char* body = f.data() + at + 8;
        if (std::memcmp(f.data() + at, "fmt ", 4) == 0 && size >= 16) {
            if (le16(body) != 1) return -1;  // PCM only
            channels = le16(body + 2);
            rate = static_cast<int>(le32(body + 4));
            bits = le16(body + 14);
        } else if (std::memcmp(f.data() + at, "data", 4) == 0) {
            if (channels < 1 || rate < 8000 || (bits != 8 && bits != 16)) return -1;
            return static_cast<double>(size) / (channels * rate * bits / 8);
        }
        at += 8 + size + (size & 1);
    }
    return -1;
}

// Seconds of an MP3 file whose frames chain from the start (after an ID3v2 tag) to the end
// (before an ID3v1 tag), or a negative number when the chain breaks.
double mp3Seconds(const std::vector<unsigned char>& f) {
    static const int kRatesV1[] = {0,   32,  40,  48,  56,  64,  80, 96,
                                   112, 128, 160, 192, 224, 256, 320};
    static const int kRatesV2[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    static const int kSampleRates[] = {44100, 48000, 32000};
    std::size_t at = 0, end = f.size();
    if (end >= 10 && std::memcmp(f.data(), "ID3", 3) == 0) {
        at = 10 + ((f[6] & 0x7f) << 21 | (f[7] & 0x7f) << 14 | (f[8] & 0x7f) << 7 | (f[9] & 0x7f));
    }
    if (end >= 128 && std::memcmp(f.data() + end - 128, "TAG", 3) == 0) end -= 128;
    double seconds = 0;
    int frames = 0;
    while (at + 4 <= end) {
        const unsigned char* h = f.data() + at;
        if (h[0] != 0xff || (h[1] & 0xe0) != 0xe0) return -1;
        int version = (h[1] >> 3) & 3;  // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
        int layer = (h[1] >> 1) & 3;    // 1 layer III
        int rateIndex = h[2] >> 4, srIndex = (h[2] >> 2) & 3, padding = (h[2] >> 1) & 1;
        if (version == 1 || layer != 1 || rateIndex == 0 || rateIndex == 15 || srIndex == 3) {
            return -1;
        }
        bool v1 = version == 3;
        int sampleRate = kSampleRates[srIndex] / (v1 ? 1 : (version == 2 ? 2 : 4));
        int bitrate = (v1 ? kRatesV1 : kRatesV2)[rateIndex] * 1000;
        std::size_t length = (v1 ? 144 : 72) * bitrate / sampleRate + padding;
        at += length;
        seconds += (v1 ? 1152.0 : 576.0) / sampleRate;
        ++frames;
    }
    return (at == end && frames > 0) ? seconds : -1;
}

TEST(SoundFiles, HeadersAreValidAndLengthsFitTheirUse) {
    for (const SoundFile& s : kSounds) {
        SCOPED_TRACE(s.path);
        std::vector<unsigned char> bytes = readFile(s.path);
        ASSERT_FALSE(bytes.empty()) << "missing";
        std::string path = s.path;
        double seconds = path.ends_with(".wav") ? wavSeconds(bytes) : mp3Seconds(bytes);
        EXPECT_GE(seconds, s.minSeconds);
        EXPECT_LE(seconds, s.maxSeconds);
    }
}

class DecodedSounds : public ::testing::Test {
protected:
    void SetUp() override {
        // Decoding needs an open device but no speaker.
        SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
        Mix_Init(MIX_INIT_MP3);
        ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024), 0) << Mix_GetError();
    }
    void TearDown() override {
        Mix_CloseAudio();
        Mix_Quit();
        SDL_Quit();
    }

    // The decoded samples (interleaved stereo 16-bit) of one file, empty when it cannot be read.
    static std::vector<std::int16_t> decode(const char* path) {
        Mix_Chunk* chunk = Mix_LoadWAV(resourcePath(path).c_str());
        if (!chunk) return {};
        const auto* p = reinterpret_cast<const std::int16_t*>(chunk->abuf);
        std::vector<std::int16_t> out(p, p + chunk->alen / 2);
        Mix_FreeChunk(chunk);
        return out;
    }
};

double rms(const std::vector<std::int16_t>& s, std::size_t from, std::size_t count) {
    double sum = 0;
    for (std::size_t i = from; i < from + count && i < s.size(); ++i) sum += double(s[i]) * s[i];
    return std::sqrt(sum / count) / 32768.0;
}

TEST_F(DecodedSounds, EveryEffectDecodesAndIsAudible) {
    for (const SoundFile& s : kSounds) {
        SCOPED_TRACE(s.path);
        std::vector<std::int16_t> samples = decode(s.path);
        ASSERT_FALSE(samples.empty()) << Mix_GetError();
        int peak = 0;
        for (std::int16_t v : samples) peak = std::max(peak, std::abs(int(v)));
        EXPECT_GT(peak, 32768 / 4) << "too quiet";
        EXPECT_GE(samples.size() / 2 / 44100.0, s.minSeconds * 0.95);
    }
}

TEST_F(DecodedSounds, BackgroundMusicPlaysThroughToItsLoopPoint) {
    std::vector<std::int16_t> music = decode("sound/bj.mp3");
    ASSERT_GT(music.size(), 2u * 44100 * 20);
    // No fade-out at the end and no fade-in after the start: the tune runs on across the loop.
    const std::size_t half = 44100;  // half a second of stereo frames
    double start = rms(music, 2 * 2048, half);
    double end = rms(music, music.size() - half - 2 * 2048, half);
    EXPECT_GT(start, 0.02);
    EXPECT_GT(end, 0.02);
    EXPECT_LT(std::max(start, end) / std::min(start, end), 4.0);
}

TEST_F(DecodedSounds, BackgroundMusicLoopsWithoutAJump) {
    std::vector<std::int16_t> music = decode("sound/bj.mp3");
    ASSERT_GT(music.size(), 4u);
    const std::size_t frames = music.size() / 2;
    for (int channel = 0; channel < 2; ++channel) {
        SCOPED_TRACE(channel);
        auto at = [&](std::size_t frame) { return int(music[frame * 2 + channel]); };
        double meanStep = 0;
        for (std::size_t i = 1; i < frames; ++i) meanStep += std::abs(at(i) - at(i - 1));
        meanStep /= frames - 1;
        // Wrapping from the last sample to the first must look like any other step: no silence
        // of encoder padding at either end, no cut.
        EXPECT_LT(std::abs(at(0) - at(frames - 1)), 4 * meanStep + 1);
    }
}

}  // namespace
}  // namespace restest

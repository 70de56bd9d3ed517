// The hall's background tune: eight bars at 64 beats a minute (30 s) in D major pentatonic, a
// plucked-string melody over harp arpeggios, a soft pad and a round bass, in a small room.
// Everything that rings past the last bar is folded back onto the start, so the file loops
// without a seam.

#include <cmath>

#include "tools/resgen/Sounds.h"

namespace resgen {

namespace {

constexpr double kBeat = 60.0 / 64.0;
constexpr int kBars = 8;
constexpr double kLength = kBars * 4 * kBeat;

struct Note {
    double beat;
    int midi;
};

// Melody: D E F# A B, answering phrases of four bars.
const Note kMelody[] = {
    {0, 69},  {1, 74},    {1.5, 76},  {2, 78},    {3.5, 76},   // D
    {4, 74},  {5, 71},    {6, 78},    {7, 76},                 // Bm
    {8, 74},  {9.5, 76},  {10, 71},   {11, 69},                // G
    {12, 71}, {12.5, 74}, {13, 76},   {15, 69},                // A
    {16, 78}, {17, 81},   {17.5, 78}, {18, 76},   {19, 74},    // D
    {20, 71}, {21, 74},   {21.5, 76}, {22, 78},   {23.5, 81},  // Bm
    {24, 83}, {25, 81},   {26, 78},   {26.5, 76}, {27, 74},    // G
    {28, 76}, {29.5, 74}, {30, 69},   {31, 71},                // A
};

// Chord per bar as root, third, fifth (MIDI, around the octave below middle C's neighbours).
const int kChords[kBars][3] = {
    {50, 54, 57}, {47, 50, 54}, {43, 47, 50}, {45, 49, 52},
    {50, 54, 57}, {47, 50, 54}, {43, 47, 50}, {45, 49, 52},
};

void place(Stereo& out, const Samples& s, double seconds, float gain, float pan) {
    std::size_t at = static_cast<std::size_t>(samplesFor(seconds));
    // Equal-power pan, pan in [-1, 1].
    float l = std::cos((pan + 1) * 0.785398f), r = std::sin((pan + 1) * 0.785398f);
    mixInto(out.left, s, at, gain * l);
    mixInto(out.right, s, at, gain * r);
}

// Adds what lies past `length` samples onto the start, then cuts to `length`.
void foldTail(Samples& s, std::size_t length) {
    if (s.size() < length) s.resize(length, 0.0f);
    for (std::size_t i = length; i < s.size(); ++i) s[i % length] += s[i];
    s.resize(length);
}

}  // namespace

Stereo backgroundMusic() {
    Stereo dry;
    for (const Note& n : kMelody) {
        place(dry, pluck(midiHz(n.midi), 2.6, 0.55), n.beat * kBeat, 0.30f, 0.15f);
    }
    for (int bar = 0; bar < kBars; ++bar) {
        const int* c = kChords[bar];
        double start = bar * 4 * kBeat;
        // Harp arpeggio on the eighths: root, fifth, octave, third above, and back.
        const int pattern[] = {c[0],      c[2],      c[0] + 12, c[1] + 12,
                               c[2] + 12, c[1] + 12, c[0] + 12, c[2]};
        for (int i = 0; i < 8; ++i) {
            place(dry, pluck(midiHz(pattern[i] + 12), 1.6, 0.4), start + i * kBeat / 2,
                  i % 2 == 0 ? 0.14f : 0.10f, -0.35f);
        }
        for (int k = 0; k < 3; ++k) {
            Samples pad = padTone(midiHz(c[k] + 12), 4 * kBeat + 1.2, 1.0, 1.4);
            lowpass(pad, 1400);
            place(dry, pad, start, 0.05f, k == 1 ? 0.5f : -0.2f);
        }
        for (int beat : {0, 2}) {
            Samples bass = pluck(midiHz(c[0] - 12), 2.0, 0.2);
            lowpass(bass, 500);
            place(dry, bass, start + beat * kBeat, 0.38f, 0.0f);
        }
    }
    Stereo mixed = dry;
    Samples wetL = reverb(dry.left, 3.0, 0.45);
    Samples wetR = reverb(dry.right, 3.0, 0.5);
    mixInto(mixed.left, wetL, 0, 0.28f);
    mixInto(mixed.right, wetR, 0, 0.28f);

    const std::size_t length = static_cast<std::size_t>(samplesFor(kLength));
    foldTail(mixed.left, length);
    foldTail(mixed.right, length);
    float peak = 0.0f;
    for (const Samples* s : {&mixed.left, &mixed.right}) {
        for (float v : *s) peak = std::max(peak, std::abs(v));
    }
    for (Samples* s : {&mixed.left, &mixed.right}) {
        for (float& v : *s) v *= 0.7f / peak;
    }
    return mixed;
}

}  // namespace resgen

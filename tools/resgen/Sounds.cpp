// The sound effects. Each is built from noise bursts, tones and filters, and normalized so the
// effects play at matching loudness.

#include "tools/resgen/Sounds.h"

#include <cmath>

namespace resgen {

namespace {

// The body of one card hitting felt: a filtered crack over a soft low knock.
Samples snap(Noise& n, double brightness, double length) {
    Samples crack = noiseBurst(n, length, 0.012);
    bandpass(crack, 1800 + 1600 * brightness, 0.9);
    Samples knock = sineDrop(length, 210, 120, 0.025);
    Samples out;
    mixInto(out, crack, 0, 1.0f);
    mixInto(out, knock, 0, 0.35f);
    return out;
}

// A short noise click narrowed to a band around `hz`, at `gain`: the attack of a tick.
Samples bandClick(Noise& n, double seconds, double tau, double hz, double q, float gain) {
    Samples click = noiseBurst(n, seconds, tau);
    bandpass(click, hz, q);
    Samples s;
    mixInto(s, click, 0, gain);
    return s;
}

// Adds the sound's own echo in a small room.
void addRoom(Samples& s, double tailSeconds, float damping, float wet) {
    Samples echo = reverb(s, tailSeconds, damping);
    mixInto(s, echo, 0, wet);
}

// Brings a finished effect to its loudness and softens its ends against clicks.
void finish(Samples& s, float peak, double fadeIn, double fadeOut) {
    normalize(s, peak);
    fadeEdges(s, fadeIn, fadeOut);
}

}  // namespace

Samples cardSnap() {
    Noise n(101);
    Samples s = snap(n, 0.6, 0.16);
    // A faint second flutter as the card settles.
    Samples settle = noiseBurst(n, 0.05, 0.006);
    bandpass(settle, 4200, 1.2);
    mixInto(s, settle, samplesFor(0.018), 0.25f);
    finish(s, 0.9f, 0.0005, 0.02);
    return s;
}

Samples tripleSlam() {
    Noise n(202);
    Samples s;
    mixInto(s, snap(n, 0.3, 0.2), 0, 0.8f);
    mixInto(s, snap(n, 0.5, 0.2), samplesFor(0.06), 0.9f);
    mixInto(s, snap(n, 0.2, 0.25), samplesFor(0.12), 1.0f);
    // A low thump under the third card.
    mixInto(s, sineDrop(0.3, 120, 60, 0.08), samplesFor(0.12), 0.6f);
    // A short bright chime to mark the combination.
    for (double note : {79.0, 83.0, 86.0}) {
        Samples tone = pluck(midiHz(note), 0.45, 0.35);
        mixInto(s, tone, samplesFor(0.13), 0.16f);
    }
    finish(s, 0.9f, 0.0005, 0.05);
    return s;
}

Samples dealRiffle() {
    Noise n(303);
    Samples s(samplesFor(1.3), 0.0f);
    // Cards flicked off the deck, quickening then settling, each a tiny crack.
    double t = 0.02;
    for (int i = 0; i < 26; ++i) {
        double bright = 0.5 + 0.5 * std::abs(n.next());
        Samples c = noiseBurst(n, 0.04, 0.004 + 0.003 * std::abs(n.next()));
        bandpass(c, 2600 + 2200 * bright, 1.1);
        float gain = 0.55f + 0.45f * std::abs(n.next());
        mixInto(s, c, samplesFor(t), gain);
        t += 0.038 + 0.012 * n.next();
    }
    // A soft rustle under the flicks.
    Samples rustle = noiseBurst(n, 1.15, 10.0);
    bandpass(rustle, 3000, 0.5);
    for (std::size_t i = 0; i < rustle.size(); ++i) {
        double x = static_cast<double>(i) / rustle.size();
        rustle[i] *= static_cast<float>(std::sin(3.14159 * x) * 0.12);
    }
    mixInto(s, rustle, samplesFor(0.02));
    finish(s, 0.85f, 0.002, 0.08);
    return s;
}

Samples warningTick() {
    Noise n(404);
    Samples s = bandClick(n, 0.03, 0.002, 5000, 2.0, 0.6f);
    mixInto(s, sineDrop(0.12, 1760, 1700, 0.03), 0, 0.7f);
    mixInto(s, sineDrop(0.12, 880, 860, 0.035), 0, 0.3f);
    finish(s, 0.8f, 0.0005, 0.02);
    return s;
}

// Two soft bell notes a fifth apart, the second ringing on: noticeable from another window
// without being a warning.
Samples turnChime() {
    Samples s;
    const double notes[] = {81.0, 88.0};  // A5, E6
    for (int i = 0; i < 2; ++i) {
        Samples bell = pluck(midiHz(notes[i]), 0.7, 0.25);
        mixInto(bell, sineDrop(0.7, midiHz(notes[i]) * 2.0, midiHz(notes[i]) * 2.0, 0.12), 0,
                0.15f);
        mixInto(s, bell, samplesFor(0.14 * i), 0.5f);
    }
    addRoom(s, 0.4, 0.5f, 0.2f);
    finish(s, 0.6f, 0.002, 0.1);
    return s;
}

// A quiet wooden tick, lower and shorter than the warning tick it may sound with.
Samples softTick() {
    Noise n(707);
    Samples s = bandClick(n, 0.02, 0.0015, 2400, 1.5, 0.5f);
    mixInto(s, sineDrop(0.06, 1100, 1000, 0.012), 0, 0.5f);
    finish(s, 0.35f, 0.0005, 0.01);
    return s;
}

// A soft rising two-note pop, quieter and shorter than the turn's chime.
Samples talkPop() {
    Samples s;
    const double notes[] = {76.0, 83.0};  // E5, B5
    for (int i = 0; i < 2; ++i) {
        mixInto(s, sineDrop(0.16, midiHz(notes[i]) * 0.97, midiHz(notes[i]), 0.06),
                samplesFor(0.07 * i), 0.5f);
    }
    finish(s, 0.3f, 0.003, 0.05);
    return s;
}

Samples fourOfAKind() {
    Noise n(505);
    Samples s;
    // A rising whoosh into a bright brass chord.
    Samples whoosh = noiseBurst(n, 0.35, 10.0);
    lowpassSweep(whoosh, 400, 6000);
    for (std::size_t i = 0; i < whoosh.size(); ++i) {
        whoosh[i] *= static_cast<float>(static_cast<double>(i) / whoosh.size());
    }
    mixInto(s, whoosh, 0, 0.5f);
    mixInto(s, snap(n, 0.4, 0.2), samplesFor(0.33), 1.0f);
    for (double note : {67.0, 71.0, 74.0, 79.0}) {
        Samples brass = sawTone(midiHz(note), 0.7, 0.01, 0.4, 5.5, 0.004);
        lowpassSweep(brass, 4500, 1200);
        mixInto(s, brass, samplesFor(0.33), 0.22f);
    }
    addRoom(s, 0.6, 0.4f, 0.25f);
    finish(s, 0.9f, 0.002, 0.1);
    return s;
}

Samples bomb() {
    Noise n(606);
    Samples blast = noiseBurst(n, 1.6, 0.35);
    lowpassSweep(blast, 3500, 120);
    Samples s;
    mixInto(s, blast, 0, 1.0f);
    mixInto(s, sineDrop(1.2, 90, 32, 0.4), 0, 1.2f);
    // Crackle of debris after the blast.
    for (int i = 0; i < 18; ++i) {
        Samples bit = noiseBurst(n, 0.03, 0.004);
        bandpass(bit, 1500 + 1200 * std::abs(n.next()), 1.5);
        double at = 0.15 + 0.7 * std::abs(n.next());
        mixInto(s, bit, samplesFor(at), 0.25f * static_cast<float>(1.0 - at));
    }
    softClip(s, 2.2f);
    finish(s, 0.85f, 0.001, 0.3);
    return s;
}

Samples passSound() {
    Samples s;
    // Two soft falling notes, like a shrug.
    double notes[] = {76.0, 71.0};
    for (int i = 0; i < 2; ++i) {
        Samples tone = padTone(midiHz(notes[i]), 0.22, 0.01, 0.12);
        Samples body = sineDrop(0.22, midiHz(notes[i]), midiHz(notes[i]) * 0.98, 0.15);
        mixInto(s, tone, samplesFor(0.17 * i), 0.35f);
        mixInto(s, body, samplesFor(0.17 * i), 0.6f);
    }
    lowpass(s, 3000);
    addRoom(s, 0.3, 0.5f, 0.2f);
    finish(s, 0.7f, 0.002, 0.08);
    return s;
}

Samples winJingle() {
    Samples s;
    // A rising major arpeggio in brass and harp, landing on a held chord with a sparkle.
    const double arp[] = {60, 64, 67, 72};
    for (int i = 0; i < 4; ++i) {
        Samples brass = sawTone(midiHz(arp[i]), 0.22, 0.01, 0.08, 0, 0);
        lowpass(brass, 2500);
        mixInto(s, brass, samplesFor(0.13 * i), 0.35f);
        mixInto(s, pluck(midiHz(arp[i] + 12), 0.6, 0.4), samplesFor(0.13 * i), 0.3f);
    }
    for (double note : {60.0, 64.0, 67.0, 72.0, 76.0}) {
        Samples held = sawTone(midiHz(note), 1.3, 0.02, 0.6, 5.0, 0.005);
        lowpassSweep(held, 3500, 1500);
        mixInto(s, held, samplesFor(0.55), 0.16f);
    }
    for (int i = 0; i < 6; ++i) {
        mixInto(s, pluck(midiHz(84 + (i % 3) * 4), 0.5, 0.2), samplesFor(0.6 + 0.08 * i), 0.12f);
    }
    addRoom(s, 1.0, 0.4f, 0.3f);
    finish(s, 0.9f, 0.002, 0.3);
    return s;
}

Samples loseJingle() {
    Samples s;
    // The sad trombone: three short falling notes and a long wobbling one.
    const double notes[] = {67, 66, 65, 64};
    const double lengths[] = {0.38, 0.38, 0.38, 1.2};
    double t = 0;
    for (int i = 0; i < 4; ++i) {
        Samples horn = sawTone(midiHz(notes[i] - 12), lengths[i], 0.03, 0.12, i == 3 ? 6.0 : 0.0,
                               i == 3 ? 0.018 : 0.0);
        lowpassSweep(horn, 500, i == 3 ? 1400 : 1000);
        mixInto(s, horn, samplesFor(t), 0.8f);
        t += lengths[i] + 0.04;
    }
    addRoom(s, 0.8, 0.5f, 0.25f);
    finish(s, 0.85f, 0.002, 0.25);
    return s;
}

}  // namespace resgen

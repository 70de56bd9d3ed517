#pragma once
// Small sound-synthesis kit for the generated effects and music: mono float buffers at 44.1 kHz,
// a seeded noise source, oscillators with envelopes, filters and a room reverb.

#include <cstdint>
#include <vector>

namespace resgen {

constexpr int kSampleRate = 44100;
using Samples = std::vector<float>;

// xorshift32: the same seed gives the same sounds on every run.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : m_state(seed ? seed : 1) {}
    float next();  // uniform in [-1, 1)

private:
    std::uint32_t m_state;
};

int samplesFor(double seconds);
double midiHz(double note);

// Adds src (times gain) into dst starting at sample offset, growing dst when needed.
void mixInto(Samples& dst, const Samples& src, std::size_t offset, float gain = 1.0f);
// Scales so the largest magnitude becomes peak.
void normalize(Samples& s, float peak);
// Gentle saturation, keeps peaks under 1.
void softClip(Samples& s, float drive);
// Short linear fades at both ends, against clicks.
void fadeEdges(Samples& s, double inSeconds, double outSeconds);

// One-pole low-pass with a cutoff in Hz, fixed or gliding exponentially over the sound.
void lowpass(Samples& s, double cutoffHz);
void lowpassSweep(Samples& s, double fromHz, double toHz);
// Resonant band-pass (biquad, constant peak gain).
void bandpass(Samples& s, double centreHz, double q);

// A burst of noise with an instant attack and exponential decay (time constant tau).
Samples noiseBurst(Noise& n, double seconds, double tau);
// A sine whose pitch glides exponentially from f0 to f1, decaying with time constant tau.
Samples sineDrop(double seconds, double f0, double f1, double tau);
// A plucked string: harmonics that fade faster the higher they are.
Samples pluck(double hz, double seconds, double brightness);
// A soft sustained tone (detuned triangle pair) with attack and release, for pads and brass.
Samples padTone(double hz, double seconds, double attack, double release);
// A bright buzzy tone (band-limited sawtooth) with attack/release and optional vibrato.
Samples sawTone(double hz, double seconds, double attack, double release, double vibratoHz,
                double vibratoDepth);

// Schroeder reverb; returns only the wet signal (same length as input plus tail).
Samples reverb(const Samples& dry, double tailSeconds, float damping);

}  // namespace resgen

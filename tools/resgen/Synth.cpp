#include "tools/resgen/Synth.h"

#include <algorithm>
#include <cmath>

namespace resgen {

namespace {
constexpr double kTwoPi = 6.28318530717958647692;
}

float Noise::next() {
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return static_cast<float>((m_state >> 8) / double(1 << 24) * 2.0 - 1.0);
}

int samplesFor(double seconds) {
    return static_cast<int>(std::lround(seconds * kSampleRate));
}

double midiHz(double note) {
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

void mixInto(Samples& dst, const Samples& src, std::size_t offset, float gain) {
    if (dst.size() < offset + src.size()) dst.resize(offset + src.size(), 0.0f);
    for (std::size_t i = 0; i < src.size(); ++i) dst[offset + i] += src[i] * gain;
}

void normalize(Samples& s, float peak) {
    float m = 0.0f;
    for (float v : s) m = std::max(m, std::abs(v));
    if (m <= 0.0f) return;
    for (float& v : s) v *= peak / m;
}

void softClip(Samples& s, float drive) {
    float norm = std::tanh(drive);
    for (float& v : s) v = std::tanh(v * drive) / norm;
}

void fadeEdges(Samples& s, double inSeconds, double outSeconds) {
    std::size_t in = std::min<std::size_t>(s.size(), samplesFor(inSeconds));
    std::size_t out = std::min<std::size_t>(s.size(), samplesFor(outSeconds));
    for (std::size_t i = 0; i < in; ++i) s[i] *= static_cast<float>(i) / in;
    for (std::size_t i = 0; i < out; ++i) s[s.size() - 1 - i] *= static_cast<float>(i) / out;
}

void lowpass(Samples& s, double cutoffHz) {
    lowpassSweep(s, cutoffHz, cutoffHz);
}

void lowpassSweep(Samples& s, double fromHz, double toHz) {
    double y = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        double t = s.size() > 1 ? static_cast<double>(i) / (s.size() - 1) : 0.0;
        double fc = fromHz * std::pow(toHz / fromHz, t);
        double a = 1.0 - std::exp(-kTwoPi * fc / kSampleRate);
        y += a * (s[i] - y);
        s[i] = static_cast<float>(y);
    }
}

void bandpass(Samples& s, double centreHz, double q) {
    double w0 = kTwoPi * centreHz / kSampleRate;
    double alpha = std::sin(w0) / (2 * q);
    double a0 = 1 + alpha;
    double b0 = alpha / a0, b2 = -alpha / a0;
    double a1 = -2 * std::cos(w0) / a0, a2 = (1 - alpha) / a0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (float& v : s) {
        double x = v;
        double y = b0 * x + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        v = static_cast<float>(y);
    }
}

Samples noiseBurst(Noise& n, double seconds, double tau) {
    Samples s(samplesFor(seconds));
    for (std::size_t i = 0; i < s.size(); ++i) {
        double t = static_cast<double>(i) / kSampleRate;
        s[i] = n.next() * static_cast<float>(std::exp(-t / tau));
    }
    return s;
}

Samples sineDrop(double seconds, double f0, double f1, double tau) {
    Samples s(samplesFor(seconds));
    double phase = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        double t = static_cast<double>(i) / kSampleRate;
        double f = f0 * std::pow(f1 / f0, t / seconds);
        phase += kTwoPi * f / kSampleRate;
        double edges = std::min({1.0, t / 0.002, (seconds - t) / 0.015});
        s[i] = static_cast<float>(std::sin(phase) * std::exp(-t / tau) * edges);
    }
    return s;
}

Samples pluck(double hz, double seconds, double brightness) {
    Samples s(samplesFor(seconds));
    for (int k = 1; k <= 10; ++k) {
        double f = hz * k * (1.0 + 0.0004 * k * k);  // a little string stiffness
        if (f > kSampleRate / 2.2) break;
        double amp = std::pow(brightness, k - 1) / k;
        double decay = 1.4 + 0.9 * k * k * 0.25;
        // A decaying phasor turned by one sample's angle each step: sin and exp without calls.
        double step = kTwoPi * f / kSampleRate, shrink = std::exp(-decay / kSampleRate);
        double rc = std::cos(step) * shrink, rs = std::sin(step) * shrink;
        double re = amp, im = 0.0;
        for (std::size_t i = 0; i < s.size(); ++i) {
            s[i] += static_cast<float>(im);
            double nre = re * rc - im * rs;
            im = re * rs + im * rc;
            re = nre;
        }
    }
    fadeEdges(s, 0.004, 0.03);
    return s;
}

namespace {

// Attack-sustain-release gain at time t of a note lasting `seconds`.
double asr(double t, double seconds, double attack, double release) {
    double g = attack > 0 ? std::min(1.0, t / attack) : 1.0;
    if (t > seconds - release) g *= std::max(0.0, (seconds - t) / release);
    return g;
}

}  // namespace

Samples padTone(double hz, double seconds, double attack, double release) {
    Samples s(samplesFor(seconds));
    double p1 = 0, p2 = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        double t = static_cast<double>(i) / kSampleRate;
        p1 += hz * 1.003 / kSampleRate;
        p2 += hz * 0.997 / kSampleRate;
        auto tri = [](double p) { return 4.0 * std::abs(p - std::floor(p + 0.5)) - 1.0; };
        s[i] = static_cast<float>((tri(p1) + tri(p2)) * 0.5 * asr(t, seconds, attack, release));
    }
    return s;
}

Samples sawTone(double hz, double seconds, double attack, double release, double vibratoHz,
                double vibratoDepth) {
    Samples s(samplesFor(seconds));
    double phase = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        double t = static_cast<double>(i) / kSampleRate;
        double f =
            hz * (1.0 + vibratoDepth * std::sin(kTwoPi * vibratoHz * t) * std::min(1.0, t / 0.3));
        phase += kTwoPi * f / kSampleRate;
        double v = 0;
        for (int k = 1; k * f < kSampleRate / 2.5 && k <= 24; ++k) v += std::sin(k * phase) / k;
        s[i] = static_cast<float>(v * 0.6 * asr(t, seconds, attack, release));
    }
    return s;
}

Samples reverb(const Samples& dry, double tailSeconds, float damping) {
    Samples out(dry.size() + samplesFor(tailSeconds), 0.0f);
    const int combs[] = {1557, 1617, 1491, 1422};
    const int allpasses[] = {225, 556};
    for (int len : combs) {
        std::vector<float> line(len, 0.0f);
        float store = 0.0f;
        std::size_t pos = 0;
        for (std::size_t i = 0; i < out.size(); ++i) {
            float in = i < dry.size() ? dry[i] : 0.0f;
            float y = line[pos];
            store = y * (1 - damping) + store * damping;
            line[pos] = in + store * 0.84f;
            pos = (pos + 1) % len;
            out[i] += y * 0.25f;
        }
    }
    for (int len : allpasses) {
        std::vector<float> line(len, 0.0f);
        std::size_t pos = 0;
        for (float& v : out) {
            float buf = line[pos];
            float y = -v + buf;
            line[pos] = v + buf * 0.5f;
            pos = (pos + 1) % len;
            v = y;
        }
    }
    return out;
}

}  // namespace resgen

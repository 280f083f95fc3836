// soundgen: builds every sound effect and music track Tinkerhold plays.
//
//   soundgen OUTDIR               write the sound set below OUTDIR
//   soundgen --music OUTDIR N     write N background tracks OUTDIR/1.wav .. N.wav
//
// Everything is synthesised here from oscillators, filtered noise and a few
// physical-ish models (plucked strings, struck metal). There are no input
// files. All randomness comes from fixed seeds, so two runs produce
// byte-identical files and the build stays reproducible.
//
// Design rules for the sound set (the players navigate by ear):
//   * every sound is short and easy to tell apart from all the others;
//   * rats are always lower and rougher than mice;
//   * peaks are normalised to -1.5 dBFS;
//   * every file starts and ends at silence with a few ms of fade, except
//     arm.wav, which the game loops and is therefore exactly periodic.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kPeakDb = -1.5;

using Buf = std::vector<double>;

// ---------------------------------------------------------------------------
// Basics

struct Rng {
    std::uint64_t s;
    explicit Rng(std::uint64_t seed) : s(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {
        if (s == 0) s = 1;
        for (int i = 0; i < 4; ++i) next();
    }
    std::uint64_t next() {
        s ^= s >> 12;
        s ^= s << 25;
        s ^= s >> 27;
        return s * 0x2545F4914F6CDD1Dull;
    }
    double uni() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
    double bi() { return uni() * 2.0 - 1.0; }
    int below(int n) { return static_cast<int>(uni() * n) % n; }
};

std::size_t samples(double sec) { return static_cast<std::size_t>(std::lround(std::max(0.0, sec) * kRate)); }

double midiHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

double dbGain(double db) { return std::pow(10.0, db / 20.0); }

// Exponential glide from a to b as x goes 0..1.
double glide(double a, double b, double x) {
    x = std::clamp(x, 0.0, 1.0);
    return a * std::pow(b / a, x);
}

double lerp(double a, double b, double x) { return a + (b - a) * std::clamp(x, 0.0, 1.0); }

// Attack / exponential decay / release envelope. tau <= 0 means no decay.
double env(double t, double dur, double att, double rel, double tau) {
    if (t < 0.0 || t > dur) return 0.0;
    double a = (att > 0.0 && t < att) ? t / att : 1.0;
    double d = (tau > 0.0) ? std::exp(-std::max(0.0, t - att) / tau) : 1.0;
    double r = (rel > 0.0 && t > dur - rel) ? (dur - t) / rel : 1.0;
    return a * d * std::max(0.0, r);
}

// Add src into dst starting at time `at`, growing dst if needed.
void mix(Buf& dst, const Buf& src, double at, double gain = 1.0) {
    std::size_t off = samples(at);
    if (dst.size() < off + src.size()) dst.resize(off + src.size(), 0.0);
    for (std::size_t i = 0; i < src.size(); ++i) dst[off + i] += src[i] * gain;
}

void scale(Buf& b, double g) {
    for (double& x : b) x *= g;
}

double peakOf(const Buf& b) {
    double p = 0.0;
    for (double x : b) p = std::max(p, std::fabs(x));
    return p;
}

// ---------------------------------------------------------------------------
// Oscillators

enum class Wave { Sine, Triangle, Saw, Square };

double polyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

double waveAt(Wave w, double ph, double dt) {
    switch (w) {
    case Wave::Sine: return std::sin(kTwoPi * ph);
    case Wave::Triangle: return 1.0 - 4.0 * std::fabs(ph - 0.5);
    case Wave::Saw: return (2.0 * ph - 1.0) - polyBlep(ph, dt);
    case Wave::Square: {
        double v = ph < 0.5 ? 1.0 : -1.0;
        v += polyBlep(ph, dt);
        double p2 = ph + 0.5;
        if (p2 >= 1.0) p2 -= 1.0;
        v -= polyBlep(p2, dt);
        return v;
    }
    }
    return 0.0;
}

// One oscillator voice; freq(t) in Hz and amp(t) are functions of time in seconds.
template <class F, class A>
Buf osc(double dur, Wave w, F freq, A amp, double phase0 = 0.0) {
    Buf b(samples(dur));
    double ph = phase0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double f = freq(t);
        double dt = f / kRate;
        b[i] = waveAt(w, ph, dt) * amp(t);
        ph += dt;
        ph -= std::floor(ph);
    }
    return b;
}

// Sum of harmonics with given weights, band-limited to below Nyquist.
template <class F, class A>
Buf harmonics(double dur, const std::vector<double>& weights, F freq, A amp) {
    Buf b(samples(dur));
    double ph = 0.0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        double f = freq(t);
        double s = 0.0;
        for (std::size_t k = 0; k < weights.size(); ++k) {
            double n = static_cast<double>(k + 1);
            if (f * n > kRate * 0.45) break;
            s += weights[k] * std::sin(kTwoPi * ph * n);
        }
        b[i] = s * amp(t);
        ph += f / kRate;
        ph -= std::floor(ph);
    }
    return b;
}

// Struck-object modes: each (frequency, amplitude, decay time constant).
struct Mode {
    double f, a, tau;
};

Buf modes(double dur, const std::vector<Mode>& ms, double att = 0.0005) {
    Buf b(samples(dur));
    for (const Mode& m : ms) {
        if (m.f >= kRate * 0.45) continue;
        double w = kTwoPi * m.f / kRate;
        for (std::size_t i = 0; i < b.size(); ++i) {
            double t = static_cast<double>(i) / kRate;
            double a = t < att ? t / att : 1.0;
            b[i] += m.a * a * std::exp(-t / m.tau) * std::sin(w * static_cast<double>(i));
        }
    }
    return b;
}

Buf whiteNoise(double dur, std::uint64_t seed) {
    Rng r(seed);
    Buf b(samples(dur));
    for (double& x : b) x = r.bi();
    return b;
}

template <class A>
void shape(Buf& b, A amp) {
    for (std::size_t i = 0; i < b.size(); ++i) b[i] *= amp(static_cast<double>(i) / kRate);
}

// ---------------------------------------------------------------------------
// Filters

struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    enum Kind { LP, HP, BP };

    void set(Kind k, double fc, double q) {
        fc = std::clamp(fc, 10.0, kRate * 0.45);
        double w0 = kTwoPi * fc / kRate;
        double c = std::cos(w0), s = std::sin(w0);
        double alpha = s / (2.0 * q);
        double a0 = 1.0 + alpha;
        switch (k) {
        case LP:
            b0 = (1.0 - c) / 2.0; b1 = 1.0 - c; b2 = (1.0 - c) / 2.0;
            break;
        case HP:
            b0 = (1.0 + c) / 2.0; b1 = -(1.0 + c); b2 = (1.0 + c) / 2.0;
            break;
        case BP:
            b0 = alpha; b1 = 0.0; b2 = -alpha;
            break;
        }
        a1 = -2.0 * c;
        a2 = 1.0 - alpha;
        b0 /= a0; b1 /= a0; b2 /= a0; a1 /= a0; a2 /= a0;
    }
    double run(double x) {
        double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1; x1 = x;
        y2 = y1; y1 = y;
        return y;
    }
};

void filter(Buf& b, Biquad::Kind k, double fc, double q = 0.707) {
    Biquad f;
    f.set(k, fc, q);
    for (double& x : b) x = f.run(x);
}

// Filter with a cutoff that moves over time.
template <class F>
void filterSweep(Buf& b, Biquad::Kind k, F fc, double q = 0.707) {
    Biquad f;
    for (std::size_t i = 0; i < b.size(); ++i) {
        if (i % 16 == 0) f.set(k, fc(static_cast<double>(i) / kRate), q);
        b[i] = f.run(b[i]);
    }
}

// Run a filter around a buffer as if it repeated forever, so the result is
// periodic over the buffer length (used for the looping motor hum).
void filterCircular(Buf& b, Biquad::Kind k, double fc, double q) {
    Biquad f;
    f.set(k, fc, q);
    for (int pass = 0; pass < 3; ++pass)
        for (double x : b) f.run(x);
    for (double& x : b) x = f.run(x);
}

// ---------------------------------------------------------------------------
// Finishing and writing

void finish(Buf& b, double fadeIn = 0.004, double fadeOut = 0.008) {
    std::size_t n = b.size();
    std::size_t fi = std::min(n / 2, samples(fadeIn));
    std::size_t fo = std::min(n / 2, samples(fadeOut));
    for (std::size_t i = 0; i < fi; ++i) {
        double x = static_cast<double>(i) / static_cast<double>(fi);
        b[i] *= std::sin(x * kPi / 2.0) * std::sin(x * kPi / 2.0);
    }
    for (std::size_t i = 0; i < fo; ++i) {
        double x = static_cast<double>(i) / static_cast<double>(fo);
        b[n - 1 - i] *= std::sin(x * kPi / 2.0) * std::sin(x * kPi / 2.0);
    }
    double p = peakOf(b);
    if (p > 0.0) scale(b, dbGain(kPeakDb) / p);
}

void normaliseStereo(Buf& l, Buf& r) {
    double p = std::max(peakOf(l), peakOf(r));
    if (p > 0.0) {
        scale(l, dbGain(kPeakDb) / p);
        scale(r, dbGain(kPeakDb) / p);
    }
}

void put16(std::ofstream& o, std::uint16_t v) {
    char c[2] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
    o.write(c, 2);
}
void put32(std::ofstream& o, std::uint32_t v) {
    char c[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                 static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
    o.write(c, 4);
}

std::int16_t toPcm(double x) {
    double v = std::round(std::clamp(x, -1.0, 1.0) * 32767.0);
    return static_cast<std::int16_t>(v);
}

bool writeWav(const fs::path& path, const Buf& left, const Buf* right = nullptr) {
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    std::ofstream o(path, std::ios::binary | std::ios::trunc);
    if (!o) {
        std::cerr << "soundgen: cannot write " << path.string() << '\n';
        return false;
    }
    const std::uint16_t channels = right ? 2 : 1;
    const std::uint32_t frames = static_cast<std::uint32_t>(left.size());
    const std::uint32_t dataBytes = frames * channels * 2u;
    o.write("RIFF", 4);
    put32(o, 36u + dataBytes);
    o.write("WAVE", 4);
    o.write("fmt ", 4);
    put32(o, 16);
    put16(o, 1);  // PCM
    put16(o, channels);
    put32(o, kRate);
    put32(o, kRate * channels * 2u);
    put16(o, static_cast<std::uint16_t>(channels * 2u));
    put16(o, 16);
    o.write("data", 4);
    put32(o, dataBytes);
    std::vector<char> data;
    data.reserve(dataBytes);
    for (std::uint32_t i = 0; i < frames; ++i) {
        auto push = [&](double x) {
            auto v = static_cast<std::uint16_t>(toPcm(x));
            data.push_back(static_cast<char>(v & 0xFF));
            data.push_back(static_cast<char>((v >> 8) & 0xFF));
        };
        push(left[i]);
        if (right) push(i < right->size() ? (*right)[i] : 0.0);
    }
    o.write(data.data(), static_cast<std::streamsize>(data.size()));
    return static_cast<bool>(o);
}

// ---------------------------------------------------------------------------
// Building blocks shared by several sounds

// A soft sine blip with a touch of second harmonic.
Buf blip(double f, double dur, double tau, double h2 = 0.15, double att = 0.002) {
    return harmonics(dur, {1.0, h2}, [=](double) { return f; },
                     [=](double t) { return env(t, dur, att, 0.004, tau); });
}

// A short noise transient, band-passed around fc.
Buf click(double fc, double dur, double tau, std::uint64_t seed, double q = 1.2) {
    Buf n = whiteNoise(dur, seed);
    shape(n, [=](double t) { return env(t, dur, 0.0003, 0.001, tau); });
    filter(n, Biquad::BP, fc, q);
    return n;
}

// A low thud: a falling sine with a little filtered noise on top.
Buf thud(double f0, double f1, double dur, double tau, std::uint64_t seed, double noiseAmt = 0.3) {
    Buf b = osc(dur, Wave::Sine, [=](double t) { return glide(f0, f1, t / dur); },
                [=](double t) { return env(t, dur, 0.002, 0.01, tau); });
    Buf n = whiteNoise(dur, seed);
    shape(n, [=](double t) { return env(t, dur, 0.0005, 0.005, tau * 0.25); });
    filter(n, Biquad::LP, 900.0, 0.7);
    mix(b, n, 0.0, noiseAmt);
    return b;
}

// A plucked string (Karplus-Strong) with a fractional delay line.
Buf pluck(double f, double dur, double damping, std::uint64_t seed, double brightness = 0.5) {
    Buf out(samples(dur));
    // The averaging filter in the loop adds half a sample of delay.
    double period = static_cast<double>(kRate) / f - 0.5;
    std::size_t len = static_cast<std::size_t>(period) + 2;
    Buf line(len, 0.0);
    Rng r(seed);
    double prev = 0.0;
    for (double& x : line) {  // lightly smoothed noise burst as the excitation
        double v = r.bi();
        prev = prev + brightness * (v - prev);
        x = prev;
    }
    double pos = 0.0;
    double last = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        double readPos = pos - period;
        while (readPos < 0.0) readPos += static_cast<double>(len);
        auto i0 = static_cast<std::size_t>(readPos);
        double frac = readPos - static_cast<double>(i0);
        double a = line[i0 % len], b = line[(i0 + 1) % len];
        double y = a + (b - a) * frac;
        double fb = damping * 0.5 * (y + last);
        last = y;
        auto w = static_cast<std::size_t>(pos) % len;
        line[w] = fb;
        out[i] = y;
        pos += 1.0;
        if (pos >= static_cast<double>(len)) pos -= static_cast<double>(len);
    }
    return out;
}

// An animal squeak. The pitch goes fStart -> fPeak (at `peakAt` of the
// duration) -> fEnd with vibrato. `rough` (0..1) adds harmonics, a growl
// (fast amplitude wobble) and breath noise: rats get a lot, mice none.
Buf squeak(double dur, double fStart, double fPeak, double fEnd, double peakAt, double vibHz,
           double vibDepth, double rough, std::uint64_t seed) {
    auto freq = [=](double t) {
        double x = t / dur;
        double f = x < peakAt ? glide(fStart, fPeak, x / peakAt)
                              : glide(fPeak, fEnd, (x - peakAt) / (1.0 - peakAt));
        return f * (1.0 + vibDepth * std::sin(kTwoPi * vibHz * t));
    };
    auto amp = [=](double t) {
        double a = env(t, dur, dur * 0.12, dur * 0.3, 0.0);
        double growl = 1.0 - rough * 0.6 * (0.5 + 0.5 * std::sin(kTwoPi * 63.0 * t));
        return a * growl;
    };
    std::vector<double> w = {1.0, 0.5 * rough, 0.35 * rough, 0.2 * rough, 0.12 * rough};
    Buf b = harmonics(dur, w, freq, amp);
    if (rough > 0.0) {
        Buf n = whiteNoise(dur, seed);
        shape(n, [=](double t) { return env(t, dur, dur * 0.1, dur * 0.3, 0.0); });
        filter(n, Biquad::BP, fPeak * 1.2, 2.0);
        mix(b, n, 0.0, 0.5 * rough);
    }
    return b;
}

// Feet on a hard floor: bursts of tiny clicks in a galloping rhythm,
// filtered around `centre`, getting quieter as the animal runs off.
Buf scrabble(double dur, double stepsPerSec, double centre, double clickLen, std::uint64_t seed) {
    Buf b(samples(dur), 0.0);
    Rng r(seed);
    double t = 0.005;
    int foot = 0;
    while (t < dur - 0.02) {
        double len = clickLen * (0.7 + 0.6 * r.uni());
        Buf c = whiteNoise(len, seed * 131 + static_cast<std::uint64_t>(foot));
        shape(c, [=](double tt) { return env(tt, len, 0.0003, 0.0005, len * 0.3); });
        double fall = 1.0 - 0.75 * (t / dur);
        mix(b, c, t, fall * (0.6 + 0.4 * r.uni()));
        // Four feet per stride: three close together, then a gap.
        double step = (foot % 4 == 3) ? 2.2 : 0.6;
        t += step / stepsPerSec * (0.8 + 0.4 * r.uni());
        ++foot;
    }
    filter(b, Biquad::BP, centre, 1.1);
    Buf lo = b;
    filter(lo, Biquad::LP, centre * 2.0);
    return lo;
}

// Two metal parts meeting: a transient plus a few inharmonic rings.
Buf clack(double pitch, double dur, std::uint64_t seed) {
    Buf b = modes(dur, {{1830 * pitch, 0.5, 0.025},
                        {2990 * pitch, 0.35, 0.018},
                        {4410 * pitch, 0.25, 0.012},
                        {820 * pitch, 0.3, 0.03}});
    mix(b, click(3500 * pitch, 0.012, 0.002, seed, 0.8), 0.0, 1.5);
    return b;
}

// Bandpassed, wobbling noise: the sound of a blade biting into something.
Buf grind(double dur, std::uint64_t seed) {
    Buf n = whiteNoise(dur, seed);
    shape(n, [=](double t) {
        double wob = 0.55 + 0.25 * std::sin(kTwoPi * 31.0 * t) + 0.2 * std::sin(kTwoPi * 47.3 * t + 1.0);
        return wob * env(t, dur, 0.03, 0.25, 0.0);
    });
    filterSweep(n, Biquad::BP, [=](double t) { return 2200.0 + 700.0 * std::sin(kTwoPi * 3.1 * t); }, 1.5);
    // Saw motor labouring under load: pitch sags while cutting.
    Buf m = osc(dur, Wave::Saw,
                [=](double t) { return 150.0 - 35.0 * std::sin(kPi * std::clamp(t / dur, 0.0, 1.0)) +
                                       4.0 * std::sin(kTwoPi * 9.0 * t); },
                [=](double t) { return env(t, dur, 0.02, 0.25, 0.0); });
    filter(m, Biquad::LP, 1800.0, 1.0);
    Buf out = m;
    scale(out, 0.45);
    mix(out, n, 0.0, 1.0);
    // Crunchy bits.
    Rng r(seed + 7);
    for (double t = 0.05; t < dur - 0.3; t += 0.02 + 0.05 * r.uni()) {
        mix(out, click(1200 + 2500 * r.uni(), 0.015, 0.004, seed + 100 + static_cast<std::uint64_t>(t * 1000)), t,
            0.8 * r.uni());
    }
    return out;
}

// Motor hum recipe shared by armstart, arm and armstop so they blend:
// fundamental `f` with a fixed set of harmonics.
const std::vector<double> kMotorPartials = {1.0, 0.55, 0.35, 0.22, 0.5, 0.12, 0.08, 0.25, 0.05, 0.04, 0.03, 0.1};

// Hydraulic ram: a pump tone plus hiss, with the pitch moving up or down.
Buf hydraulic(bool up, double dur, std::uint64_t seed) {
    double f0 = up ? 85.0 : 150.0, f1 = up ? 150.0 : 80.0;
    Buf pump = osc(dur, Wave::Square, [=](double t) { return glide(f0, f1, t / dur); },
                   [=](double t) { return env(t, dur, 0.06, 0.12, 0.0) * (0.8 + 0.2 * std::sin(kTwoPi * 14.0 * t)); });
    filter(pump, Biquad::LP, 500.0, 0.9);
    Buf hiss = whiteNoise(dur, seed);
    shape(hiss, [=](double t) { return env(t, dur, 0.08, 0.15, 0.0); });
    filterSweep(hiss, Biquad::BP, [=](double t) { return up ? glide(700, 2600, t / dur) : glide(2600, 700, t / dur); }, 2.0);
    Buf out = pump;
    mix(out, hiss, 0.0, 0.9);
    // Settles with a clunk.
    mix(out, thud(up ? 140 : 110, 60, 0.15, 0.04, seed + 1, 0.5), dur - 0.04, up ? 0.7 : 1.0);
    return out;
}

// A servo whine: a buzzy tone through a resonant filter, with gear grain.
Buf servo(int i) {
    // Spread the ten servos over pitch, length and movement shape.
    static constexpr std::array<int, 10> order = {3, 7, 1, 9, 5, 0, 8, 4, 2, 6};
    double base = 520.0 + 48.0 * order[static_cast<std::size_t>(i)];
    double dur = 0.15 + 0.015 * ((i * 7) % 10);
    int kind = i % 3;
    double grain = 55.0 + 6.0 * i;
    auto freq = [=](double t) {
        double x = t / dur;
        switch (kind) {
        case 0: return glide(base, base * 1.35, std::min(1.0, x * 1.6));
        case 1: return glide(base * 1.35, base, std::min(1.0, x * 1.6));
        default: return x < 0.5 ? glide(base, base * 1.3, x * 2.0) : glide(base * 1.3, base * 1.05, (x - 0.5) * 2.0);
        }
    };
    Buf a = osc(dur, Wave::Square, freq, [=](double t) {
        return env(t, dur, 0.012, 0.03, 0.0) * (0.75 + 0.25 * std::sin(kTwoPi * grain * t));
    });
    Buf s = osc(dur, Wave::Saw, [=](double t) { return freq(t) * 0.5; },
                [=](double t) { return 0.5 * env(t, dur, 0.012, 0.03, 0.0); });
    mix(a, s, 0.0);
    filterSweep(a, Biquad::BP, [=](double t) { return freq(t) * 2.0; }, 1.6);
    Buf lo = a;
    filter(lo, Biquad::LP, 5000.0);
    return lo;
}

// Brass-like note for the fanfares: a saw whose brightness follows its envelope.
Buf brass(double f, double dur, double vib = 0.0) {
    Buf b = osc(dur, Wave::Saw, [=](double t) { return f * (1.0 + vib * std::sin(kTwoPi * 5.5 * t) * std::min(1.0, t * 3.0)); },
                [=](double t) { return env(t, dur, 0.025, 0.06, 0.0); });
    filterSweep(b, Biquad::LP, [=](double t) {
        double e = env(t, dur, 0.04, 0.08, 0.6);
        return f * (1.2 + 5.0 * e);
    }, 0.8);
    return b;
}

// ---------------------------------------------------------------------------
// The sound set

using Maker = std::function<Buf()>;

struct Entry {
    const char* path;
    Maker make;
    bool loop = false;
};

Buf rising(int count, double startNote, double step, double spacing) {
    Buf out;
    for (int k = 0; k < count; ++k) {
        double f = midiHz(startNote + step * k);
        Buf b = harmonics(0.06, {1.0, 0.25, 0.1}, [=](double) { return f; },
                          [](double t) { return env(t, 0.06, 0.003, 0.015, 0.05); });
        mix(out, b, spacing * k);
    }
    return out;
}

std::vector<Entry> soundSet() {
    std::vector<Entry> e;

    // --- Menus --------------------------------------------------------------
    e.push_back({"Menu/arrows.wav", [] {
        Buf b = blip(2100.0, 0.03, 0.006, 0.0, 0.001);
        scale(b, 0.5);
        mix(b, click(3200.0, 0.01, 0.0015, 11), 0.0, 0.6);
        return b;
    }});
    e.push_back({"Menu/enter.wav", [] {
        Buf out;
        Buf a = osc(0.07, Wave::Square, [](double) { return 880.0; },
                    [](double t) { return env(t, 0.07, 0.002, 0.01, 0.05); });
        Buf b = osc(0.12, Wave::Square, [](double) { return 1318.5; },
                    [](double t) { return env(t, 0.12, 0.002, 0.02, 0.06); });
        filter(a, Biquad::LP, 4000.0);
        filter(b, Biquad::LP, 4500.0);
        mix(out, a, 0.0, 0.5);
        mix(out, b, 0.055, 0.5);
        mix(out, blip(2637.0, 0.1, 0.04, 0.0), 0.055, 0.25);
        return out;
    }});
    e.push_back({"Menu/previous.wav", [] {
        return harmonics(0.14, {1.0, 0.3, 0.15}, [](double t) { return glide(900.0, 450.0, t / 0.14); },
                         [](double t) { return env(t, 0.14, 0.004, 0.03, 0.08); });
    }});
    e.push_back({"Menu/error.wav", [] {
        Buf out;
        for (int k = 0; k < 2; ++k) {
            Buf a = osc(0.09, Wave::Square, [](double) { return 110.0; },
                        [](double t) { return env(t, 0.09, 0.004, 0.012, 0.0); });
            Buf b = osc(0.09, Wave::Saw, [](double) { return 116.5; },
                        [](double t) { return env(t, 0.09, 0.004, 0.012, 0.0); });
            mix(a, b, 0.0, 0.7);
            filter(a, Biquad::LP, 1400.0, 0.9);
            mix(out, a, 0.14 * k);
        }
        return out;
    }});
    e.push_back({"Menu/Omain.wav", [] {
        Buf out;
        const double notes[] = {60, 64, 67, 72};
        for (int k = 0; k < 4; ++k) {
            double f = midiHz(notes[k]);
            double d = 0.75 - 0.03 * k;
            Buf b = harmonics(d, {1.0, 0.2, 0.08}, [=](double) { return f; },
                              [=](double t) { return env(t, d, 0.01, 0.2, 0.35); });
            mix(out, b, 0.03 * k, 0.5);
        }
        return out;
    }});
    e.push_back({"Menu/SAPI.wav", [] { return rising(1, 76, 0, 0.0); }});
    e.push_back({"Menu/NVDA.wav", [] { return rising(2, 76, 3, 0.075); }});
    e.push_back({"Menu/WE.wav", [] { return rising(3, 76, 3, 0.075); }});
    e.push_back({"Menu/JAWS.wav", [] { return rising(4, 76, 3, 0.075); }});

    // --- Room and cursor ----------------------------------------------------
    e.push_back({"border.wav", [] {
        Buf b = thud(95.0, 50.0, 0.16, 0.045, 21, 0.5);
        Buf body = modes(0.16, {{210, 0.25, 0.03}, {330, 0.12, 0.02}});
        mix(b, body, 0.0);
        return b;
    }});
    e.push_back({"tile.wav", [] { return blip(880.0, 0.06, 0.02, 0.12); }});
    e.push_back({"row.wav", [] {
        return harmonics(0.15, {1.0, 0.0, 0.22, 0.0, 0.08}, [](double) { return 1200.0; },
                         [](double t) { return env(t, 0.15, 0.006, 0.04, 0.0); });
    }});
    e.push_back({"map.wav", [] {
        Buf out;
        const double notes[] = {60, 64, 67, 72, 76};
        for (int k = 0; k < 5; ++k) {
            double f = midiHz(notes[k]);
            double d = k == 4 ? 0.3 : 0.12;
            Buf b = harmonics(d, {1.0, 0.35, 0.2, 0.1}, [=](double) { return f; },
                              [=](double t) { return env(t, d, 0.003, 0.03, k == 4 ? 0.12 : 0.05); });
            mix(out, b, 0.06 * k, 0.5);
        }
        return out;
    }});

    // --- Editor -------------------------------------------------------------
    e.push_back({"Editor/Save.wav", [] {
        Buf out = click(1500.0, 0.02, 0.004, 31, 1.0);
        scale(out, 0.6);
        mix(out, thud(160, 110, 0.06, 0.015, 32, 0.2), 0.0, 0.5);
        Buf a = modes(0.25, {{659.3, 0.5, 0.09}, {1318.5, 0.15, 0.05}});
        Buf b = modes(0.4, {{987.8, 0.5, 0.15}, {1975.5, 0.15, 0.08}});
        mix(out, a, 0.05);
        mix(out, b, 0.16);
        return out;
    }});
    e.push_back({"Editor/load.wav", [] {
        double d = 0.25;
        Buf w = whiteNoise(d, 41);
        shape(w, [=](double t) { return env(t, d, 0.15, 0.08, 0.0); });
        filterSweep(w, Biquad::BP, [=](double t) { return glide(400, 3000, t / d); }, 3.0);
        Buf out = w;
        scale(out, 0.6);
        Buf ding = modes(0.45, {{1046.5, 0.5, 0.15}, {2093.0, 0.12, 0.07}, {3139.5, 0.05, 0.04}});
        mix(out, ding, 0.22);
        return out;
    }});
    e.push_back({"Editor/osetting.wav", [] {
        Buf b = osc(0.13, Wave::Triangle, [](double t) { return glide(420.0, 840.0, t / 0.13); },
                    [](double t) { return env(t, 0.13, 0.004, 0.03, 0.0); });
        mix(b, click(2500, 0.01, 0.002, 51), 0.0, 0.4);
        return b;
    }});
    e.push_back({"Editor/csetting.wav", [] {
        Buf b = osc(0.13, Wave::Triangle, [](double t) { return glide(840.0, 420.0, t / 0.13); },
                    [](double t) { return env(t, 0.13, 0.004, 0.03, 0.0); });
        mix(b, click(2500, 0.01, 0.002, 52), 0.11, 0.4);
        return b;
    }});
    e.push_back({"Editor/otile.wav", [] {
        Buf out;
        mix(out, pluck(329.6, 0.25, 0.992, 61), 0.0);
        mix(out, pluck(493.9, 0.3, 0.992, 62), 0.08);
        shape(out, [&](double t) { return env(t, 0.38, 0.0, 0.05, 0.0); });
        return out;
    }});
    e.push_back({"Editor/ctile.wav", [] {
        Buf out;
        mix(out, pluck(493.9, 0.25, 0.992, 63), 0.0);
        mix(out, pluck(329.6, 0.3, 0.992, 64), 0.08);
        shape(out, [&](double t) { return env(t, 0.38, 0.0, 0.05, 0.0); });
        return out;
    }});
    e.push_back({"Editor/error.wav", [] {
        Buf out;
        const double fs[] = {196.0, 146.8};
        for (int k = 0; k < 2; ++k) {
            double f = fs[k];
            double d = k == 0 ? 0.1 : 0.18;
            Buf b = osc(d, Wave::Square, [=](double) { return f; },
                        [=](double t) { return env(t, d, 0.004, 0.03, 0.0); });
            filter(b, Biquad::LP, 1100.0, 1.2);
            mix(out, b, 0.11 * k);
        }
        return out;
    }});
    e.push_back({"switch3.wav", [] {
        Buf out = modes(0.05, {{3100, 0.5, 0.008}, {4700, 0.3, 0.006}});
        mix(out, click(3500, 0.01, 0.0015, 71), 0.0, 0.8);
        Buf b = modes(0.06, {{2100, 0.5, 0.01}, {3300, 0.3, 0.007}});
        mix(b, click(2200, 0.01, 0.0015, 72), 0.0, 0.8);
        mix(out, b, 0.055);
        return out;
    }});

    // --- The arm ------------------------------------------------------------
    // arm.wav loops: one second long, every component a whole number of Hz
    // (or made periodic over the buffer), and no fades.
    e.push_back({"arm.wav", [] {
        Buf b = harmonics(1.0, kMotorPartials, [](double) { return 100.0; },
                          [](double t) { return 0.8 + 0.2 * std::sin(kTwoPi * 8.0 * t); });
        // Brush whir around 1.5 kHz, chopped by the commutator.
        Buf w = whiteNoise(1.0, 81);
        filterCircular(w, Biquad::BP, 1500.0, 3.0);
        shape(w, [](double t) { return 0.6 + 0.4 * std::sin(kTwoPi * 200.0 * t); });
        mix(b, w, 0.0, 0.9);
        // Gearbox whine.
        Buf g = osc(1.0, Wave::Sine, [](double) { return 730.0; },
                    [](double t) { return 0.12 + 0.05 * std::sin(kTwoPi * 3.0 * t); });
        mix(b, g, 0.0);
        return b;
    }, true});
    e.push_back({"armstart.wav", [] {
        double d = 0.7;
        Buf b = harmonics(d, kMotorPartials, [=](double t) { return glide(30.0, 100.0, std::pow(t / d, 0.6)); },
                          [=](double t) { return env(t, d, 0.05, 0.04, 0.0) * lerp(0.3, 1.0, t / d); });
        Buf w = whiteNoise(d, 82);
        filterSweep(w, Biquad::BP, [=](double t) { return glide(500.0, 1500.0, t / d); }, 3.0);
        shape(w, [=](double t) { return env(t, d, 0.1, 0.04, 0.0) * (t / d); });
        mix(b, w, 0.0, 0.9);
        mix(b, click(900, 0.02, 0.005, 83), 0.0, 0.6);
        return b;
    }});
    e.push_back({"armstop.wav", [] {
        double d = 0.4;
        Buf b = harmonics(d, kMotorPartials, [=](double t) { return glide(100.0, 28.0, t / d); },
                          [=](double t) { return env(t, d, 0.005, 0.08, 0.0) * lerp(1.0, 0.2, t / d); });
        Buf w = whiteNoise(d, 84);
        filterSweep(w, Biquad::BP, [=](double t) { return glide(1500.0, 400.0, t / d); }, 3.0);
        shape(w, [=](double t) { return env(t, d, 0.005, 0.05, 0.12); });
        mix(b, w, 0.0, 0.9);
        mix(b, thud(120, 70, 0.08, 0.02, 85, 0.3), d - 0.09, 0.4);
        return b;
    }});
    e.push_back({"powerup.wav", [] {
        double d = 2.0;
        auto f = [=](double t) { return glide(55.0, 440.0, std::pow(t / d, 1.3)); };
        Buf b = osc(d, Wave::Saw, f, [=](double t) {
            double trem = 0.75 + 0.25 * std::sin(kTwoPi * glide(4.0, 18.0, t / d) * t);
            return env(t, d, 0.3, 0.15, 0.0) * lerp(0.4, 1.0, t / d) * trem;
        });
        filterSweep(b, Biquad::LP, [=](double t) { return glide(300.0, 4000.0, t / d); }, 1.4);
        Buf sub = osc(d, Wave::Sine, [=](double t) { return f(t) * 0.5; },
                      [=](double t) { return 0.5 * env(t, d, 0.3, 0.15, 0.0); });
        mix(b, sub, 0.0);
        // "Ready" chirp on top.
        mix(b, blip(1760.0, 0.2, 0.08, 0.1), d - 0.32, 0.35);
        return b;
    }});
    e.push_back({"powerdown.wav", [] {
        double d = 1.5;
        auto f = [=](double t) { return glide(440.0, 35.0, std::pow(t / d, 0.7)); };
        Buf b = osc(d, Wave::Saw, f, [=](double t) {
            double stutter = 0.7 + 0.3 * std::sin(kTwoPi * glide(12.0, 3.0, t / d) * t);
            return env(t, d, 0.01, 0.2, 0.0) * lerp(1.0, 0.25, t / d) * stutter;
        });
        filterSweep(b, Biquad::LP, [=](double t) { return glide(4000.0, 250.0, t / d); }, 1.4);
        Buf sub = osc(d, Wave::Sine, [=](double t) { return f(t) * 0.5; },
                      [=](double t) { return 0.5 * env(t, d, 0.01, 0.2, 0.0) * lerp(1.0, 0.3, t / d); });
        mix(b, sub, 0.0);
        return b;
    }});
    e.push_back({"turn.wav", [] {
        double d = 0.22;
        Buf n = whiteNoise(d, 91);
        shape(n, [=](double t) { return env(t, d, 0.06, 0.1, 0.0); });
        filterSweep(n, Biquad::BP, [=](double t) { return glide(1800.0, 5500.0, t / d); }, 4.0);
        Buf ring = modes(d, {{1870, 0.12, 0.06}, {2650, 0.1, 0.05}, {3710, 0.08, 0.04}});
        mix(n, ring, 0.0);
        return n;
    }});
    e.push_back({"block.wav", [] {
        Buf b = modes(0.35, {{420, 0.45, 0.07}, {1130, 0.35, 0.05}, {1790, 0.3, 0.04}, {2560, 0.2, 0.03},
                             {3420, 0.12, 0.02}});
        mix(b, click(2000, 0.02, 0.004, 101, 0.7), 0.0, 0.5);
        mix(b, thud(150, 80, 0.12, 0.03, 102, 0.3), 0.0, 0.6);
        return b;
    }});
    for (int i = 0; i < 10; ++i) {
        static const char* names[] = {"servo1.wav", "servo2.wav", "servo3.wav", "servo4.wav", "servo5.wav",
                                      "servo6.wav", "servo7.wav", "servo8.wav", "servo9.wav", "servo10.wav"};
        e.push_back({names[i], [i] { return servo(i); }});
    }

    // --- Things in the room -------------------------------------------------
    e.push_back({"dblock.wav", [] {
        Buf b = thud(85.0, 45.0, 0.3, 0.08, 111, 0.8);
        Buf crunch = whiteNoise(0.2, 112);
        shape(crunch, [](double t) { return env(t, 0.2, 0.001, 0.02, 0.04) * (0.5 + 0.5 * std::sin(kTwoPi * 90.0 * t)); });
        filter(crunch, Biquad::BP, 1400.0, 0.9);
        mix(b, crunch, 0.0, 1.0);
        Rng r(113);
        for (int k = 0; k < 5; ++k)
            mix(b, click(900 + 1500 * r.uni(), 0.012, 0.003, 114 + static_cast<std::uint64_t>(k)), 0.005 + 0.025 * k * r.uni(), 0.6);
        return b;
    }});
    e.push_back({"dbreak.wav", [] {
        double d = 0.8;
        Buf n = whiteNoise(d, 121);
        shape(n, [=](double t) { return env(t, d, 0.002, 0.1, 0.12); });
        filterSweep(n, Biquad::LP, [=](double t) { return glide(7000.0, 1200.0, t / d); }, 0.7);
        Buf b = thud(90.0, 40.0, 0.35, 0.09, 122, 0.6);
        mix(b, n, 0.0, 0.9);
        // Pieces bouncing and scattering.
        Rng r(123);
        double t = 0.04;
        while (t < d - 0.1) {
            double gain = 0.9 * std::exp(-t / 0.3) * (0.4 + 0.6 * r.uni());
            Buf bit = modes(0.05, {{1500 + 3000 * r.uni(), 0.5, 0.012}, {800 + 1200 * r.uni(), 0.4, 0.015}});
            mix(b, bit, t, gain);
            t += 0.015 + 0.06 * r.uni() * (1.0 + t * 2.0);
        }
        return b;
    }});
    e.push_back({"battery.wav", [] {
        double d = 1.2;
        auto f = [=](double t) { return glide(100.0, 400.0, t / d); };
        Buf b = osc(d, Wave::Square, f, [=](double t) { return env(t, d, 0.08, 0.12, 0.0) * lerp(0.5, 1.0, t / d); });
        Buf b2 = osc(d, Wave::Saw, [=](double t) { return f(t) * 1.005; },
                     [=](double t) { return 0.6 * env(t, d, 0.08, 0.12, 0.0); });
        mix(b, b2, 0.0);
        filterSweep(b, Biquad::LP, [=](double t) { return glide(600.0, 3500.0, t / d); }, 2.5);
        // Crackle of charge.
        Buf z = whiteNoise(d, 131);
        shape(z, [=](double t) {
            double c = std::pow(0.5 + 0.5 * std::sin(kTwoPi * 23.0 * t) * std::sin(kTwoPi * 7.0 * t), 6.0);
            return c * env(t, d, 0.2, 0.12, 0.0) * (t / d);
        });
        filter(z, Biquad::HP, 3000.0);
        mix(b, z, 0.0, 0.7);
        mix(b, blip(1568.0, 0.18, 0.07, 0.2), d - 0.2, 0.3);
        return b;
    }});
    e.push_back({"switch1.wav", [] {
        Buf b = click(2500, 0.015, 0.002, 141, 0.8);
        mix(b, thud(190, 140, 0.09, 0.025, 142, 0.4), 0.0, 0.9);
        mix(b, modes(0.06, {{1450, 0.25, 0.012}}), 0.0);
        Buf b2 = click(1800, 0.015, 0.002, 143, 0.8);
        mix(b2, thud(170, 120, 0.07, 0.02, 144, 0.3), 0.0, 0.6);
        mix(b, b2, 0.045, 0.8);
        return b;
    }});
    e.push_back({"switch2.wav", [] {
        // A hollow wooden "tok": a resonant body with a falling pitch.
        Buf b = osc(0.12, Wave::Sine, [](double t) { return glide(620.0, 560.0, t / 0.12); },
                    [](double t) { return env(t, 0.12, 0.001, 0.02, 0.035); });
        mix(b, modes(0.12, {{1240, 0.2, 0.015}, {1730, 0.12, 0.01}}), 0.0);
        mix(b, click(1200, 0.01, 0.0015, 151, 2.0), 0.0, 0.5);
        return b;
    }});
    e.push_back({"tsaw.wav", [] {
        double d = 0.8;
        auto f = [=](double t) { return glide(70.0, 900.0, std::min(1.0, std::pow(t / 0.6, 0.7))); };
        Buf b = osc(d, Wave::Saw, f, [=](double t) { return env(t, d, 0.03, 0.15, 0.0); });
        filterSweep(b, Biquad::LP, [=](double t) { return f(t) * 5.0; }, 1.0);
        Buf n = whiteNoise(d, 161);
        shape(n, [=](double t) { return env(t, d, 0.1, 0.15, 0.0) * std::min(1.0, t / 0.6); });
        filterSweep(n, Biquad::BP, [=](double t) { return f(t) * 4.0; }, 2.0);
        mix(b, n, 0.0, 0.7);
        return b;
    }});
    e.push_back({"tclaw.wav", [] {
        Buf out;
        // Ratchet clicks rising in pitch, then the jaws snap shut.
        for (int k = 0; k < 4; ++k) mix(out, clack(0.75 + 0.1 * k, 0.05, 171 + static_cast<std::uint64_t>(k)), 0.06 * k, 0.6);
        mix(out, clack(0.6, 0.15, 176), 0.3, 1.0);
        mix(out, thud(200, 120, 0.1, 0.025, 177, 0.3), 0.3, 0.7);
        return out;
    }});
    e.push_back({"lift.wav", [] { return hydraulic(true, 0.75, 181); }});
    e.push_back({"drop.wav", [] { return hydraulic(false, 0.6, 182); }});

    // --- Rats and mice ------------------------------------------------------
    // Rats: low (about 0.9-1.8 kHz), growly, noisy. Mice: high (3-5 kHz), pure.
    e.push_back({"ktarget.wav", [] {
        Buf b = grind(1.5, 191);
        mix(b, squeak(0.55, 1100, 1750, 1250, 0.35, 11.0, 0.04, 0.9, 192), 0.08, 1.1);
        mix(b, squeak(0.35, 1300, 1600, 900, 0.3, 9.0, 0.05, 0.9, 193), 0.7, 0.8);
        return b;
    }});
    e.push_back({"kvictim.wav", [] {
        Buf b = grind(1.5, 201);
        mix(b, squeak(0.5, 3800, 4700, 3900, 0.3, 7.0, 0.02, 0.0, 202), 0.08, 0.7);
        // A small, sad, falling squeak at the end.
        mix(b, squeak(0.45, 4400, 4500, 2900, 0.15, 5.5, 0.025, 0.0, 203), 0.75, 0.6);
        return b;
    }});
    e.push_back({"gtarget.wav", [] {
        Buf out = clack(0.65, 0.12, 211);
        mix(out, thud(160, 100, 0.08, 0.02, 212, 0.3), 0.0, 0.5);
        mix(out, squeak(0.28, 900, 1500, 1400, 0.6, 12.0, 0.04, 0.9, 213), 0.05, 1.0);
        return out;
    }});
    e.push_back({"gvictim.wav", [] {
        Buf out = clack(0.75, 0.12, 221);
        mix(out, squeak(0.2, 3400, 4800, 4600, 0.6, 9.0, 0.02, 0.0, 222), 0.05, 0.7);
        return out;
    }});
    e.push_back({"dtarget.wav", [] {
        Buf out = squeak(0.22, 1300, 1350, 850, 0.2, 10.0, 0.04, 0.9, 231);
        mix(out, thud(110, 60, 0.14, 0.035, 232, 0.6), 0.18, 1.0);
        mix(out, clack(0.55, 0.08, 233), 0.2, 0.35);
        return out;
    }});
    e.push_back({"dvictim.wav", [] {
        Buf out = squeak(0.16, 4400, 4500, 3500, 0.2, 8.0, 0.02, 0.0, 241);
        scale(out, 0.7);
        mix(out, thud(170, 100, 0.1, 0.025, 242, 0.4), 0.14, 0.7);
        mix(out, clack(0.7, 0.08, 243), 0.16, 0.3);
        return out;
    }});
    e.push_back({"mtarget.wav", [] {
        Buf out = scrabble(0.55, 22.0, 750.0, 0.009, 251);
        mix(out, squeak(0.12, 1000, 1200, 900, 0.4, 10.0, 0.03, 0.9, 252), 0.0, 0.4);
        return out;
    }});
    e.push_back({"mvictim.wav", [] {
        Buf out = scrabble(0.42, 38.0, 3600.0, 0.004, 261);
        mix(out, squeak(0.08, 4200, 5000, 4600, 0.4, 8.0, 0.02, 0.0, 262), 0.0, 0.25);
        return out;
    }});

    // --- Level results ------------------------------------------------------
    e.push_back({"win.wav", [] {
        Buf out;
        struct N { double at, dur, note, gain; };
        const N mel[] = {{0.00, 0.13, 67, 0.5}, {0.14, 0.13, 72, 0.5}, {0.28, 0.13, 76, 0.5},
                         {0.42, 0.32, 79, 0.55}, {0.76, 0.13, 76, 0.5}, {0.90, 1.15, 79, 0.6}};
        for (const N& n : mel) mix(out, brass(midiHz(n.note), n.dur, n.dur > 1.0 ? 0.006 : 0.0), n.at, n.gain);
        for (double note : {48.0, 55.0, 60.0, 64.0}) mix(out, brass(midiHz(note), 1.15, 0.0), 0.9, 0.22);
        mix(out, modes(1.0, {{midiHz(91), 0.08, 0.3}, {midiHz(96), 0.06, 0.25}}), 0.9);
        return out;
    }});
    e.push_back({"lose.wav", [] {
        Buf out;
        const double notes[] = {67, 66, 65};
        for (int k = 0; k < 3; ++k) mix(out, brass(midiHz(notes[k]) * 0.5, 0.3, 0.0), 0.32 * k, 0.6);
        double d = 0.6;
        double f = midiHz(64) * 0.5;
        Buf last = osc(d, Wave::Saw,
                       [=](double t) { return f * (1.0 - 0.03 * t / d) * (1.0 + 0.012 * std::sin(kTwoPi * 5.0 * t)); },
                       [=](double t) { return env(t, d, 0.025, 0.25, 0.0); });
        filterSweep(last, Biquad::LP, [=](double t) { return f * (1.2 + 4.0 * env(t, d, 0.04, 0.25, 0.35)); }, 0.8);
        mix(out, last, 0.96, 0.6);
        return out;
    }});
    e.push_back({"end.wav", [] {
        Buf b = modes(0.7, {{233, 0.4, 0.2}, {612, 0.35, 0.15}, {1047, 0.25, 0.1}, {1653, 0.18, 0.07},
                            {2390, 0.1, 0.05}});
        mix(b, thud(110, 55, 0.2, 0.05, 271, 0.6), 0.0, 0.9);
        mix(b, click(1500, 0.02, 0.004, 272, 0.7), 0.0, 0.35);
        return b;
    }});
    return e;
}

// A duckling's peep: a short, nasal, buzzy note whose pitch rises and then
// falls away, shaped by two formants so that it reads as a bird, not a mouse.
Buf peep(double dur, double fStart, double fPeak, double fEnd, std::uint64_t seed) {
    auto freq = [=](double t) {
        double x = t / dur;
        return x < 0.3 ? glide(fStart, fPeak, x / 0.3) : glide(fPeak, fEnd, (x - 0.3) / 0.7);
    };
    Buf b = osc(dur, Wave::Saw, freq, [=](double t) { return env(t, dur, dur * 0.15, dur * 0.35, 0.0); });
    Buf body = b;
    filter(b, Biquad::BP, 1100.0, 3.0);
    filter(body, Biquad::BP, 2600.0, 4.0);
    mix(b, body, 0.0, 0.8);
    Buf breath = whiteNoise(dur, seed);
    shape(breath, [=](double t) { return 0.08 * env(t, dur, dur * 0.1, dur * 0.4, 0.0); });
    filter(breath, Biquad::BP, 3000.0, 2.0);
    mix(b, breath, 0.0);
    return b;
}

// Sounds that shipped challenges bring in their own folders beside them,
// paths relative to the challenges folder.
std::vector<Entry> challengeSoundSet() {
    std::vector<Entry> e;
    // "Duck pond": the claw lifts a duckling (two eager peeps) and sets it
    // down (one contented peep and a soft landing on the water).
    e.push_back({"03_ducks/gvictim.wav", [] {
        Buf out = clack(0.75, 0.12, 301);
        mix(out, peep(0.13, 700, 1050, 900, 302), 0.06, 0.9);
        mix(out, peep(0.15, 750, 1150, 850, 303), 0.24, 0.9);
        return out;
    }});
    e.push_back({"03_ducks/dvictim.wav", [] {
        Buf out = peep(0.2, 800, 1000, 650, 311);
        Buf splash = whiteNoise(0.25, 312);
        shape(splash, [](double t) { return env(t, 0.25, 0.005, 0.2, 0.06); });
        filter(splash, Biquad::LP, 1800.0);
        mix(out, splash, 0.18, 0.5);
        return out;
    }});
    return e;
}

// ---------------------------------------------------------------------------
// Music

enum class Instr { EPiano, Pad, Pluck, Marimba, Flute, Bell, SoftTri, Bass };

// Render one note: `gate` is how long it is held, the result includes its tail.
Buf noteRaw(Instr in, double f, double gate, double vel, std::uint64_t seed) {
    switch (in) {
    case Instr::EPiano: {
        double d = gate + 0.5;
        Buf b(samples(d));
        for (std::size_t i = 0; i < b.size(); ++i) {
            double t = static_cast<double>(i) / kRate;
            double idx = 1.4 * std::exp(-t / 0.25) + 0.15;
            double m = idx * std::sin(kTwoPi * f * t);
            double a = env(t, d, 0.004, 0.0, 1.1) * (t > gate ? std::exp(-(t - gate) / 0.12) : 1.0);
            b[i] = a * (std::sin(kTwoPi * f * t + m) + 0.15 * std::sin(kTwoPi * 2.0 * f * t));
        }
        scale(b, vel);
        return b;
    }
    case Instr::Pad: {
        double d = gate + 1.0;
        auto amp = [=](double t) { return t < gate ? std::min(1.0, t / 0.7) : std::exp(-(t - gate) / 0.3); };
        Buf a = osc(d, Wave::Saw, [=](double) { return f * 1.0035; }, amp);
        Buf b = osc(d, Wave::Saw, [=](double) { return f / 1.0035; }, amp, 0.37);
        Buf s = osc(d, Wave::Sine, [=](double) { return f * 0.5; }, amp);
        mix(a, b, 0.0);
        filter(a, Biquad::LP, 700.0 + f, 0.6);
        filter(a, Biquad::LP, 700.0 + f, 0.6);
        mix(a, s, 0.0, 0.5);
        scale(a, vel * 0.5);
        return a;
    }
    case Instr::Pluck: {
        double d = gate + 0.6;
        Buf b = pluck(f, d, 0.996, seed, 0.35);
        shape(b, [=](double t) { return t < gate ? 1.0 : std::exp(-(t - gate) / 0.15); });
        filter(b, Biquad::LP, 3000.0);
        scale(b, vel);
        return b;
    }
    case Instr::Marimba: {
        double d = std::min(gate, 0.6) + 0.6;
        Buf b = modes(d, {{f, 1.0, 0.45}, {f * 4.0, 0.25, 0.06}, {f * 9.9, 0.06, 0.015}}, 0.002);
        shape(b, [=](double t) { return env(t, d, 0.0, 0.05, 0.0); });
        scale(b, vel);
        return b;
    }
    case Instr::Flute: {
        double d = gate + 0.2;
        Buf b = harmonics(d, {1.0, 0.18, 0.06},
                          [=](double t) { return f * (1.0 + 0.004 * std::sin(kTwoPi * 5.0 * t) * std::min(1.0, std::max(0.0, t - 0.25) * 3.0)); },
                          [=](double t) { return (t < gate ? std::min(1.0, t / 0.09) : std::max(0.0, 1.0 - (t - gate) / 0.2)); });
        scale(b, vel);
        return b;
    }
    case Instr::Bell: {
        double d = gate + 1.0;
        Buf b(samples(d));
        for (std::size_t i = 0; i < b.size(); ++i) {
            double t = static_cast<double>(i) / kRate;
            double idx = 1.2 * std::exp(-t / 0.4);
            double m = idx * std::sin(kTwoPi * f * 3.5 * t);
            b[i] = env(t, d, 0.003, 0.1, 0.7) * std::sin(kTwoPi * f * t + m);
        }
        scale(b, vel);
        return b;
    }
    case Instr::SoftTri: {
        double d = gate + 0.25;
        Buf b = osc(d, Wave::Triangle,
                    [=](double t) { return f * (1.0 + 0.003 * std::sin(kTwoPi * 4.5 * t)); },
                    [=](double t) { return t < gate ? std::min(1.0, t / 0.06) * (0.8 + 0.2 * std::exp(-t / 0.3)) : 0.8 * std::max(0.0, 1.0 - (t - gate) / 0.25); });
        filter(b, Biquad::LP, 2500.0);
        scale(b, vel);
        return b;
    }
    case Instr::Bass: {
        double d = gate + 0.15;
        Buf b = harmonics(d, {1.0, 0.3, 0.1}, [=](double) { return f; },
                          [=](double t) { return t < gate ? std::min(1.0, t / 0.015) * (0.6 + 0.4 * std::exp(-t / 0.4)) : 0.6 * std::max(0.0, 1.0 - (t - gate) / 0.15); });
        scale(b, vel);
        return b;
    }
    }
    return {};
}

// A note with its tail faded to exact silence, so no note ends with a click.
Buf note(Instr in, double f, double gate, double vel, std::uint64_t seed) {
    Buf b = noteRaw(in, f, gate, vel, seed);
    std::size_t fo = std::min(b.size(), samples(0.03));
    for (std::size_t i = 0; i < fo; ++i) b[b.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(fo);
    return b;
}

struct Style {
    int root;          // key root as a MIDI note in the bass octave
    bool minor;
    double bpm;
    std::array<int, 4> prog;  // scale degrees (0-based) of the four chords
    Instr chords;
    bool arpeggio;     // chords broken into eighth notes rather than held
    Instr lead;
    double leadGain;
};

const std::array<Style, 6> kStyles = {{
    {48, false, 72.0, {0, 4, 5, 3}, Instr::EPiano, false, Instr::Flute, 0.32},    // C major
    {45, true, 64.0, {0, 5, 2, 6}, Instr::Pad, false, Instr::Bell, 0.3},          // A minor
    {41, false, 84.0, {0, 5, 3, 4}, Instr::Pluck, true, Instr::SoftTri, 0.35},    // F major
    {38, true, 60.0, {0, 3, 5, 4}, Instr::Marimba, true, Instr::Flute, 0.3},      // D minor
    {43, false, 78.0, {3, 0, 4, 5}, Instr::Pad, false, Instr::Marimba, 0.4},      // G major
    {40, true, 68.0, {0, 6, 5, 6}, Instr::EPiano, false, Instr::SoftTri, 0.3},    // E minor
}};

// A small stereo room reverb (parallel combs into series allpasses).
void reverb(Buf& l, Buf& r, double wet) {
    auto run = [&](const Buf& in, int spread) {
        const int combs[4] = {1557, 1617, 1491, 1422};
        const int aps[2] = {225, 556};
        Buf out(in.size(), 0.0);
        for (int c : combs) {
            std::size_t n = static_cast<std::size_t>(c + spread);
            Buf line(n, 0.0);
            double store = 0.0;
            std::size_t p = 0;
            for (std::size_t i = 0; i < in.size(); ++i) {
                double y = line[p];
                store = y * 0.7 + store * 0.3;  // damping
                line[p] = in[i] * 0.015 + store * 0.84;
                out[i] += y;
                if (++p == n) p = 0;
            }
        }
        for (int a : aps) {
            std::size_t n = static_cast<std::size_t>(a + spread);
            Buf line(n, 0.0);
            std::size_t p = 0;
            for (double& x : out) {
                double b = line[p];
                line[p] = x + b * 0.5;
                x = b - x;
                if (++p == n) p = 0;
            }
        }
        return out;
    };
    Buf wl = run(l, 0), wr = run(r, 23);
    for (std::size_t i = 0; i < l.size(); ++i) {
        l[i] = l[i] * (1.0 - wet) + wl[i] * wet * 3.0;
        r[i] = r[i] * (1.0 - wet) + wr[i] * wet * 3.0;
    }
}

void mixPan(Buf& l, Buf& r, const Buf& src, double at, double gain, double pan) {
    double a = (pan + 1.0) * kPi / 4.0;  // pan -1..1, equal power
    mix(l, src, at, gain * std::cos(a));
    mix(r, src, at, gain * std::sin(a));
}

void makeTrack(int index, Buf& L, Buf& R) {
    Style st = kStyles[static_cast<std::size_t>(index % static_cast<int>(kStyles.size()))];
    // Beyond the first round of styles, shift the key and tempo a little.
    int round = index / static_cast<int>(kStyles.size());
    st.root += (round * 5) % 12;
    if (st.root > 47) st.root -= 12;
    st.bpm += round * 3.0;

    Rng rng(1000 + static_cast<std::uint64_t>(index) * 7919);
    static constexpr int kMajor[7] = {0, 2, 4, 5, 7, 9, 11};
    static constexpr int kMinor[7] = {0, 2, 3, 5, 7, 8, 10};
    const int* scaleSteps = st.minor ? kMinor : kMajor;
    auto degree = [&](int d) {  // scale degree (any integer) -> semitones above root
        int oct = d >= 0 ? d / 7 : -((-d + 6) / 7);
        int k = d - oct * 7;
        return oct * 12 + scaleSteps[k];
    };

    const double beat = 60.0 / st.bpm;
    const double bar = 4.0 * beat;
    int cycles = std::max(3, static_cast<int>(std::lround(70.0 / (4.0 * bar))));
    while ((cycles * 4 + 1) * bar + 3.0 > 90.0) --cycles;
    while ((cycles * 4 + 1) * bar + 3.0 < 60.0) ++cycles;
    const int bars = cycles * 4;
    const double total = (bars + 1) * bar + 3.0;
    L.assign(samples(total), 0.0);
    R.assign(samples(total), 0.0);

    // Chords and bass.
    for (int b = 0; b <= bars; ++b) {
        bool last = b == bars;
        int deg = last ? 0 : st.prog[static_cast<std::size_t>(b % 4)];
        double t0 = b * bar;
        std::array<int, 4> tones = {degree(deg), degree(deg + 2), degree(deg + 4), degree(deg + 7)};
        int chordBase = st.root + 12;
        if (st.arpeggio && !last) {
            static constexpr int pattern[8] = {0, 1, 2, 3, 2, 1, 2, 1};
            for (int s = 0; s < 8; ++s) {
                int tone = tones[static_cast<std::size_t>(pattern[s])];
                double f = midiHz(chordBase + 12 + tone);
                double vel = (s == 0 ? 0.34 : 0.26) * (0.9 + 0.2 * rng.uni());
                Buf n = note(st.chords, f, beat, vel, rng.next());
                mixPan(L, R, n, t0 + s * beat * 0.5, 1.0, -0.4 + 0.8 * (pattern[s] / 3.0));
            }
        } else {
            double gate = last ? bar * 1.5 : (st.chords == Instr::Pad ? bar : bar * 0.95);
            auto hit = [&](double at, double g, double vel) {
                for (int v = 0; v < 3; ++v) {
                    double f = midiHz(chordBase + tones[static_cast<std::size_t>(v)]);
                    Buf n = note(st.chords, f, g, vel, rng.next());
                    mixPan(L, R, n, at + v * 0.012, 1.0, -0.5 + 0.5 * v);
                }
            };
            if (st.chords == Instr::Pad || last) {
                hit(t0, gate, 0.3);
            } else if (st.chords == Instr::Marimba) {
                hit(t0, beat * 2.0, 0.3);
                hit(t0 + beat * 2.0, beat * 2.0, 0.22);
            } else {  // gentle "one ... and three" comping
                hit(t0, beat * 1.5, 0.22);
                hit(t0 + beat * 1.5, beat * 2.5, 0.16);
            }
        }
        // Bass: root on one, fifth or root on three.
        double bf = midiHz(st.root + degree(deg) % 12);
        if (last) {
            mixPan(L, R, note(Instr::Bass, bf, bar * 1.5, 0.5, 0), t0, 1.0, 0.0);
        } else {
            mixPan(L, R, note(Instr::Bass, bf, beat * 1.8, 0.5, 0), t0, 1.0, 0.0);
            double second = (b % 2 == 1) ? midiHz(st.root + degree(deg + 4) % 12) : bf;
            if (second > bf * 1.6) second *= 0.5;
            mixPan(L, R, note(Instr::Bass, second, beat * 1.8, 0.42, 0), t0 + 2.0 * beat, 1.0, 0.0);
        }
    }

    // Lead melody: two four-bar phrases on the pentatonic scale, repeated with
    // small variations. The first cycle and one cycle in the middle stay quiet.
    static constexpr int kPentaMajor[5] = {0, 2, 4, 7, 9};
    static constexpr int kPentaMinor[5] = {0, 3, 5, 7, 10};
    const int* penta = st.minor ? kPentaMinor : kPentaMajor;
    auto pentaNote = [&](int i) {
        int oct = i >= 0 ? i / 5 : -((-i + 4) / 5);
        return st.root + 36 + oct * 12 + penta[i - oct * 5];
    };
    struct MelNote { double beatPos, len; int idx; };
    auto makePhrase = [&]() {
        std::vector<MelNote> ph;
        int idx = 2 + rng.below(3);
        double pos = 0.0;
        while (pos < 15.0) {
            double len = (rng.uni() < 0.5) ? 1.0 : (rng.uni() < 0.6 ? 2.0 : 0.5);
            if (pos + len > 16.0) len = 16.0 - pos;
            if (rng.uni() < 0.72) ph.push_back({pos, len, idx});
            int step = rng.below(5) - 2;
            idx = std::clamp(idx + step, 0, 7);
            pos += len;
        }
        if (!ph.empty()) ph.back().len = std::max(ph.back().len, 2.0);
        return ph;
    };
    std::vector<MelNote> phraseA = makePhrase();
    std::vector<MelNote> phraseB = makePhrase();
    int quietCycle = cycles >= 5 ? cycles / 2 + 1 : -1;
    for (int c = 1; c < cycles; ++c) {
        if (c == quietCycle) continue;
        const auto& ph = (c % 2 == 1) ? phraseA : phraseB;
        for (const MelNote& m : ph) {
            int idx = m.idx;
            if (c >= 3 && rng.uni() < 0.15) idx += rng.below(3) - 1;  // small variations
            double f = midiHz(pentaNote(idx));
            double at = c * 4 * bar + m.beatPos * beat;
            Buf n = note(st.lead, f, m.len * beat * 0.92, st.leadGain, rng.next());
            mixPan(L, R, n, at, 1.0, 0.2);
        }
    }

    reverb(L, R, 0.25);

    // Fade in over 3 s and out over the last 6 s.
    std::size_t n = L.size();
    std::size_t fi = samples(3.0), fo = samples(6.0);
    for (std::size_t i = 0; i < n; ++i) {
        double g = 1.0;
        if (i < fi) g *= std::pow(static_cast<double>(i) / static_cast<double>(fi), 2.0);
        if (i + fo > n) g *= std::pow(static_cast<double>(n - 1 - i) / static_cast<double>(fo), 2.0);
        L[i] *= g;
        R[i] *= g;
    }
    normaliseStereo(L, R);
}

int usage() {
    std::cerr << "usage: soundgen OUTDIR\n"
                 "       soundgen --challenges OUTDIR\n"
                 "       soundgen --music OUTDIR N\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool challenges = argc == 3 && std::string_view(argv[1]) == "--challenges";
    if ((argc == 2 && std::string_view(argv[1]) != "--music") || challenges) {
        fs::path out = argv[argc - 1];
        int failures = 0;
        for (const Entry& e : challenges ? challengeSoundSet() : soundSet()) {
            Buf b = e.make();
            if (e.loop) {
                double p = peakOf(b);
                if (p > 0.0) scale(b, dbGain(kPeakDb) / p);
            } else {
                finish(b);
            }
            if (!writeWav(out / e.path, b)) ++failures;
        }
        return failures ? 1 : 0;
    }
    if (argc == 4 && std::string_view(argv[1]) == "--music") {
        fs::path out = argv[2];
        char* end = nullptr;
        long count = std::strtol(argv[3], &end, 10);
        if (!end || *end != '\0' || count < 1 || count > 100) return usage();
        int failures = 0;
        for (int i = 0; i < static_cast<int>(count); ++i) {
            Buf l, r;
            makeTrack(i, l, r);
            if (!writeWav(out / (std::to_string(i + 1) + ".wav"), l, &r)) ++failures;
        }
        return failures ? 1 : 0;
    }
    return usage();
}

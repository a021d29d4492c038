#include "sound/synth.h"

#include "types.h"

#include <cmath>

namespace {

// A sound being made: samples as doubles, later scaled to its level and rounded.
using Track = std::vector<double>;

Track silence(double seconds) {
    return Track(size_t(seconds * SOUND_RATE), 0.0);
}

// A decaying envelope, multiplied down a sample at a time: falls to about 1/e in tau seconds
// (1 - x stands in for e^-x, x being tiny).
struct Decay {
    double level = 1.0;
    double factor;
    explicit Decay(double tau) : factor(1.0 - 1.0 / (tau * SOUND_RATE)) {}
    double next() {
        double value = level;
        level *= factor;
        return value;
    }
};

// A one-pole low-pass filter: a near 0 keeps only the lowest sounds, 1 passes everything.
struct LowPass {
    double out = 0.0;
    double next(double in, double a) {
        out += a * (in - out);
        return out;
    }
};

// A rise over the first attack seconds, then 1.
double attack(size_t i, double seconds) {
    double t = double(i) / SOUND_RATE;
    return t < seconds ? t / seconds : 1.0;
}

// 0 at both ends of n samples, 1 in the middle: sin of half a turn across them.
double hump(size_t i, size_t n) {
    return sineOfTurns(0.5 * double(i) / double(n));
}

// Adds a gliding tone from frequency from to to (hertz) with falling amplitude, starting at
// sample at; harmonics gives the strengths of the 1st, 2nd, ... partials.
void addTone(Track &track, size_t at, double seconds, double from, double to, double tau,
             const std::vector<double> &harmonics, double attackSeconds = 0.003) {
    size_t n = size_t(seconds * SOUND_RATE);
    double phase = 0.0;
    Decay decay(tau);
    for (size_t i = 0; i < n && at + i < track.size(); i++) {
        double f = from + (to - from) * double(i) / double(n);
        phase += f / SOUND_RATE;
        double wave = 0.0;
        for (size_t h = 0; h < harmonics.size(); h++)
            wave += harmonics[h] * sineOfTurns(phase * double(h + 1));
        track[at + i] += wave * decay.next() * attack(i, attackSeconds);
    }
}

// Adds filtered noise with falling amplitude from sample at; a is the low-pass coefficient.
void addNoise(Track &track, size_t at, double seconds, double a, double tau, NoiseSource &noise,
              double attackSeconds = 0.002) {
    size_t n = size_t(seconds * SOUND_RATE);
    LowPass filter;
    Decay decay(tau);
    for (size_t i = 0; i < n && at + i < track.size(); i++)
        track[at + i] += filter.next(noise.next(), a) * decay.next() * attack(i, attackSeconds);
}

size_t sampleAt(double seconds) {
    return size_t(seconds * SOUND_RATE);
}

Track hoof() {
    NoiseSource noise{0x1f2e3d4cu};
    Track t = silence(0.09);
    addNoise(t, 0, 0.09, 0.12, 0.018, noise);
    addTone(t, 0, 0.09, 120.0, 60.0, 0.03, {1.0});
    return t;
}

// A low buzz falling in pitch, roughened by slow noise: a voiced grunt.
Track grunt() {
    NoiseSource noise{0x5eed0001u};
    Track t = silence(0.45);
    size_t n = t.size();
    double phase = 0.0;
    LowPass rough, tone;
    for (size_t i = 0; i < n; i++) {
        double f = 95.0 - 25.0 * double(i) / double(n);
        phase += f / SOUND_RATE;
        double wave = 0.0;
        for (int h = 1; h <= 8; h++) wave += sineOfTurns(phase * h) / h;
        double roughness = 0.6 + 0.4 * rough.next(noise.next(), 0.01) * 8.0;
        t[i] = tone.next(wave * roughness, 0.25) * hump(i, n) * attack(i, 0.03);
    }
    return t;
}

// A burst of breath: noise between two low-pass filters (the difference keeps the middle band),
// fluttering.
Track snort() {
    NoiseSource noise{0x0badcafeu};
    Track t = silence(0.3);
    size_t n = t.size();
    LowPass wide, narrow;
    Decay decay(0.09);
    for (size_t i = 0; i < n; i++) {
        double x = noise.next();
        double band = wide.next(x, 0.5) - narrow.next(x, 0.06);
        double flutter = 0.7 + 0.3 * sineOfTurns(28.0 * double(i) / SOUND_RATE);
        t[i] = band * flutter * decay.next() * attack(i, 0.02);
    }
    return t;
}

Track pick() {
    Track t = silence(0.08);
    addTone(t, 0, 0.08, 660.0, 990.0, 0.03, {1.0, 0.2});
    return t;
}

// Noise through a filter that opens and closes again: air rushing past.
Track whoosh() {
    NoiseSource noise{0x7077ee01u};
    Track t = silence(0.28);
    size_t n = t.size();
    LowPass filter;
    for (size_t i = 0; i < n; i++) {
        double open = hump(i, n);
        t[i] = filter.next(noise.next(), 0.02 + 0.25 * open) * open;
    }
    return t;
}

// Three crunches, each a burst of noise over a low thump.
Track munch() {
    NoiseSource noise{0x00c40c40u};
    Track t = silence(0.42);
    for (double start : {0.0, 0.14, 0.28}) {
        addNoise(t, sampleAt(start), 0.1, 0.35, 0.025, noise);
        addTone(t, sampleAt(start), 0.08, 170.0, 120.0, 0.03, {0.5});
    }
    return t;
}

// A crack, then a long low rumble over a falling boom.
Track blast() {
    NoiseSource noise{0xb00b00b5u};
    Track t = silence(1.3);
    addNoise(t, 0, 0.02, 1.0, 0.01, noise, 0.0005);
    addNoise(t, 0, 1.3, 0.04, 0.35, noise, 0.004);
    addTone(t, 0, 1.3, 60.0, 35.0, 0.3, {1.0, 0.3});
    return t;
}

// A whistle gliding down, and the landing.
Track fall() {
    NoiseSource noise{0xfa11fa11u};
    Track t = silence(0.95);
    addTone(t, 0, 0.78, 1400.0, 300.0, 10.0, {0.35}, 0.05);
    addNoise(t, sampleAt(0.78), 0.17, 0.1, 0.05, noise);
    addTone(t, sampleAt(0.78), 0.17, 70.0, 45.0, 0.06, {1.0});
    return t;
}

// High partials, each trembling at its own rate.
Track shimmer() {
    Track t = silence(0.7);
    size_t n = t.size();
    const double partials[4] = {1320.0, 1760.0, 2200.0, 2640.0};
    const double tremolo[4] = {7.0, 9.0, 11.0, 13.0};
    Decay decay(0.25);
    for (size_t i = 0; i < n; i++) {
        double s = double(i) / SOUND_RATE;
        double sum = 0.0;
        double vibrato = 0.002 * sineOfTurns(5.0 * s);
        for (int p = 0; p < 4; p++) {
            sum += sineOfTurns(partials[p] * s * (1.0 + vibrato)) *
                   (0.5 + 0.5 * sineOfTurns(tremolo[p] * s + 0.25 * p));
        }
        t[i] = sum * decay.next() * attack(i, 0.05);
    }
    return t;
}

// Soft breath with a faint rising tone.
Track lift() {
    NoiseSource noise{0xc10dc10du};
    Track t = silence(0.6);
    size_t n = t.size();
    LowPass filter;
    for (size_t i = 0; i < n; i++) t[i] = filter.next(noise.next(), 0.08) * hump(i, n);
    Track tone = silence(0.6);
    addTone(tone, 0, 0.6, 300.0, 700.0, 10.0, {1.0}, 0.1);
    for (size_t i = 0; i < n; i++) t[i] += 0.15 * tone[i] * hump(i, n);
    return t;
}

Track thud() {
    NoiseSource noise{0x7b0d0001u};
    Track t = silence(0.16);
    addTone(t, 0, 0.16, 85.0, 50.0, 0.04, {1.0, 0.25});
    addNoise(t, 0, 0.03, 0.2, 0.008, noise);
    return t;
}

// Notes of a phrase: frequency (hertz) and length (seconds), played one after another.
struct Note {
    double frequency, seconds;
};

Track phrase(const std::vector<Note> &notes, double vibrato) {
    double total = 0.0;
    for (const Note &note : notes) total += note.seconds;
    Track t = silence(total);
    size_t at = 0;
    for (const Note &note : notes) {
        size_t n = sampleAt(note.seconds);
        double phase = 0.0;
        Decay decay(note.seconds * 0.8);
        for (size_t i = 0; i < n && at + i < t.size(); i++) {
            double s = double(i) / SOUND_RATE;
            double waver = vibrato == 0.0 ? 1.0 : 1.0 + vibrato * sineOfTurns(6.0 * s);
            phase += note.frequency * waver / SOUND_RATE;
            double wave = sineOfTurns(phase) + 0.3 * sineOfTurns(3.0 * phase) +
                          0.15 * sineOfTurns(2.0 * phase);
            // A short fade at each note's end keeps the joins from clicking.
            double fade = n - i < 200 ? double(n - i) / 200.0 : 1.0;
            t[at + i] = wave * decay.next() * attack(i, 0.01) * fade;
        }
        at += n;
    }
    return t;
}

// C, E, G and the C above, rising.
Track won() {
    return phrase({{523.25, 0.15}, {659.26, 0.15}, {783.99, 0.15}, {1046.50, 0.4}}, 0.0);
}

// Falling by half tones to a long low note that wavers.
Track lost() {
    return phrase({{392.00, 0.22}, {369.99, 0.22}, {349.23, 0.22}, {329.63, 0.55}}, 0.01);
}

// Loudest sample of each sound, out of 1: the blast loudest, the pick and the whoosh soft.
const double LEVELS[SOUND_COUNT] = {0.55, 0.8,  0.6,  0.45, 0.45, 0.6, 0.95,
                                    0.7,  0.45, 0.45, 0.6,  0.6,  0.6};

Track make(SoundId id) {
    switch (id) {
    case SOUND_HOOF:
        return hoof();
    case SOUND_GRUNT:
        return grunt();
    case SOUND_SNORT:
        return snort();
    case SOUND_PICK:
        return pick();
    case SOUND_THROW:
        return whoosh();
    case SOUND_MUNCH:
        return munch();
    case SOUND_BLAST:
        return blast();
    case SOUND_FALL:
        return fall();
    case SOUND_SHIMMER:
        return shimmer();
    case SOUND_LIFT:
        return lift();
    case SOUND_THUD:
        return thud();
    case SOUND_WON:
        return won();
    case SOUND_LOST:
        return lost();
    case SOUND_COUNT:
        break;
    }
    return Track();
}

} // namespace

double NoiseSource::next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return double(state) / 2147483648.0 - 1.0;
}

double sineOfTurns(double turns) {
    double t = turns - std::floor(turns);
    if (t > 0.5) t -= 1.0;
    // Folded into a quarter turn either side of 0, where the series converges fast.
    if (t > 0.25) t = 0.5 - t;
    if (t < -0.25) t = -0.5 - t;
    double x = 2.0 * PI_D * t;
    double x2 = x * x;
    // The sine's series to x^15 in Horner's form; the coefficients are 1 / n! with alternating
    // signs, rounded once by the compiler.
    const double c3 = -1.0 / 6.0, c5 = 1.0 / 120.0, c7 = -1.0 / 5040.0, c9 = 1.0 / 362880.0,
                 c11 = -1.0 / 39916800.0, c13 = 1.0 / 6227020800.0, c15 = -1.0 / 1307674368000.0;
    return x * (1.0 +
                x2 * (c3 + x2 * (c5 + x2 * (c7 + x2 * (c9 + x2 * (c11 + x2 * (c13 + x2 * c15)))))));
}

static void fadeOut(std::vector<double> &track) {
    size_t n = track.size();
    size_t fade = size_t(SOUND_END_FADE * SOUND_RATE);
    if (fade > n) fade = n;
    // A half cosine from 1 down to 0, the last sample at 0 itself: the sound's own waveform steps
    // no more at its end than anywhere in the fade.
    for (size_t k = 0; k < fade; k++) {
        double left = double(k) / double(fade);
        track[n - 1 - k] *= 0.5 - 0.5 * sineOfTurns(0.5 * left + 0.25);
    }
}

std::vector<int16_t> synthesize(SoundId id) {
    Track track = make(id);
    fadeOut(track);
    double peak = 0.0;
    for (double x : track) peak = std::fmax(peak, std::fabs(x));
    double scale = peak > 0.0 ? LEVELS[id] / peak : 0.0;
    std::vector<int16_t> samples(track.size());
    for (size_t i = 0; i < track.size(); i++) {
        double x = track[i] * scale * 32767.0;
        x = x > 32767.0 ? 32767.0 : x < -32768.0 ? -32768.0 : x;
        samples[i] = int16_t(std::lround(x));
    }
    return samples;
}

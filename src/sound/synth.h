// The game's own sounds, made by arithmetic at start-up: no recorded samples. Only additions,
// multiplications and divisions of doubles and a PRNG of our own go into them, never the C
// library's sine, exponential or rand, whose results differ between platforms; so every run on
// every platform makes the same bytes.
#pragma once

#include <cstdint>
#include <vector>

// Every sound the game makes.
enum SoundId {
    SOUND_HOOF,    // a hoof on turf, while the bison wanders
    SOUND_GRUNT,   // the wandering bison's grunt, now and then
    SOUND_SNORT,   // with each nod
    SOUND_PICK,    // a food picked up
    SOUND_THROW,   // a food thrown
    SOUND_MUNCH,   // an orange or an apple on the head
    SOUND_BLAST,   // a bomb going off
    SOUND_FALL,    // the bison falling back after a bomb
    SOUND_SHIMMER, // a marble swapping the bison's skin
    SOUND_LIFT,    // a cloud lifting the bison
    SOUND_THUD,    // a food striking the body
    SOUND_WON,     // the won screen's phrase
    SOUND_LOST,    // the lost screen's phrase
    SOUND_COUNT
};

// Samples per second of every sound (mono, signed 16-bit).
const int SOUND_RATE = 22050;
// Every sound ends in a fade of its own to silence over this long (seconds).
const double SOUND_END_FADE = 0.008;

// The samples of one sound, the same on every call.
std::vector<int16_t> synthesize(SoundId id);

// A xorshift generator: the sounds' own noise, independent of the game's rand.
struct NoiseSource {
    uint32_t state; // never 0
    // The next value, uniform in [-1, 1).
    double next();
};

// sin(2π turns), from a polynomial: the same double on every platform. Any real argument.
double sineOfTurns(double turns);

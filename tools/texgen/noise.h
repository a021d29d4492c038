// Integer hashes and the noises made from them: the only source of randomness in the pictures,
// so that each run paints the same bytes.
#pragma once

#include <cstdint>

// A well-mixed 32-bit hash of a lattice point and a seed.
inline uint32_t hash3(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B1u;
    h ^= uint32_t(x) * 0x85EBCA77u;
    h = (h << 13 | h >> 19) * 0xC2B2AE3Du;
    h ^= uint32_t(y) * 0x27D4EB2Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

// The hash of a lattice point as a number in 0..1 (1 excluded).
inline float hashUnit(int32_t x, int32_t y, uint32_t seed) {
    return float(hash3(x, y, seed) >> 8) / 16777216.0f;
}

// v brought into 0..period - 1; a period of 0 or less leaves it as it is.
inline int wrap(int v, int period) {
    if (period <= 0) return v;
    v %= period;
    return v < 0 ? v + period : v;
}

// Value noise on an integer lattice, 0..1; a period of 0 means the axis does not repeat.
float valueNoise(float x, float y, int periodX, int periodY, uint32_t seed);
// Fractal sum of value noise, 0..1. The periods are those of the first octave and double with it.
float fbm(float x, float y, int octaves, int periodX, int periodY, uint32_t seed);
// Distances to the nearest (f1) and second-nearest (f2) of one random point per lattice cell.
void cellular(float x, float y, int periodX, int periodY, uint32_t seed, float &f1, float &f2);

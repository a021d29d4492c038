// Colours and the picture the painters paint into, before a writer turns it into bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A colour, each channel 0..1.
struct Colour {
    float r, g, b;
};

// The colour a fraction t of the way from a to b.
inline Colour mix(Colour a, Colour b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
// Every channel of a multiplied by k.
inline Colour scale(Colour a, float k) {
    return {a.r * k, a.g * k, a.b * k};
}
// A colour written as 0xRRGGBB.
inline Colour hex(uint32_t rgb) {
    return {float(rgb >> 16 & 255) / 255, float(rgb >> 8 & 255) / 255, float(rgb & 255) / 255};
}

// A picture being painted: floats 0..1, row 0 at the bottom (texture t = 0).
struct Picture {
    int width, height;
    bool alpha;
    std::vector<float> data; // r, g, b, a per pixel
    Picture(int w, int h, bool withAlpha)
        : width(w), height(h), alpha(withAlpha), data(size_t(w) * h * 4, 1.0f) {}
    float *at(int x, int y) { return &data[(size_t(y) * width + x) * 4]; }
    void set(int x, int y, Colour c, float a = 1) {
        float *p = at(x, y);
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
        p[3] = a;
    }
    Colour get(int x, int y) {
        float *p = at(x, y);
        return {p[0], p[1], p[2]};
    }
};

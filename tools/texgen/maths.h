// Float arithmetic that gives the same float on every C library, and the small shaping helpers
// the painters share. Header only: the painters call these for every pixel.
#pragma once

#include <cmath>

// Half a turn, in radians.
const float PI = 3.14159265358979f;

// C libraries round their float sine, tangent, exponential and power differently (glibc's are
// correctly rounded, Windows' are not). Worked in double and rounded to float once, they give the
// same float everywhere, and so the same pictures byte for byte.

// The sine of x radians.
inline float sine(float x) {
    return float(std::sin(double(x)));
}
// The cosine of x radians.
inline float cosine(float x) {
    return float(std::cos(double(x)));
}
// The tangent of x radians.
inline float tangent(float x) {
    return float(std::tan(double(x)));
}
// e to the power x.
inline float exponential(float x) {
    return float(std::exp(double(x)));
}
// x to the power y.
inline float power(float x, float y) {
    return float(std::pow(double(x), double(y)));
}
// A double passed in by mistake would round differently: refused at compile time.
void sine(double) = delete;
void cosine(double) = delete;
void tangent(double) = delete;
void exponential(double) = delete;
void power(double, double) = delete;

// v held to 0..1.
inline float clamp01(float v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}
// 0 below edge0, 1 above edge1, a smooth step between (the edges may come in either order).
inline float smooth(float edge0, float edge1, float x) {
    float t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

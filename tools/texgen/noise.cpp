// Value noise, its fractal sums and cellular distances, on the integer hashes of noise.h.
#include "noise.h"

#include <cmath>

float valueNoise(float x, float y, int periodX, int periodY, uint32_t seed) {
    float fx = std::floor(x), fy = std::floor(y);
    int x0 = int(fx), y0 = int(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * tx * (tx * (tx * 6 - 15) + 10);
    ty = ty * ty * ty * (ty * (ty * 6 - 15) + 10);
    int xa = wrap(x0, periodX), xb = wrap(x0 + 1, periodX);
    int ya = wrap(y0, periodY), yb = wrap(y0 + 1, periodY);
    float a = hashUnit(xa, ya, seed), b = hashUnit(xb, ya, seed);
    float c = hashUnit(xa, yb, seed), d = hashUnit(xb, yb, seed);
    float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float fbm(float x, float y, int octaves, int periodX, int periodY, uint32_t seed) {
    float sum = 0, amplitude = 0.5f, norm = 0;
    for (int i = 0; i < octaves; i++) {
        sum += amplitude * valueNoise(x, y, periodX, periodY, seed + uint32_t(i) * 101u);
        norm += amplitude;
        amplitude *= 0.5f;
        x *= 2;
        y *= 2;
        periodX *= 2;
        periodY *= 2;
    }
    return sum / norm;
}

void cellular(float x, float y, int periodX, int periodY, uint32_t seed, float &f1, float &f2) {
    int cx = int(std::floor(x)), cy = int(std::floor(y));
    f1 = f2 = 9;
    for (int j = -1; j <= 1; j++) {
        for (int i = -1; i <= 1; i++) {
            int gx = cx + i, gy = cy + j;
            int hx = wrap(gx, periodX), hy = wrap(gy, periodY);
            float px = float(gx) + hashUnit(hx, hy, seed);
            float py = float(gy) + hashUnit(hx, hy, seed + 7);
            float d = std::sqrt((px - x) * (px - x) + (py - y) * (py - y));
            if (d < f1) {
                f2 = f1;
                f1 = d;
            } else if (d < f2) {
                f2 = d;
            }
        }
    }
}

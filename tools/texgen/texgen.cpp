// Paints the game's pictures into a folder: nine uncompressed true-colour TGA files and the raw
// grass. Every picture is made from integer hashes, so each run writes the same bytes.
//
// Usage: texgen OUTPUT_FOLDER
//        texgen --icon SIDE FILE.png   (the desktop icon, SIDE x SIDE)
//        texgen --ico FILE.ico SIDE... (the same icon at each side, for the Windows program)
#include "ico.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

const float PI = 3.14159265358979f;

// C libraries round their float sine, tangent, exponential and power differently (glibc's are
// correctly rounded, Windows' are not). Worked in double and rounded to float once, they give the
// same float everywhere, and so the same pictures byte for byte.
float sine(float x) {
    return float(std::sin(double(x)));
}
float cosine(float x) {
    return float(std::cos(double(x)));
}
float tangent(float x) {
    return float(std::tan(double(x)));
}
float exponential(float x) {
    return float(std::exp(double(x)));
}
float power(float x, float y) {
    return float(std::pow(double(x), double(y)));
}
void sine(double) = delete;
void cosine(double) = delete;
void tangent(double) = delete;
void exponential(double) = delete;
void power(double, double) = delete;

struct Colour {
    float r, g, b;
};

Colour mix(Colour a, Colour b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Colour scale(Colour a, float k) {
    return {a.r * k, a.g * k, a.b * k};
}
float clamp01(float v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}
float smooth(float edge0, float edge1, float x) {
    float t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}
Colour hex(uint32_t rgb) {
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

// ---- Hashes and noise --------------------------------------------------------------------

uint32_t hash3(int32_t x, int32_t y, uint32_t seed) {
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

float hashUnit(int32_t x, int32_t y, uint32_t seed) {
    return float(hash3(x, y, seed) >> 8) / 16777216.0f;
}

int wrap(int v, int period) {
    if (period <= 0) return v;
    v %= period;
    return v < 0 ? v + period : v;
}

// Value noise on an integer lattice; a period of 0 means the axis does not repeat.
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

// Fractal sum of value noise, 0..1. The periods are those of the first octave and double with it.
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

// Distances to the nearest and second-nearest of one random point per lattice cell.
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

// ---- Writers -----------------------------------------------------------------------------

unsigned char byteOf(float v) {
    return (unsigned char)std::lround(clamp01(v) * 255.0f);
}

bool writeFile(const std::string &path, const std::vector<unsigned char> &bytes) {
    FILE *file = fopen(path.c_str(), "wb");
    if (!file) {
        fprintf(stderr, "texgen: cannot write %s: %s\n", path.c_str(), strerror(errno));
        return false;
    }
    bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = fclose(file) == 0 && ok;
    if (!ok) fprintf(stderr, "texgen: short write to %s\n", path.c_str());
    return ok;
}

// Uncompressed true-colour TGA, bottom row first, B G R (A).
bool writeTGA(const std::string &path, Picture &picture) {
    int bytesPerPixel = picture.alpha ? 4 : 3;
    std::vector<unsigned char> bytes(18, 0);
    bytes[2] = 2;
    bytes[12] = (unsigned char)(picture.width & 255);
    bytes[13] = (unsigned char)(picture.width >> 8);
    bytes[14] = (unsigned char)(picture.height & 255);
    bytes[15] = (unsigned char)(picture.height >> 8);
    bytes[16] = (unsigned char)(bytesPerPixel * 8);
    bytes[17] = picture.alpha ? 8 : 0; // alpha bits; bottom-left origin
    bytes.reserve(bytes.size() + size_t(picture.width) * picture.height * bytesPerPixel);
    for (int y = 0; y < picture.height; y++) {
        for (int x = 0; x < picture.width; x++) {
            const float *p = picture.at(x, y);
            bytes.push_back(byteOf(p[2]));
            bytes.push_back(byteOf(p[1]));
            bytes.push_back(byteOf(p[0]));
            if (picture.alpha) bytes.push_back(byteOf(p[3]));
        }
    }
    return writeFile(path, bytes);
}

// Raw R G B, rows in order, no header.
bool writeRaw(const std::string &path, Picture &picture) {
    std::vector<unsigned char> bytes;
    bytes.reserve(size_t(picture.width) * picture.height * 3);
    for (int y = 0; y < picture.height; y++) {
        for (int x = 0; x < picture.width; x++) {
            const float *p = picture.at(x, y);
            for (int c = 0; c < 3; c++) bytes.push_back(byteOf(p[c]));
        }
    }
    return writeFile(path, bytes);
}

// ---- The pictures ------------------------------------------------------------------------
// Pictures worn by spheres repeat across s (x), where the sphere's seam is.

// The bison's coat: dark brown wool, a mat of short curled hairs over a darker undercoat.
Picture paintFur() {
    const int S = 256;
    Picture p(S, S, false);
    Colour under = hex(0x20130a), dark = hex(0x3a2311), mid = hex(0x553418), tip = hex(0x7a5230);
    for (int y = 0; y < S; y++) {
        for (int x = 0; x < S; x++) {
            float u = float(x) / S, v = float(y) / S;
            float clumps = fbm(u * 8, v * 8, 4, 8, 8, 13);
            p.set(x, y, mix(under, dark, clumps));
        }
    }
    // Hairs: short arcs, wrapped round the edges so the coat has no seam.
    for (int i = 0; i < 9000; i++) {
        float x0 = hashUnit(i, 0, 11) * S, y0 = hashUnit(i, 1, 11) * S;
        float length = 4 + hashUnit(i, 2, 11) * 7;
        // Hair lies mostly downwards, as the coat hangs, with a curl.
        float angle = -PI / 2 + (hashUnit(i, 3, 11) - 0.5f) * 1.6f;
        float curl = (hashUnit(i, 4, 11) - 0.5f) * 0.5f;
        float shade = hashUnit(i, 5, 11);
        float region = fbm(x0 / S * 8, y0 / S * 8, 3, 8, 8, 12);
        Colour colour = mix(dark, mid, shade);
        colour = mix(colour, tip, smooth(0.55f, 0.9f, shade * 0.6f + region * 0.6f));
        float px = x0, py = y0;
        int steps = int(length * 2);
        for (int step = 0; step <= steps; step++) {
            angle += curl / 2;
            px += cosine(angle) * 0.5f;
            py += sine(angle) * 0.5f;
            int ix = wrap(int(std::floor(px)), S), iy = wrap(int(std::floor(py)), S);
            float t = float(step) / steps;
            p.set(ix, iy, mix(p.get(ix, iy), scale(colour, 0.8f + 0.3f * t), 0.85f));
        }
    }
    return p;
}

// The bison's other skin: black crust broken by glowing cracks.
Picture paintLava() {
    const int W = 256, H = 256;
    Picture p(W, H, false);
    Colour crust = hex(0x1c0d08), warmCrust = hex(0x4a1408);
    Colour glowRed = hex(0xd42a05), glowOrange = hex(0xff8a10), glowYellow = hex(0xfff070);
    for (int y = 0; y < H; y++) {
        for (int x = 0; x < W; x++) {
            float u = float(x) / W, v = float(y) / H;
            float wx = (fbm(u * 4, v * 4, 3, 4, 4, 21) - 0.5f) * 0.6f;
            float wy = (fbm(u * 4 + 9, v * 4, 3, 4, 4, 22) - 0.5f) * 0.6f;
            float f1, f2;
            cellular(u * 8 + wx, v * 8 + wy, 8, 8, 23, f1, f2);
            float edge = f2 - f1; // 0 on a crack
            float heat = fbm(u * 5, v * 5, 4, 5, 5, 24);
            float crack = 1 - smooth(0.0f, 0.12f + 0.1f * heat, edge);
            Colour rock = mix(crust, warmCrust, smooth(0.4f, 0.8f, heat) * 0.8f);
            rock = scale(rock, 0.8f + 0.4f * hashUnit(x, y, 25));
            Colour glow = crack < 0.6f ? mix(glowRed, glowOrange, crack / 0.6f)
                                       : mix(glowOrange, glowYellow, (crack - 0.6f) / 0.4f);
            p.set(x, y, mix(rock, glow, smooth(0.05f, 0.5f, crack)));
        }
    }
    return p;
}

// Orange peel: saturated orange with small dimpled pores.
Picture paintOrange() {
    const int W = 256, H = 128;
    Picture p(W, H, false);
    Colour peel = hex(0xf28a10), deep = hex(0xd66a05), bright = hex(0xffab30);
    for (int y = 0; y < H; y++) {
        for (int x = 0; x < W; x++) {
            float u = float(x) / W, v = float(y) / H;
            float f1, f2;
            cellular(u * 64, v * 32, 64, 32, 31, f1, f2);
            float pore = 1 - smooth(0.05f, 0.35f, f1);
            float blotch = fbm(u * 6, v * 3, 4, 6, 3, 32);
            Colour c = mix(deep, bright, blotch);
            c = mix(c, peel, 0.4f);
            c = scale(c, 1.0f - 0.25f * pore);
            // The poles of the fruit: a little green where the stem was.
            float pole = smooth(0.93f, 0.99f, v);
            c = mix(c, hex(0x6a7a18), pole * 0.8f);
            p.set(x, y, c);
        }
    }
    return p;
}

// Apple skin: red with yellow-green streaks running from stem to base and pale lenticels.
Picture paintApple() {
    const int W = 256, H = 128;
    Picture p(W, H, false);
    Colour red = hex(0xb0101a), darkRed = hex(0x6e0812), blush = hex(0xd8302a);
    Colour yellow = hex(0xd8c040);
    for (int y = 0; y < H; y++) {
        for (int x = 0; x < W; x++) {
            float u = float(x) / W, v = float(y) / H;
            float streak = fbm(u * 40, v * 2, 3, 40, 2, 41);
            float patch = fbm(u * 6 + streak * 0.3f, v * 4, 5, 6, 4, 42);
            Colour c = mix(darkRed, red, streak);
            c = mix(c, blush, smooth(0.5f, 0.8f, streak) * 0.6f);
            c = mix(c, yellow, smooth(0.58f, 0.8f, patch * 0.7f + streak * 0.3f) * 0.55f);
            float f1, f2;
            cellular(u * 48, v * 24, 48, 24, 43, f1, f2);
            c = mix(c, hex(0xf0d890), (1 - smooth(0.0f, 0.09f, f1)) * 0.6f);
            float pole = std::max(smooth(0.9f, 1.0f, v), smooth(0.1f, 0.0f, v));
            c = mix(c, hex(0x88a030), pole * 0.6f);
            p.set(x, y, c);
        }
    }
    return p;
}

// Dark marbled stone (a bomb wears it): near black, with pale veins.
Picture paintMarble() {
    const int W = 256, H = 256;
    Picture p(W, H, false);
    Colour stone = hex(0x121416), slate = hex(0x2c3036), vein = hex(0xd8d8d0),
           faint = hex(0x70747a);
    for (int y = 0; y < H; y++) {
        for (int x = 0; x < W; x++) {
            float u = float(x) / W, v = float(y) / H;
            float turbulence = fbm(u * 3, v * 3, 5, 3, 3, 51);
            // Veins where a periodic ramp across the stone, bent by the turbulence, crosses 0.
            float main = sine((u + v * 2 + turbulence * 1.6f) * 2 * PI);
            float second = sine((u * 3 - v + fbm(u * 6, v * 6, 4, 6, 6, 54) * 1.2f) * 2 * PI);
            float bold = exponential(-main * main * 90);
            float fine = exponential(-second * second * 300);
            Colour c = mix(stone, slate, smooth(0.3f, 0.8f, fbm(u * 8, v * 8, 4, 8, 8, 52)));
            c = mix(c, faint, fine * 0.7f);
            c = mix(c, vein, bold * 0.9f);
            c = scale(c, 0.9f + 0.2f * hashUnit(x, y, 53));
            p.set(x, y, c);
        }
    }
    return p;
}

// A glass marble (its picture is a room seen in it): a swirl of blue and white in deep teal.
Picture paintRoom() {
    const int W = 256, H = 256;
    Picture p(W, H, false);
    Colour deep = hex(0x062a48), glass = hex(0x1a78b0), cyan = hex(0x50d0e8);
    Colour white = hex(0xf4fbff);
    for (int y = 0; y < H; y++) {
        for (int x = 0; x < W; x++) {
            float u = float(x) / W, v = float(y) / H;
            float turbulence = fbm(u * 3, v * 3, 4, 3, 3, 61);
            // Ribbons winding twice round the sphere, rising with the turn.
            float phase = (u * 2 + v * 1.5f + turbulence * 0.9f) * 2 * PI;
            float ribbon = power(std::fabs(sine(phase)), 6.0f);
            float inner = power(std::fabs(sine(phase * 0.5f + 1.3f)), 14.0f);
            Colour c = mix(deep, glass, smooth(0.2f, 0.9f, turbulence));
            c = mix(c, cyan, ribbon * 0.8f);
            c = mix(c, white, inner * 0.9f);
            // A window reflected as a soft bright patch.
            float dx = u - 0.3f, dy = v - 0.68f;
            float glint = exponential(-(dx * dx * 400 + dy * dy * 250));
            c = mix(c, white, glint * 0.85f);
            p.set(x, y, c);
        }
    }
    return p;
}

// Cumulus: white puffs shaded grey underneath, with a little blue between them.
Picture paintClouds() {
    const int W = 256, H = 256;
    Picture p(W, H, false);
    Colour blue = hex(0x7ab4ea), shade = hex(0xb4bccc), white = hex(0xffffff);
    for (int y = 0; y < H; y++) {
        for (int x = 0; x < W; x++) {
            float u = float(x) / W, v = float(y) / H;
            float density = fbm(u * 4, v * 4, 6, 4, 4, 71);
            float puff = smooth(0.36f, 0.56f, density);
            // Lit from above: the density a little lower down decides the shading.
            float below = fbm(u * 4, (v - 0.02f) * 4, 6, 4, 4, 71);
            float light = clamp01(0.75f + (density - below) * 12);
            Colour cloud = mix(shade, white, light);
            p.set(x, y, mix(blue, cloud, puff));
        }
    }
    return p;
}

// The sky dome: hills on the horizon, a hazy blue deepening to the zenith, and clouds painted on
// a flat layer overhead so they shrink towards the horizon and meet themselves where s wraps.
Picture paintSky() {
    const int W = 2048, H = 1024;
    Picture p(W, H, false);
    Colour zenith = hex(0x2a62c0), midSky = hex(0x5a94dc), haze = hex(0xc4dcf0);
    Colour farHill = hex(0x7894b0), nearHill = hex(0x3e6a34), land = hex(0x3c6a2a);
    for (int y = 0; y < H; y++) {
        float v = (float(y) + 0.5f) / H;
        float elevation = (v - 0.5f) * PI; // radians above the horizon
        for (int x = 0; x < W; x++) {
            float u = (float(x) + 0.5f) / W;
            float angle = u * 2 * PI;
            float degrees = elevation * 180 / PI;
            // Two ranges of hills; their height repeats with s.
            float farRidge = 1.0f + 5.0f * power(fbm(u * 7, 0.5f, 5, 7, 0, 81), 1.5f);
            float nearRidge = 0.3f + 2.4f * fbm(u * 16, 3.5f, 5, 16, 0, 82);
            Colour c;
            if (degrees < nearRidge) {
                float depth = smooth(nearRidge, -8.0f, degrees);
                float trees = fbm(u * 300, degrees * 0.6f, 3, 300, 0, 83);
                c = mix(nearHill, land, depth);
                c = scale(c, 0.85f + 0.3f * trees);
                c = mix(c, haze, 0.25f * (1 - depth));
            } else if (degrees < farRidge) {
                float trees = fbm(u * 200, degrees * 0.4f, 3, 200, 0, 84);
                c = mix(farHill, haze, 0.2f + 0.15f * trees);
            } else {
                float height = clamp01(elevation / (PI / 2));
                c = height < 0.35f ? mix(haze, midSky, smooth(0.0f, 0.35f, height))
                                   : mix(midSky, zenith, smooth(0.35f, 1.0f, height));
                // Cloud layer: a ray at this elevation meets it this far out.
                float distance = 1.0f / tangent(std::max(elevation, 0.02f));
                float cx = distance * cosine(angle), cz = distance * sine(angle);
                float density = fbm(cx * 1.6f + 40, cz * 1.6f + 40, 6, 0, 0, 85);
                float detail = fbm(cx * 6 + 7, cz * 6 + 7, 3, 0, 0, 86);
                float cover = smooth(0.47f, 0.62f, density * 0.85f + detail * 0.15f);
                // Far clouds melt into the haze; overhead they thin out.
                cover *= smooth(1.5f, 8.0f, degrees) * (1 - smooth(60.0f, 85.0f, degrees));
                float shadeAmount = smooth(0.55f, 0.75f, density) * 0.35f;
                Colour cloud = mix(hex(0xffffff), hex(0xa8b4c8), shadeAmount);
                c = mix(c, cloud, cover);
            }
            p.set(x, y, c);
        }
    }
    return p;
}

// A broad-leaved tree on a fully transparent ground, its trunk standing on the bottom edge.
Picture paintTree() {
    const int W = 256, H = 256;
    Picture p(W, H, true);
    Colour leafDark = hex(0x1a3c12), leaf = hex(0x2e6a1e), leafLight = hex(0x6aa83a);
    Colour bark = hex(0x4a3220), barkLight = hex(0x7a5a3a);
    // The crown: overlapping round clumps.
    struct Clump {
        float x, y, r;
    };
    std::vector<Clump> clumps = {{128, 168, 62}, {84, 150, 40},  {172, 150, 42}, {104, 198, 42},
                                 {156, 200, 40}, {128, 218, 34}, {66, 124, 28},  {190, 126, 30},
                                 {128, 128, 44}, {100, 118, 30}, {158, 116, 30}};
    for (int y = 0; y < H; y++) {
        for (int x = 0; x < W; x++) {
            float fx = float(x) + 0.5f, fy = float(y) + 0.5f;
            // Crown coverage: distance inside the nearest clump, with a ragged leafy edge.
            float inside = -1e9f;
            for (const Clump &k : clumps) {
                float d = std::sqrt((fx - k.x) * (fx - k.x) + (fy - k.y) * (fy - k.y));
                inside = std::max(inside, k.r - d);
            }
            float ragged = (fbm(fx / 9, fy / 9, 4, 0, 0, 91) - 0.5f) * 22;
            float crown = smooth(-1.0f, 1.0f, inside + ragged);
            // Trunk and two limbs, tapering upwards.
            float halfWidth = 11 - fy * 0.03f;
            float trunkX = 128 + sine(fy * 0.05f) * 3;
            float trunk =
                fy < 150 ? smooth(halfWidth + 1, halfWidth - 1, std::fabs(fx - trunkX)) : 0.0f;
            // Roots flare where the trunk meets the ground.
            if (fy < 14)
                trunk = std::max(trunk, smooth(halfWidth + 14 - fy + 1, halfWidth + 14 - fy - 1,
                                               std::fabs(fx - trunkX)));
            for (int side = -1; side <= 1; side += 2) {
                // A limb leaving the trunk at 95 and rising outwards.
                float t = (fy - 95) / 50;
                if (t >= 0 && t <= 1) {
                    float lx = trunkX + side * t * 38;
                    float w = 5.5f - 3 * t;
                    trunk = std::max(trunk, smooth(w + 1, w - 1, std::fabs(fx - lx)));
                }
            }
            Colour c;
            float alpha;
            float leafNoise = fbm(fx / 6, fy / 6, 4, 0, 0, 92);
            float clumpLight = clamp01((inside + 10) / 60);
            // Light from the upper left: brighter there, darker low and right.
            float sun = clamp01(0.5f + (fy - 150) / 180 - (fx - 128) / 260);
            Colour leaves = mix(leafDark, leaf, clamp01(leafNoise * 1.4f - 0.1f));
            leaves = mix(leaves, leafLight, smooth(0.55f, 0.85f, leafNoise * 0.6f + sun * 0.6f));
            leaves = scale(leaves, 0.7f + 0.3f * clumpLight + 0.15f * hashUnit(x, y, 93));
            float barkNoise = fbm(fx / 3, fy / 14, 3, 0, 0, 94);
            Colour wood = mix(bark, barkLight, barkNoise);
            wood = scale(wood, 0.8f + 0.4f * smooth(trunkX + 8, trunkX - 8, fx));
            // Leaves in front of the limbs, the trunk below the crown.
            float leafCover = fy < 95 ? crown * smooth(70, 100, fy) : crown;
            if (trunk > 0 && leafCover < 0.999f) {
                c = mix(wood, leaves, leafCover);
                alpha = std::max(trunk, leafCover);
            } else {
                c = leaves;
                alpha = crown;
            }
            // Leaf gaps near the edge of the crown let the sky through.
            float gaps = fbm(fx / 4, fy / 4, 2, 0, 0, 95);
            if (trunk < 0.5f && inside + ragged < 14 && gaps > 0.68f) alpha *= 0.0f;
            // Transparent texels carry the foliage colour so filtering leaves no dark halo.
            if (alpha <= 0.0f) c = leafDark;
            p.set(x, y, c, alpha);
        }
    }
    // The border texels are transparent, whatever the noise did, except where the trunk stands.
    for (int y = 0; y < H; y++) {
        for (int x = 0; x < W; x++) {
            bool border = x == 0 || x == W - 1 || y == H - 1;
            if (border) p.at(x, y)[3] = 0;
        }
    }
    return p;
}

// Meadow grass: a mottled green ground covered in short blades; it tiles without a seam.
Picture paintGrass() {
    const int S = 256;
    Picture p(S, S, false);
    Colour soil = hex(0x2e4a18), base = hex(0x46782a), fresh = hex(0x6aa23a);
    Colour dry = hex(0x9aa04a);
    for (int y = 0; y < S; y++) {
        for (int x = 0; x < S; x++) {
            float u = float(x) / S, v = float(y) / S;
            float patches = fbm(u * 4, v * 4, 5, 4, 4, 101);
            float fine = fbm(u * 32, v * 32, 2, 32, 32, 102);
            Colour c = mix(soil, base, clamp01(patches * 1.2f + fine * 0.3f - 0.1f));
            c = mix(c, dry, smooth(0.6f, 0.8f, patches) * 0.35f);
            p.set(x, y, c);
        }
    }
    // Blades: short tapering strokes, wrapped round the edges so the tile repeats.
    const int blades = 5200;
    for (int i = 0; i < blades; i++) {
        float x0 = hashUnit(i, 0, 111) * S, y0 = hashUnit(i, 1, 111) * S;
        float length = 5 + hashUnit(i, 2, 111) * 9;
        float angle = (hashUnit(i, 3, 111) - 0.5f) * 1.4f + PI / 2;
        float shade = hashUnit(i, 4, 111);
        Colour colour = shade < 0.15f ? dry : mix(base, fresh, shade);
        colour = scale(colour, 0.8f + 0.35f * hashUnit(i, 5, 111));
        float dx = cosine(angle), dy = sine(angle);
        int steps = int(length * 2);
        for (int s = 0; s <= steps; s++) {
            float t = float(s) / steps;
            int px = wrap(int(std::floor(x0 + dx * length * t)), S);
            int py = wrap(int(std::floor(y0 + dy * length * t)), S);
            // The tip is lighter and thinner than the root.
            Colour tip = mix(colour, fresh, t * 0.4f);
            float cover = 0.9f - 0.4f * t;
            p.set(px, py, mix(p.get(px, py), tip, cover));
        }
    }
    return p;
}

bool makeFolder(const std::string &path) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (!error) return true;
    fprintf(stderr, "texgen: cannot make %s: %s\n", path.c_str(), error.message().c_str());
    return false;
}

// A side x side copy of a picture, nearest pixel: small seeds for the loaders' fuzzers.
Picture thumbnail(Picture &picture, int side) {
    Picture small(side, side, picture.alpha);
    for (int y = 0; y < side; y++)
        for (int x = 0; x < side; x++) {
            float *from = picture.at(x * picture.width / side, y * picture.height / side);
            small.set(x, y, {from[0], from[1], from[2]}, from[3]);
        }
    return small;
}

// ---- The desktop icon --------------------------------------------------------------------

// The icon: an orange resting on the meadow under the sky, on a rounded square. Edges are
// smoothed over a pixel whatever the side, so every size is drawn from the same shapes.
Picture paintIcon(int side) {
    Picture p(side, side, true);
    Colour skyHigh = hex(0x3f7fd0), skyLow = hex(0xa8d0f0);
    Colour grassDark = hex(0x2e5a1a), grassLight = hex(0x6aa23a);
    Colour peel = hex(0xf28a10), shade = hex(0x9a4a04), shine = hex(0xffe0a0);
    Colour leaf = hex(0x3c7a1c);
    const float pixel = 1.0f / side, corner = 0.2f, horizon = 0.38f;
    const float cx = 0.5f, cy = 0.42f, radius = 0.27f;
    for (int y = 0; y < side; y++) {
        for (int x = 0; x < side; x++) {
            float u = (x + 0.5f) * pixel, v = (y + 0.5f) * pixel; // v = 0 at the bottom
            // Distance outside the rounded square, for its soft edge.
            float qx = std::max(std::abs(u - 0.5f) - (0.5f - corner), 0.0f);
            float qy = std::max(std::abs(v - 0.5f) - (0.5f - corner), 0.0f);
            float outside = std::sqrt(qx * qx + qy * qy) - corner + pixel;
            float alpha = smooth(pixel, -pixel, outside);

            Colour c = mix(skyLow, skyHigh, smooth(horizon, 1.0f, v));
            float grass = fbm(u * 8, v * 8, 3, 0, 0, 121);
            Colour ground = mix(grassDark, grassLight, grass);
            c = mix(c, ground, smooth(horizon + pixel, horizon - pixel, v));

            // The orange's shadow on the grass, then the orange, lit from the upper left.
            float sx = (u - cx) / (radius * 1.1f),
                  sy = (v - (cy - radius * 0.9f)) / (radius * 0.3f);
            c = scale(c, 1.0f - 0.45f * smooth(1.0f, 0.4f, std::sqrt(sx * sx + sy * sy)));
            float dx = (u - cx) / radius, dy = (v - cy) / radius;
            float d = std::sqrt(dx * dx + dy * dy);
            if (d < 1.0f + pixel / radius) {
                float nz = std::sqrt(std::max(0.0f, 1 - d * d));
                float light = clamp01(-0.45f * dx + 0.55f * dy + 0.7f * nz);
                Colour fruit = mix(shade, peel, light);
                float glint = power(clamp01(-0.35f * dx + 0.45f * dy + 0.82f * nz), 24.0f);
                fruit = mix(fruit, shine, glint * 0.8f);
                c = mix(c, fruit, smooth(1.0f + pixel / radius, 1.0f - pixel / radius, d));
            }
            // A leaf at the stem, tilted to the right.
            float lx = u - (cx + 0.07f), ly = v - (cy + radius + 0.02f);
            float along = (lx * 0.8f + ly * 0.6f) / 0.11f,
                  across = (-lx * 0.6f + ly * 0.8f) / 0.04f;
            float inLeaf = along * along + across * across;
            c = mix(c, leaf, smooth(1.0f + pixel * 20, 1.0f - pixel * 20, inLeaf));
            p.set(x, y, c, alpha);
        }
    }
    return p;
}

uint32_t crc32(const unsigned char *bytes, size_t count, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < count; i++) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; bit++) crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void putBigEndian32(std::vector<unsigned char> &bytes, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back((unsigned char)(value >> shift));
}

void pngChunk(std::vector<unsigned char> &png, const char *type,
              const std::vector<unsigned char> &data) {
    putBigEndian32(png, uint32_t(data.size()));
    size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    putBigEndian32(png, crc32(&png[start], png.size() - start));
}

// An RGBA PNG, top row first. The image data is a zlib stream of stored (uncompressed) deflate
// blocks: an icon is small, and no compression library is needed.
bool writePNG(const std::string &path, Picture &picture) {
    std::vector<unsigned char> rows;
    for (int y = picture.height - 1; y >= 0; y--) {
        rows.push_back(0); // no filter
        for (int x = 0; x < picture.width; x++)
            for (int c = 0; c < 4; c++) rows.push_back(byteOf(picture.at(x, y)[c]));
    }
    std::vector<unsigned char> zlib = {0x78, 0x01};
    for (size_t at = 0; at < rows.size() || at == 0; at += 65535) {
        size_t length = std::min(rows.size() - at, size_t(65535));
        bool last = at + length >= rows.size();
        zlib.push_back(last ? 1 : 0);
        zlib.push_back((unsigned char)(length & 255));
        zlib.push_back((unsigned char)(length >> 8));
        zlib.push_back((unsigned char)(~length & 255));
        zlib.push_back((unsigned char)(~length >> 8 & 255));
        zlib.insert(zlib.end(), rows.begin() + long(at), rows.begin() + long(at + length));
        if (last) break;
    }
    uint32_t a = 1, b = 0; // Adler-32 of the uncompressed rows
    for (unsigned char byte : rows) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    putBigEndian32(zlib, b << 16 | a);

    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<unsigned char> header;
    putBigEndian32(header, uint32_t(picture.width));
    putBigEndian32(header, uint32_t(picture.height));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, no filter, no interlace
    pngChunk(png, "IHDR", header);
    pngChunk(png, "IDAT", zlib);
    pngChunk(png, "IEND", {});
    return writeFile(path, png);
}

// The icon as a Windows icon file takes it: R G B A bytes, top row first.
IconImage iconImage(int side) {
    Picture picture = paintIcon(side);
    IconImage image;
    image.side = side;
    for (int y = side - 1; y >= 0; y--)
        for (int x = 0; x < side; x++)
            for (int c = 0; c < 4; c++) image.rgba.push_back(byteOf(picture.at(x, y)[c]));
    return image;
}

// texgen --ico FILE.ico SIDE...: the sides an .ico can hold are 1 to 256.
int writeIco(int argc, char **argv) {
    std::vector<IconImage> images;
    for (int i = 3; i < argc; i++) {
        int side = atoi(argv[i]);
        if (side < 8 || side > 256) {
            fprintf(stderr, "texgen: a Windows icon's side is 8 to 256 pixels\n");
            return 2;
        }
        images.push_back(iconImage(side));
    }
    return writeFile(argv[2], icoFile(images)) ? 0 : 1;
}

} // namespace

int main(int argc, char **argv) {
    if (argc >= 4 && strcmp(argv[1], "--ico") == 0) return writeIco(argc, argv);
    if (argc == 4 && strcmp(argv[1], "--icon") == 0) {
        int iconSide = atoi(argv[2]);
        if (iconSide < 8 || iconSide > 1024) {
            fprintf(stderr, "texgen: an icon's side is 8 to 1024 pixels\n");
            return 2;
        }
        Picture icon = paintIcon(iconSide);
        return writePNG(argv[3], icon) ? 0 : 1;
    }
    bool thumbnails = argc == 4 && strcmp(argv[1], "--thumbnails") == 0;
    int side = thumbnails ? atoi(argv[2]) : 0;
    if (argc != 2 && !(thumbnails && side > 0)) {
        fprintf(stderr, "usage: texgen OUTPUT_FOLDER\n       texgen --thumbnails SIDE FOLDER\n"
                        "       texgen --icon SIDE FILE.png\n"
                        "       texgen --ico FILE.ico SIDE...\n");
        return 2;
    }
    std::string folder = argv[argc - 1];
    if (!makeFolder(folder)) return 1;
    bool ok = true;
    Picture fur = paintFur(), lava = paintLava(), orange = paintOrange(), apple = paintApple();
    Picture marble = paintMarble(), room = paintRoom(), clouds = paintClouds();
    Picture sky = paintSky(), tree = paintTree(), grass = paintGrass();
    if (side > 0) {
        for (Picture *picture :
             {&fur, &lava, &orange, &apple, &marble, &room, &clouds, &sky, &tree})
            *picture = thumbnail(*picture, side);
    }
    ok = writeTGA(folder + "/fur.tga", fur) && ok;
    ok = writeTGA(folder + "/lava.tga", lava) && ok;
    ok = writeTGA(folder + "/orange.tga", orange) && ok;
    ok = writeTGA(folder + "/apple.tga", apple) && ok;
    ok = writeTGA(folder + "/marble.tga", marble) && ok;
    ok = writeTGA(folder + "/room.tga", room) && ok;
    ok = writeTGA(folder + "/clouds.tga", clouds) && ok;
    ok = writeTGA(folder + "/sky.tga", sky) && ok;
    ok = writeTGA(folder + "/tree.tga", tree) && ok;
    ok = writeRaw(folder + "/grass.raw", grass) && ok;
    return ok ? 0 : 1;
}

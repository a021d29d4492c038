// The pictures of the world around the player: the clouds, the sky dome, the trees and the
// meadow's grass.
#include "maths.h"
#include "noise.h"
#include "painters.h"

#include <algorithm>
#include <cmath>
#include <vector>

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

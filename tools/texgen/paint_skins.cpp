// The skins the game's spheres wear: the bison's two coats, the fruits, the bomb's stone and the
// glass marble. Each repeats across s (x), where the sphere's seam is.
#include "maths.h"
#include "noise.h"
#include "painters.h"

#include <algorithm>
#include <cmath>

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

// The desktop icon, painted from shapes measured in fractions of its side, so that every size
// shows the same picture.
#include "icon.h"
#include "maths.h"
#include "noise.h"

#include <algorithm>
#include <cmath>

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

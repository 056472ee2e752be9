#include "stoneFloor.h"

#include "noise.h"
#include "shapes.h"

#include <cmath>
#include <cstdint>

namespace {

// Proportions, in texture units (the floor is 1 x 1).
const int tilesPerSide = 8;
const float tileSize = 1.0f / tilesPerSide;
const float groutHalfWidth = 0.0055f;
const float bevel = 0.007f;
const float chipping = 0.0035f; // how far tile edges wander from straight

const Color paleStone{0.70f, 0.65f, 0.57f};
const Color darkStone{0.50f, 0.46f, 0.40f};
const Color grout{0.30f, 0.29f, 0.27f};

const std::uint32_t floorSeed = 0x5703Eu;

struct Tile {
    std::uint32_t seed;
    float tint;
    Color cast;  // slight colour of this stone
    bool veined; // some stones carry dark veins
    float tiltU; // a stone lies not quite flat: brightness slope across it
    float tiltV;
};

float unitFromHash(std::uint32_t h) {
    return static_cast<float>(h >> 8) * (1.0f / 16777216.0f);
}

Tile tileAt(int tx, int ty) {
    const std::uint32_t h = latticeHash(tx, ty, floorSeed);
    Tile t;
    t.seed = h;
    t.tint = 0.82f + 0.30f * unitFromHash(latticeHash(tx, ty, floorSeed + 1u));
    const float warm = unitFromHash(latticeHash(tx, ty, floorSeed + 2u)) - 0.5f;
    t.cast = {1.0f + 0.10f * warm, 1.0f + 0.02f * warm, 1.0f - 0.10f * warm};
    t.veined = unitFromHash(latticeHash(tx, ty, floorSeed + 3u)) < 0.4f;
    t.tiltU = 0.10f * (unitFromHash(latticeHash(tx, ty, floorSeed + 4u)) - 0.5f);
    t.tiltV = 0.10f * (unitFromHash(latticeHash(tx, ty, floorSeed + 5u)) - 0.5f);
    return t;
}

// Small round pits scattered over the stone: at most one per cell of a
// fine grid, at a random spot in the cell. Returns 1 off the pits, less on them.
float pits(float u, float v, std::uint32_t seed) {
    const float cells = 40.0f;
    const int cx = static_cast<int>(std::floor(u * cells));
    const int cy = static_cast<int>(std::floor(v * cells));
    float shade = 1.0f;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const std::uint32_t h = latticeHash(cx + dx, cy + dy, seed);
            if (unitFromHash(h) > 0.35f)
                continue;
            const float pu =
                (cx + dx + unitFromHash(latticeHash(cx + dx, cy + dy, seed + 1u))) / cells;
            const float pv =
                (cy + dy + unitFromHash(latticeHash(cx + dx, cy + dy, seed + 2u))) / cells;
            const float radius =
                0.0015f + 0.0025f * unitFromHash(latticeHash(cx + dx, cy + dy, seed + 3u));
            const float d = std::sqrt((u - pu) * (u - pu) + (v - pv) * (v - pv));
            shade = std::fmin(shade, 0.62f + 0.38f * smoothstep(radius * 0.4f, radius, d));
        }
    }
    return shade;
}

// The stone itself: cloudy light and dark patches, fine grain, a few darker
// veins and small pits.
Color stone(float u, float v, const Tile &t) {
    const float cloud = fractalNoise(u * 7.0f, v * 7.0f, 5, t.seed);
    Color c = mix(darkStone, paleStone, smoothstep(0.25f, 0.75f, cloud));
    if (t.veined) {
        const float vein = std::fabs(fractalNoise(u * 4.0f, v * 4.0f, 5, t.seed + 5u) - 0.5f);
        c = c * (0.84f + 0.16f * smoothstep(0.0f, 0.014f, vein));
    }
    const float grain = valueNoise(u * 300.0f, v * 300.0f, t.seed + 9u);
    c = c * (0.94f + 0.12f * grain);
    c = c * pits(u, v, t.seed + 13u);
    return c * t.cast * t.tint;
}

} // namespace

Image makeStoneFloor(int side) {
    Image image(side);
    const float pixel = 1.0f / side;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const float u = (x + 0.5f) * pixel;
            const float v = (y + 0.5f) * pixel;
            // Wobble the point before finding its tile so that the tile edges
            // are not ruler-straight.
            const float wu = u + (fractalNoise(u * 30.0f, v * 30.0f, 3, floorSeed + 20u) - 0.5f) *
                                     2.0f * chipping;
            const float wv = v + (fractalNoise(u * 30.0f, v * 30.0f, 3, floorSeed + 21u) - 0.5f) *
                                     2.0f * chipping;
            const int tx = static_cast<int>(std::floor(wu * tilesPerSide));
            const int ty = static_cast<int>(std::floor(wv * tilesPerSide));
            const float fu = wu - tx * tileSize;
            const float fv = wv - ty * tileSize;
            const float edge =
                std::fmin(std::fmin(fu, tileSize - fu), std::fmin(fv, tileSize - fv)) -
                groutHalfWidth;

            const Tile tile = tileAt(tx, ty);
            Color c = stone(u, v, tile);
            c = c * (1.0f + tile.tiltU * (fu / tileSize - 0.5f) * 2.0f +
                     tile.tiltV * (fv / tileSize - 0.5f) * 2.0f);
            // Bevel: edges facing the light (low u, high v) catch it, the
            // opposite ones fall into shade; all darken toward the grout.
            const float ramp = 1.0f - smoothstep(0.0f, bevel, edge);
            float light = 0.0f;
            if (fu < bevel + groutHalfWidth)
                light += 1.0f;
            if (tileSize - fv < bevel + groutHalfWidth)
                light += 1.0f;
            if (tileSize - fu < bevel + groutHalfWidth)
                light -= 1.0f;
            if (fv < bevel + groutHalfWidth)
                light -= 1.0f;
            c = c * (1.0f + ramp * (0.10f * light - 0.10f));

            Color g =
                grout * (0.80f + 0.40f * fractalNoise(u * 90.0f, v * 90.0f, 3, floorSeed + 30u));
            c = mix(g, c, smoothstep(-pixel, pixel, edge));
            // Faint large-scale dirt over the whole floor.
            c = c * (0.88f + 0.12f * fractalNoise(u * 3.0f, v * 3.0f, 4, floorSeed + 40u));
            image.set(x, y, c);
        }
    }
    return image;
}

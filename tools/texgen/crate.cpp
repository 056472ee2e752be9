#include "crate.h"

#include "Rng.h"
#include "noise.h"
#include "shapes.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// Proportions, in texture units (the face is 1 x 1).
const float frameWidth = 0.12f;
const float braceHalfWidth = 0.06f;
const int plankCount = 4;
const float nailRadius = 0.0095f;
const float bevel = 0.011f; // how far the darkening at a board's edge reaches

const Color lightWood{0.80f, 0.61f, 0.37f};
const Color darkWood{0.47f, 0.30f, 0.15f};
const Color iron{0.36f, 0.35f, 0.34f};

struct Board {
    std::uint32_t seed;
    float tint;   // overall brightness of this board
    float warmth; // shift toward red for this board
    float offset; // shifts the grain so no two boards match
    // One knot, in the board's own units (along, across); radius 0 for none.
    float knotAlong, knotAcross, knotRadius;
};

Board randomBoard(Rng &rng) {
    Board b;
    b.seed = static_cast<std::uint32_t>(rng.next());
    b.tint = rng.range(0.86f, 1.08f);
    b.warmth = rng.range(-0.01f, 0.05f);
    b.offset = rng.range(0.0f, 50.0f);
    b.knotAlong = rng.range(0.15f, 0.85f);
    b.knotAcross = rng.range(0.3f, 0.7f);
    b.knotRadius = rng.unit() < 0.6f ? rng.range(0.008f, 0.016f) : 0.0f;
    return b;
}

// Surface colour of a board at a point given along its length and across its
// width: wavy growth bands running with the board, fine fibres and blotches.
// A knot bends the bands round itself and shows as a dark ringed eye.
Color woodGrain(float along, float across, float width, const Board &board) {
    float knot = 0.0f;
    float knotCore = 0.0f;
    if (board.knotRadius > 0.0f) {
        const float da = (along - board.knotAlong) * 0.45f; // knots are drawn out along the board
        const float dc = across - board.knotAcross * width;
        const float d2 = (da * da + dc * dc) / (board.knotRadius * board.knotRadius);
        knot = 2.2f / (1.0f + 0.25f * d2);
        knotCore = 1.0f - smoothstep(0.6f, 1.3f, d2);
    }
    along += board.offset;
    const float warp = fractalNoise(along * 1.1f, across * 3.0f, 3, board.seed) * 1.6f;
    const float spacing = fractalNoise(along * 0.4f, across * 14.0f, 2, board.seed + 3u) * 2.0f;
    const float growth = fract(across * 40.0f + warp + spacing + along * 0.3f + knot);
    const float band = smoothstep(0.50f, 0.92f, growth) * (1.0f - smoothstep(0.94f, 1.0f, growth));
    const float fibres = valueNoise(along * 7.0f, across * 280.0f, board.seed + 17u);
    const float blotch = fractalNoise(along * 4.0f, across * 6.0f, 4, board.seed + 31u);
    Color c = mix(lightWood, darkWood, 0.55f * band + 0.30f * fibres);
    c = mix(c, darkWood * 0.55f, 0.85f * knotCore);
    c = c * ((0.82f + 0.32f * blotch) * board.tint);
    c.r += board.warmth;
    c.b -= board.warmth * 0.5f;
    return c;
}

// Darkening toward a board's edge: the gap between boards and a worn bevel.
float edgeShade(float distance) {
    return 0.40f + 0.60f * smoothstep(0.0f, bevel, distance);
}

float min4(float a, float b, float c, float d) {
    return std::fmin(std::fmin(a, b), std::fmin(c, d));
}

struct Nail {
    float u, v;
};

std::vector<Nail> nailPositions() {
    const float f = frameWidth * 0.5f;
    std::vector<Nail> nails = {
        // two at each corner, one into each frame board meeting there
        {f, f},
        {f, 1.0f - f},
        {1.0f - f, f},
        {1.0f - f, 1.0f - f},
        {f, frameWidth + 0.045f},
        {f, 1.0f - frameWidth - 0.045f},
        {1.0f - f, frameWidth + 0.045f},
        {1.0f - f, 1.0f - frameWidth - 0.045f},
    };
    // one through the top and bottom boards into each plank
    const float plankWidth = (1.0f - 2.0f * frameWidth) / plankCount;
    for (int k = 0; k < plankCount; ++k) {
        const float u = frameWidth + (k + 0.5f) * plankWidth;
        nails.push_back({u, f});
        nails.push_back({u, 1.0f - f});
    }
    // the brace is nailed at both ends
    const float e = frameWidth + 0.05f;
    nails.push_back({e, e});
    nails.push_back({1.0f - e, 1.0f - e});
    return nails;
}

// Draws a domed iron nail head, with a dark stain round it, over colour c.
Color applyNails(Color c, float u, float v, const std::vector<Nail> &nails, float jitter) {
    for (const Nail &n : nails) {
        const float du = u - n.u;
        const float dv = v - n.v;
        const float r = std::sqrt(du * du + dv * dv) / nailRadius;
        if (r < 1.0f) {
            const float nz = std::sqrt(1.0f - r * r);
            const float nx = du / nailRadius;
            const float ny = dv / nailRadius;
            // Light from the upper left of the face.
            const float lambert = clamp01(-0.45f * nx + 0.45f * ny + 0.77f * nz);
            const float rim = smoothstep(0.80f, 1.0f, r);
            return iron *
                   ((0.30f + 0.85f * lambert) * (1.0f - 0.5f * rim) * (0.9f + 0.2f * jitter));
        }
        if (r < 2.2f)
            c = c * (0.62f + 0.38f * smoothstep(1.0f, 2.2f, r));
    }
    return c;
}

} // namespace

Image makeCrate(int side) {
    Rng rng(0xC0A7E5EEDull);
    Board frame[4];
    for (Board &b : frame) {
        b = randomBoard(rng);
        b.tint *= 0.66f; // the frame is a darker, older wood
    }
    Board planks[plankCount];
    for (Board &b : planks)
        b = randomBoard(rng);
    Board brace = randomBoard(rng);
    brace.tint *= 0.86f;
    const std::vector<Nail> nails = nailPositions();
    const float plankWidth = (1.0f - 2.0f * frameWidth) / plankCount;
    const float lo = frameWidth;
    const float hi = 1.0f - frameWidth;
    const float invSqrt2 = 0.70710678f;

    Image image(side);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const float u = (x + 0.5f) / side;
            const float v = (y + 0.5f) / side;
            Color c;
            float edge;
            if (v < lo || v > hi) {
                // Bottom and top boards run the full width.
                const Board &b = frame[v < lo ? 0 : 1];
                const float across = v < lo ? v : v - hi;
                c = woodGrain(u, across, frameWidth, b);
                edge = min4(across, frameWidth - across, u, 1.0f - u);
            } else if (u < lo || u > hi) {
                // Left and right boards fit between them.
                const Board &b = frame[u < lo ? 2 : 3];
                const float across = u < lo ? u : u - hi;
                c = woodGrain(v, across, frameWidth, b);
                edge = min4(across, frameWidth - across, v - lo, hi - v);
            } else {
                const float diagonal = (u - v) * invSqrt2;
                const float inner = min4(u - lo, hi - u, v - lo, hi - v);
                if (std::fabs(diagonal) < braceHalfWidth) {
                    const float along = (u + v) * invSqrt2;
                    c = woodGrain(along, diagonal + braceHalfWidth, 2.0f * braceHalfWidth, brace);
                    edge = std::fmin(braceHalfWidth - std::fabs(diagonal), inner);
                } else {
                    int k = static_cast<int>((u - lo) / plankWidth);
                    k = k < 0 ? 0 : (k >= plankCount ? plankCount - 1 : k);
                    const float left = lo + k * plankWidth;
                    c = woodGrain(v, u - left, plankWidth, planks[k]);
                    edge = std::fmin(std::fmin(u - left, left + plankWidth - u), inner);
                    // The brace and the frame stand proud of the planks and
                    // shade them on one side.
                    const float fromBrace = diagonal - braceHalfWidth;
                    if (fromBrace > 0.0f)
                        c = c * (0.55f + 0.45f * smoothstep(0.0f, 0.025f, fromBrace));
                    c = c * (0.60f + 0.40f * smoothstep(0.0f, 0.03f, std::fmin(u - lo, hi - v)));
                }
            }
            c = c * edgeShade(edge);
            // Grime and wear toward the outer edges of the face.
            const float outer = min4(u, 1.0f - u, v, 1.0f - v);
            const float grime = fractalNoise(u * 9.0f, v * 9.0f, 4, 0xD1A7u);
            c = c * (1.0f - 0.35f * (1.0f - smoothstep(0.0f, 0.05f, outer)) * grime);
            c = applyNails(c, u, v, nails, grime);
            image.set(x, y, c);
        }
    }
    return image;
}

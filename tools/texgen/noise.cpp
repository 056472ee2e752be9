#include "noise.h"

#include <cmath>

std::uint32_t latticeHash(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    std::uint32_t h = seed * 0x9E3779B9u;
    h ^= static_cast<std::uint32_t>(x) * 0x85EBCA6Bu;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE35u;
    // Final avalanche so neighbouring points are unrelated.
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

namespace {

float latticeValue(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    return static_cast<float>(latticeHash(x, y, seed) >> 8) * (1.0f / 16777215.0f);
}

float fade(float t) {
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

float mix(float a, float b, float t) {
    return a + (b - a) * t;
}

} // namespace

float valueNoise(float x, float y, std::uint32_t seed) {
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const auto ix = static_cast<std::int32_t>(fx);
    const auto iy = static_cast<std::int32_t>(fy);
    const float u = fade(x - fx);
    const float v = fade(y - fy);
    const float bottom = mix(latticeValue(ix, iy, seed), latticeValue(ix + 1, iy, seed), u);
    const float top = mix(latticeValue(ix, iy + 1, seed), latticeValue(ix + 1, iy + 1, seed), u);
    return mix(bottom, top, v);
}

float fractalNoise(float x, float y, int octaves, std::uint32_t seed) {
    float sum = 0.0f;
    float amplitude = 1.0f;
    float total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * valueNoise(x, y, seed + static_cast<std::uint32_t>(i) * 101u);
        total += amplitude;
        x *= 2.0f;
        y *= 2.0f;
        amplitude *= 0.5f;
    }
    return sum / total;
}

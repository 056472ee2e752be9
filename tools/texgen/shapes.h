// Small shaping helpers shared by the texture designs.
#pragma once

#include <cmath>

inline float clamp01(float x) {
    return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x);
}

// 0 below e0, 1 above e1, a smooth S-curve between.
inline float smoothstep(float e0, float e1, float x) {
    const float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}

inline float fract(float x) {
    return x - std::floor(x);
}

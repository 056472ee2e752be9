// A small fixed pseudo-random generator (SplitMix64). Its sequence is part of
// the textures' definition: the same seed gives the same numbers on every
// platform and library, which the standard distributions do not promise.
#pragma once

#include <cstdint>

class Rng {
  public:
    explicit Rng(std::uint64_t seed) : state(seed) {}

    std::uint64_t next() {
        state += 0x9E3779B97F4A7C15ull;
        std::uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, 1), from the top 24 bits so that it is exact in a float.
    float unit() { return static_cast<float>(next() >> 40) * (1.0f / 16777216.0f); }

    // Uniform in [lo, hi).
    float range(float lo, float hi) { return lo + (hi - lo) * unit(); }

  private:
    std::uint64_t state;
};

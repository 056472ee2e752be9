// Smooth value noise on an integer lattice, and sums of it at several scales.
// Only additions, multiplications and floor are used, so results are the
// same wherever IEEE single precision is.
#pragma once

#include <cstdint>

// Integer hash of a lattice point, mixed with a seed.
std::uint32_t latticeHash(std::int32_t x, std::int32_t y, std::uint32_t seed);

// Value noise in [0, 1], smooth (quintic fade) between lattice points.
float valueNoise(float x, float y, std::uint32_t seed);

// Fractal sum of value noise: octaves at doubling frequency and halving
// amplitude, normalised back to [0, 1].
float fractalNoise(float x, float y, int octaves, std::uint32_t seed);

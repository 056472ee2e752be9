// A square RGB image in the texture file layout: rows one after another,
// row 0 first, 3 bytes (red, green, blue) a pixel, no padding.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Color {
    float r, g, b;
};

inline Color operator*(Color c, float k) {
    return {c.r * k, c.g * k, c.b * k};
}
inline Color operator*(Color a, Color b) {
    return {a.r * b.r, a.g * b.g, a.b * b.b};
}
inline Color operator+(Color a, Color b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Color mix(Color a, Color b, float t) {
    return a * (1.0f - t) + b * t;
}

class Image {
  public:
    explicit Image(int side);

    int side() const { return side_; }

    // Stores a colour with channels clamped to [0, 1] and rounded to 8 bits.
    void set(int x, int y, Color c);

    // Writes the bytes to path, through a temporary file beside it so that an
    // existing file is only replaced by a complete one. Returns false, with a
    // reason in error, when that fails.
    bool writeRaw(const std::string &path, std::string &error) const;

  private:
    int side_;
    std::vector<std::uint8_t> bytes_;
};

// An 8-bit RGB picture, rows from top to bottom, and its PNG file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // width * height * 3

    RgbImage(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h * 3) {}
    std::uint8_t *at(int x, int y) {
        return &pixels[(static_cast<std::size_t>(y) * width + x) * 3];
    }
    // True when every pixel has the same colour (a picture with nothing in it).
    bool isUniform() const;
};

// Writes the picture as a PNG file; false if the file cannot be written.
bool writePng(const std::string &path, const RgbImage &image);

// A value from 0 to 1 as an 8-bit channel, clamped.
std::uint8_t toByte(float value);

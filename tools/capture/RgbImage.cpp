#include "RgbImage.h"

#include <algorithm>
#include <cmath>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

bool RgbImage::isUniform() const {
    for (std::size_t i = 3; i < pixels.size(); ++i)
        if (pixels[i] != pixels[i % 3])
            return false;
    return true;
}

bool writePng(const std::string &path, const RgbImage &image) {
    return stbi_write_png(path.c_str(), image.width, image.height, 3, image.pixels.data(),
                          image.width * 3) != 0;
}

std::uint8_t toByte(float value) {
    if (!(value > 0.0f)) // also NaN
        return 0;
    return static_cast<std::uint8_t>(std::lround(std::min(value, 1.0f) * 255.0f));
}

#include "support/savePicture.h"

#include <cstdlib>
#include <filesystem>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

std::string savePicture(const std::string &name, int width, int height, int channels,
                        const unsigned char *pixels) {
    // The tests that run again on another driver keep its pictures apart.
    std::string folder = KORVANE_TEST_OUTPUT_DIR;
    if (const char *driver = std::getenv("KORVANE_TEST_DRIVER"))
        folder += std::string("/") + driver;
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/" + name + ".png";
    // PNG stores the top row first.
    stbi_flip_vertically_on_write(1);
    const bool written =
        stbi_write_png(path.c_str(), width, height, channels, pixels, width * channels) != 0;
    return written ? path : std::string();
}

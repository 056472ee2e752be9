#include "support/savePicture.h"

#include <filesystem>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

std::string savePicture(const std::string &name, int width, int height, int channels,
                        const unsigned char *pixels) {
    std::filesystem::create_directories(KORVANE_TEST_OUTPUT_DIR);
    const std::string path = std::string(KORVANE_TEST_OUTPUT_DIR) + "/" + name + ".png";
    // PNG stores the top row first.
    stbi_flip_vertically_on_write(1);
    const bool written =
        stbi_write_png(path.c_str(), width, height, channels, pixels, width * channels) != 0;
    return written ? path : std::string();
}

#include "drawables/loadTexture.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>

#include "drawables/IModel.h"

namespace {

// The side of the square image that a file of the given length holds:
// the integer part of sqrt(length / 3), worked out in single precision.
GLsizei sideFromLength(std::uint32_t length) {
    const float third = static_cast<float>(static_cast<double>(length) / 3.0);
    return static_cast<GLsizei>(std::sqrt(third));
}

// Largest square side whose RGB image fits in the given number of bytes.
// The single-precision side can be one too large for big files that are not
// exactly 3 * n * n bytes, and a short read leaves fewer bytes than the
// length promised; either way only bytes actually read are uploaded.
GLsizei sideThatFits(std::size_t bytesRead) {
    GLsizei side = sideFromLength(static_cast<std::uint32_t>(bytesRead));
    while (side > 0 &&
           3u * static_cast<std::size_t>(side) * static_cast<std::size_t>(side) > bytesRead)
        --side;
    return side;
}

struct FileCloser {
    void operator()(std::FILE *file) const { std::fclose(file); }
};

} // namespace

bool loadTexture(const std::string &path, IModel &model) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return false;

    std::uint32_t length = 0;
    if (std::fseek(file.get(), 0, SEEK_END) == 0) {
        // Compared as unsigned 64-bit: where long is 32 bits wide (Windows),
        // the 32-bit maximum converted to long would be -1, and every file
        // would seem to hold 4 GiB.
        const long end = std::ftell(file.get());
        constexpr std::uint32_t longest = std::numeric_limits<std::uint32_t>::max();
        if (end > 0)
            length = static_cast<unsigned long long>(end) > longest
                         ? longest
                         : static_cast<std::uint32_t>(end);
    }
    std::fseek(file.get(), 0, SEEK_SET);

    std::unique_ptr<unsigned char[]> pixels(new unsigned char[length]);
    const std::size_t bytesRead = std::fread(pixels.get(), 1, length, file.get());
    file.reset();

    const GLsizei side = sideThatFits(bytesRead);

    if (model.texture != 0)
        glDeleteTextures(1, &model.texture);
    glGenTextures(1, &model.texture);
    glBindTexture(GL_TEXTURE_2D, model.texture);

    // Mipmap generation is switched on before the image arrives, so the
    // upload builds the whole chain.
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, static_cast<GLfloat>(GL_MODULATE));

    // Rows are packed without padding. With a side that is a multiple of 4
    // every row is a whole number of 4-byte words, which the default unpack
    // alignment expects; any other side is read byte-aligned, so the upload
    // never reaches past the last row.
    const bool padded = side % 4 != 0;
    GLint savedAlignment = 4;
    if (padded) {
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &savedAlignment);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    }
    glTexImage2D(GL_TEXTURE_2D, 0, 3, side, side, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.get());
    if (padded)
        glPixelStorei(GL_UNPACK_ALIGNMENT, savedAlignment);

    return true;
}

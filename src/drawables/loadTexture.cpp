#include "drawables/loadTexture.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>

#include "drawables/IModel.h"
#include "platform/openRegularFile.h"

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

} // namespace

bool loadTexture(const std::string &path, IModel &model) {
    std::uint64_t fileSize = 0;
    DataFile file = openRegularFile(path, "rb", fileSize);
    if (!file)
        return false;

    // A file whose square image has a side beyond what the driver can hold
    // is refused before anything is allocated, as if it were missing: its
    // upload could only fail. The test is on the exact side: the largest
    // square in the file reaches maxSide + 1 from 3 * (maxSide + 1)^2 bytes.
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    const std::uint64_t beyond = static_cast<std::uint64_t>(maxSide) + 1;
    const std::uint64_t tooLong = 3u * beyond * beyond;
    if (maxSide <= 0 || fileSize >= tooLong)
        return false;

    // The size comes from the open file itself, so it is the size of what
    // is read; bytes past the largest square image are never uploaded.
    const std::uint32_t length = fileSize > std::numeric_limits<std::uint32_t>::max()
                                     ? std::numeric_limits<std::uint32_t>::max()
                                     : static_cast<std::uint32_t>(fileSize);

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

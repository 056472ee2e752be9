#include "readback.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace {

// OpenGL rows run from the bottom up, picture rows from the top down.
template <typename Pixel> RgbImage flipped(int width, int height, Pixel pixel) {
    RgbImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixel(x, height - 1 - y, image.at(x, y));
    return image;
}

struct TextureData {
    int width = 0;
    int height = 0;
    std::vector<float> values;
};

// Reads level 0 of a 2-D texture as floats, `channels` per texel. The
// texture binding of the active unit is put back afterwards.
TextureData readTexture(GLuint texture, GLenum format, int channels) {
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glBindTexture(GL_TEXTURE_2D, texture);
    TextureData data;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &data.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &data.height);
    data.values.resize(static_cast<std::size_t>(data.width) * data.height * channels);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_FLOAT, data.values.data());
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    return data;
}

// A G-buffer texture through `map`, which turns one RGB value into 0..1
// channels. Texels whose fourth component is not 0 were only cleared, never
// drawn: they keep the stored clear colour as it is.
RgbImage mappedColourTexture(GLuint texture, const std::function<float(float)> &map) {
    TextureData data = readTexture(texture, GL_RGBA, 4);
    return flipped(data.width, data.height, [&](int x, int y, std::uint8_t *out) {
        const float *texel = &data.values[(static_cast<std::size_t>(y) * data.width + x) * 4];
        bool drawn = texel[3] == 0.0f;
        for (int c = 0; c < 3; ++c)
            out[c] = toByte(drawn ? map(texel[c]) : texel[c]);
    });
}

} // namespace

RgbImage readBackBuffer(int width, int height) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return flipped(width, height, [&](int x, int y, std::uint8_t *out) {
        const std::uint8_t *in = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
        std::copy(in, in + 3, out);
    });
}

RgbImage readDiffuseTexture(GLuint texture) {
    TextureData data = readTexture(texture, GL_RGB, 3);
    return flipped(data.width, data.height, [&](int x, int y, std::uint8_t *out) {
        const float *texel = &data.values[(static_cast<std::size_t>(y) * data.width + x) * 3];
        for (int c = 0; c < 3; ++c)
            out[c] = toByte(texel[c]);
    });
}

RgbImage readPositionTexture(GLuint texture) {
    return mappedColourTexture(texture, [](float v) { return (v + 6.0f) / 12.0f; });
}

RgbImage readNormalsTexture(GLuint texture) {
    return mappedColourTexture(texture, [](float v) { return v * 0.5f + 0.5f; });
}

RgbImage readDepthTexture(GLuint texture) {
    TextureData data = readTexture(texture, GL_DEPTH_COMPONENT, 1);
    float nearest = 1.0f, farthest = 0.0f;
    for (float depth : data.values) {
        if (depth < 1.0f) {
            nearest = std::min(nearest, depth);
            farthest = std::max(farthest, depth);
        }
    }
    // Drawn depths become 0.1 (nearest) to 0.9 (farthest), so that even the
    // farthest stays apart from the white of the empty background.
    float range = farthest > nearest ? farthest - nearest : 1.0f;
    return flipped(data.width, data.height, [&](int x, int y, std::uint8_t *out) {
        float depth = data.values[static_cast<std::size_t>(y) * data.width + x];
        float grey = depth >= 1.0f ? 1.0f : 0.1f + 0.8f * (depth - nearest) / range;
        out[0] = out[1] = out[2] = toByte(grey);
    });
}

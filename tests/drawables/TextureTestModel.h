// A model that is only a texture holder, and readers for the texture bound on
// the active unit, for tests of texture loading.
#pragma once

#include <memory>
#include <vector>

#include "drawables/IModel.h"
#include "drawables/ModelTestKit.h"

namespace testkit {

class TextureTestModel : public IModel {
  public:
    explicit TextureTestModel(const TestShaders &shaders)
        : IModel(shaders.vertex, shaders.fragment, 1.0f) {}
    void draw() override {}
};

// Bytes that differ from their neighbours and do not repeat with any small
// period, so a shifted or padded row shows.
inline std::vector<unsigned char> pattern(std::size_t length) {
    std::vector<unsigned char> bytes(length);
    for (std::size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<unsigned char>((i * 7 + i / 251) & 0xff);
    return bytes;
}

inline GLuint boundTexture() {
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return static_cast<GLuint>(name);
}

// Width of level 0 of the bound texture; loadTexture makes square ones.
inline GLint boundSide() {
    GLint width = -1, height = -2;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    return width == height ? width : -1;
}

// Level 0 of the bound texture as tightly packed RGB bytes.
inline std::vector<unsigned char> boundPixels(std::size_t side) {
    std::vector<unsigned char> pixels(3 * side * side);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return pixels;
}

} // namespace testkit

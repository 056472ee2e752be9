// Helpers for the shading tests: an off-screen target of a known size, pixel
// read-back and the thrown exception pointers of the render objects.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/opengl.h"
#include "support/TempDir.h"
#include "support/savePicture.h"

// Runs work and returns the what() text of the std::exception pointer that it
// throws (deleting the object), or "" if it returns normally.
std::string thrownMessage(const std::function<void()> &work);

// An RGBA8 + depth framebuffer object standing in for the window, so that
// pixel checks do not depend on the size or format of the test window.
class OffscreenTarget {
  public:
    OffscreenTarget(int width, int height);
    ~OffscreenTarget();
    OffscreenTarget(const OffscreenTarget &) = delete;
    OffscreenTarget &operator=(const OffscreenTarget &) = delete;

    // Binds the target and sets the viewport to cover it.
    void bind() const;
    // RGBA bytes of the whole target, bottom row first.
    std::vector<unsigned char> readPixels() const;

    int width;
    int height;
    GLuint fbo = 0;
    GLuint colour = 0;
    GLuint depth = 0;
};

// One pixel of the currently bound read framebuffer as RGBA bytes; x from the
// left, y from the bottom.
struct Rgba {
    int r, g, b, a;
};
Rgba readPixel(int x, int y);

// Reads level 0 of a 2-D texture as RGBA floats, bottom row first.
std::vector<float> readTextureRgba(GLuint texture, int width, int height);

// The shadow map: a 1024 x 1024 framebuffer object whose only attachment is
// a depth texture.
#pragma once

#include "platform/opengl.h"

class ShadowMapFBO {
  public:
    // Creates the depth texture and returns with framebuffer 0 bound. Throws a
    // pointer to a new std::runtime_error if the framebuffer object is not
    // complete.
    ShadowMapFBO();
    ~ShadowMapFBO();

    ShadowMapFBO(const ShadowMapFBO &) = delete;
    ShadowMapFBO &operator=(const ShadowMapFBO &) = delete;

    // Binds the shadow map with its own viewport (the old one is pushed),
    // clears its depth and selects no draw buffer, so drawing writes depth only.
    void start();
    // Binds the window again and pops the viewport saved by start.
    void stop();
    // Draws the depth texture as a quad of quadWidth x quadHeight pixels whose
    // top-left corner lies x pixels from the left and y from the top.
    void showTexture(float screenWidth, float screenHeight, float quadWidth, float quadHeight,
                     float x, float y);

    GLuint fbo;
    GLuint depthRenderbuffer;
    GLuint depthTexture;
    GLint width;
    GLint height;
};

// The G-buffer: one framebuffer object with three colour textures (diffuse
// colour, position, normals) and a depth renderbuffer.
#pragma once

#include "platform/opengl.h"

class FBORenderTexture {
  public:
    // Creates every attachment at width x height and returns with framebuffer
    // 0 bound. Throws a pointer to a new std::runtime_error if the framebuffer
    // object is not complete.
    FBORenderTexture(int width, int height);
    ~FBORenderTexture();

    FBORenderTexture(const FBORenderTexture &) = delete;
    FBORenderTexture &operator=(const FBORenderTexture &) = delete;

    // Binds the G-buffer with its own viewport (the old one is pushed), clears
    // colour and depth with the clear colour in force, then leaves black as
    // the clear colour and texture unit 0 active with 2-D texturing on.
    void start();
    // Binds the window again and pops the viewport saved by start.
    void stop();
    // Draws texture 1 (position), 2 (normals) or any other (diffuse) as a
    // quad of quadWidth x quadHeight pixels whose top-left corner lies x
    // pixels from the left and y pixels from the top of the window.
    void showTexture(int texture, float screenWidth, float screenHeight, float quadWidth,
                     float quadHeight, float x, float y);

    GLuint fbo;
    GLuint diffuseRenderbuffer;
    GLuint diffuseTexture;
    GLuint positionRenderbuffer;
    GLuint positionTexture;
    GLuint normalsRenderbuffer;
    GLuint normalsTexture;
    GLuint depthRenderbuffer;
    GLint width;
    GLint height;
};

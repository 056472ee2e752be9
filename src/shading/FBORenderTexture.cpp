#include "shading/FBORenderTexture.h"

#include <stdexcept>

#include "shading/drawScreenQuad.h"

namespace {

const GLenum colourAttachments[3] = {GL_COLOR_ATTACHMENT0_EXT, GL_COLOR_ATTACHMENT1_EXT,
                                     GL_COLOR_ATTACHMENT2_EXT};

void attachRenderbuffer(GLuint renderbuffer, GLenum internalFormat, GLenum attachment, int width,
                        int height) {
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, renderbuffer);
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, internalFormat, width, height);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, attachment, GL_RENDERBUFFER_EXT, renderbuffer);
}

// Makes a linearly filtered, edge-clamped texture and attaches it in place of
// the renderbuffer at the same attachment point.
GLuint attachTexture(GLenum internalFormat, GLenum type, GLenum attachment, int width, int height) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(internalFormat), width, height, 0, GL_RGBA,
                 type, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, attachment, GL_TEXTURE_2D, texture, 0);
    return texture;
}

} // namespace

FBORenderTexture::FBORenderTexture(int width, int height)
    : fbo(0), diffuseRenderbuffer(0), diffuseTexture(0), positionRenderbuffer(0),
      positionTexture(0), normalsRenderbuffer(0), normalsTexture(0), depthRenderbuffer(0),
      width(width), height(height) {
    glGenFramebuffersEXT(1, &fbo);
    glGenRenderbuffersEXT(1, &diffuseRenderbuffer);
    glGenRenderbuffersEXT(1, &positionRenderbuffer);
    glGenRenderbuffersEXT(1, &normalsRenderbuffer);
    glGenRenderbuffersEXT(1, &depthRenderbuffer);

    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fbo);
    attachRenderbuffer(diffuseRenderbuffer, GL_RGBA, GL_COLOR_ATTACHMENT0_EXT, width, height);
    attachRenderbuffer(positionRenderbuffer, GL_RGBA32F_ARB, GL_COLOR_ATTACHMENT1_EXT, width,
                       height);
    attachRenderbuffer(normalsRenderbuffer, GL_RGBA16F_ARB, GL_COLOR_ATTACHMENT2_EXT, width,
                       height);
    attachRenderbuffer(depthRenderbuffer, GL_DEPTH_COMPONENT24, GL_DEPTH_ATTACHMENT_EXT, width,
                       height);

    diffuseTexture =
        attachTexture(GL_RGBA, GL_UNSIGNED_BYTE, GL_COLOR_ATTACHMENT0_EXT, width, height);
    positionTexture =
        attachTexture(GL_RGBA32F_ARB, GL_FLOAT, GL_COLOR_ATTACHMENT1_EXT, width, height);
    normalsTexture =
        attachTexture(GL_RGBA16F_ARB, GL_FLOAT, GL_COLOR_ATTACHMENT2_EXT, width, height);

    // Select all three colour attachments now, so that the very first clear
    // in start already reaches all of them and the completeness check sees
    // the selection that drawing will use.
    glDrawBuffers(3, colourAttachments);

    if (glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) != GL_FRAMEBUFFER_COMPLETE_EXT)
        throw new std::runtime_error(
            "Can't initialize an FBO render texture. FBO initialization failed.");
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

FBORenderTexture::~FBORenderTexture() {
    glDeleteTextures(1, &normalsTexture);
    glDeleteTextures(1, &positionTexture);
    glDeleteTextures(1, &diffuseTexture);
    glDeleteFramebuffersEXT(1, &fbo);
    glDeleteRenderbuffersEXT(1, &diffuseRenderbuffer);
    glDeleteRenderbuffersEXT(1, &positionRenderbuffer);
    glDeleteRenderbuffersEXT(1, &normalsRenderbuffer);
    glDeleteRenderbuffersEXT(1, &depthRenderbuffer);
}

void FBORenderTexture::start() {
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fbo);
    glPushAttrib(GL_VIEWPORT_BIT);
    glViewport(0, 0, width, height);
    // The clear uses the colour set by whoever called; black is left for the
    // window clear that follows in the next frame.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glActiveTextureARB(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    glDrawBuffers(3, colourAttachments);
}

void FBORenderTexture::stop() {
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glPopAttrib();
}

void FBORenderTexture::showTexture(int texture, float screenWidth, float screenHeight,
                                   float quadWidth, float quadHeight, float x, float y) {
    GLuint shown = diffuseTexture;
    if (texture == 1)
        shown = positionTexture;
    else if (texture == 2)
        shown = normalsTexture;
    drawScreenQuad(shown, screenWidth, screenHeight, quadWidth, quadHeight, x, y);
}

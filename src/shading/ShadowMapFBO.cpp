#include "shading/ShadowMapFBO.h"

#include <stdexcept>

#include "shading/drawScreenQuad.h"

ShadowMapFBO::ShadowMapFBO()
    : fbo(0), depthRenderbuffer(0), depthTexture(0), width(1024), height(1024) {
    glGenFramebuffersEXT(1, &fbo);
    glGenRenderbuffersEXT(1, &depthRenderbuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fbo);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, depthRenderbuffer);
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, width, height);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                 depthRenderbuffer);

    // Sampling returns the stored depth: no comparison mode is set.
    glGenTextures(1, &depthTexture);
    glBindTexture(GL_TEXTURE_2D, depthTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, width, height, 0, GL_DEPTH_COMPONENT,
                 GL_UNSIGNED_INT, nullptr);
    // The core entry point (OpenGL 3.0 or GL_ARB_framebuffer_object), which
    // start-up checks for; it takes the same values as the EXT one.
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, depthTexture, 0);

    // A depth-only framebuffer reads and draws no colour. Without this the
    // initial selection names a colour attachment that does not exist, which
    // makes the object incomplete under the EXT completeness rules.
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);

    if (glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) != GL_FRAMEBUFFER_COMPLETE_EXT)
        throw new std::runtime_error(
            "Can't initialize an FBO render texture. FBO initialization failed.");
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

ShadowMapFBO::~ShadowMapFBO() {
    glDeleteFramebuffersEXT(1, &fbo);
    glDeleteRenderbuffersEXT(1, &depthRenderbuffer);
    glDeleteTextures(1, &depthTexture);
}

void ShadowMapFBO::start() {
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fbo);
    glPushAttrib(GL_VIEWPORT_BIT);
    glViewport(0, 0, width, height);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDrawBuffer(GL_NONE);
}

void ShadowMapFBO::stop() {
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glPopAttrib();
}

void ShadowMapFBO::showTexture(float screenWidth, float screenHeight, float quadWidth,
                               float quadHeight, float x, float y) {
    drawScreenQuad(depthTexture, screenWidth, screenHeight, quadWidth, quadHeight, x, y);
}

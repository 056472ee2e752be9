#include "shadingTestSupport.h"

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <unistd.h>

std::string thrownMessage(const std::function<void()> &work) {
    try {
        work();
    } catch (std::exception *failure) {
        std::string message = failure->what();
        delete failure;
        return message;
    }
    return "";
}

OffscreenTarget::OffscreenTarget(int width, int height) : width(width), height(height) {
    glGenFramebuffersEXT(1, &fbo);
    glGenRenderbuffersEXT(1, &colour);
    glGenRenderbuffersEXT(1, &depth);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fbo);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, colour);
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_RGBA8, width, height);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT,
                                 colour);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, depth);
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, width, height);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                 depth);
    glDrawBuffer(GL_COLOR_ATTACHMENT0_EXT);
    glReadBuffer(GL_COLOR_ATTACHMENT0_EXT);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

OffscreenTarget::~OffscreenTarget() {
    glDeleteFramebuffersEXT(1, &fbo);
    glDeleteRenderbuffersEXT(1, &colour);
    glDeleteRenderbuffersEXT(1, &depth);
}

void OffscreenTarget::bind() const {
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fbo);
    glViewport(0, 0, width, height);
}

std::vector<unsigned char> OffscreenTarget::readPixels() const {
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fbo);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

Rgba readPixel(int x, int y) {
    unsigned char p[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
}

std::vector<float> readTextureRgba(GLuint texture, int width, int height) {
    std::vector<float> rgba(static_cast<size_t>(width) * height * 4);
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, rgba.data());
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    return rgba;
}

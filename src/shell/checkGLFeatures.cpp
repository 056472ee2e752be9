#include "shell/shell.h"

#include <cstdio>
#include <initializer_list>

#include "platform/opengl.h"

namespace {

bool allPresent(std::initializer_list<bool> entryPoints) {
    for (bool present : entryPoints)
        if (!present)
            return false;
    return true;
}

// The GLSL version that the driver compiles, from the "major.minor" at the
// start of its version string, as major * 100 + minor (1.30 gives 130); 0
// when it names none.
int shadingLanguageVersion(const char *text) {
    int major = 0, minor = 0;
    if (!text || std::sscanf(text, "%d.%d", &major, &minor) != 2 || major < 0 || minor < 0 ||
        minor > 99)
        return 0;
    return major * 100 + minor;
}

} // namespace

std::string checkGLFeatures() {
    // Shader objects: the program and shader calls of the shader loader,
    // the models and the composite pass.
    if (!GLEW_ARB_shader_objects ||
        !allPresent({glCreateShaderObjectARB != nullptr, glShaderSourceARB != nullptr,
                     glCompileShaderARB != nullptr, glGetObjectParameterivARB != nullptr,
                     glDeleteObjectARB != nullptr, glCreateProgramObjectARB != nullptr,
                     glAttachObjectARB != nullptr, glLinkProgramARB != nullptr,
                     glUseProgramObjectARB != nullptr, glGetUniformLocationARB != nullptr,
                     glUniform1iARB != nullptr, glUniformMatrix4fvARB != nullptr}))
        return "shader objects (GL_ARB_shader_objects)";

    // Framebuffer objects: the G-buffer and the shadow map.
    if (!GLEW_EXT_framebuffer_object ||
        !allPresent({glGenFramebuffersEXT != nullptr, glBindFramebufferEXT != nullptr,
                     glFramebufferTexture2DEXT != nullptr, glGenRenderbuffersEXT != nullptr,
                     glBindRenderbufferEXT != nullptr, glRenderbufferStorageEXT != nullptr,
                     glFramebufferRenderbufferEXT != nullptr,
                     glCheckFramebufferStatusEXT != nullptr, glDeleteFramebuffersEXT != nullptr,
                     glDeleteRenderbuffersEXT != nullptr}))
        return "framebuffer objects (GL_EXT_framebuffer_object)";

    if (!glFramebufferTexture2D)
        return "glFramebufferTexture2D (OpenGL 3.0 or GL_ARB_framebuffer_object)";
    if (!glDrawBuffers)
        return "glDrawBuffers (OpenGL 2.0)";
    if (!glUniformMatrix4fv)
        return "glUniformMatrix4fv (OpenGL 2.0)";
    if (!glActiveTextureARB)
        return "multitexturing (glActiveTextureARB)";

    // The composite pass reads three G-buffer textures and the shadow map.
    GLint textureUnits = 0;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &textureUnits);
    if (textureUnits < 4)
        return "four texture units (it offers " + std::to_string(textureUnits) + ")";

    if (!GLEW_ARB_texture_float && !GLEW_VERSION_3_0)
        return "floating-point colour textures (GL_ARB_texture_float or OpenGL 3.0)";
    if (!GLEW_ARB_depth_texture && !GLEW_VERSION_1_4)
        return "depth textures (GL_ARB_depth_texture or OpenGL 1.4)";

    // The composite's shaders are GLSL 1.30 (texelFetch, textureSize, flat
    // outputs). Texture gather is optional: the shader uses it where the
    // driver offers it.
    const char *glsl = reinterpret_cast<const char *>(glGetString(GL_SHADING_LANGUAGE_VERSION));
    if (shadingLanguageVersion(glsl) < 130)
        return std::string("GLSL 1.30 (it offers ") + (glsl && *glsl ? glsl : "none") + ")";

    return std::string();
}

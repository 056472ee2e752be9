// A vertex + fragment program built from two GLSL source files.
#pragma once

#include <string>

#include "platform/opengl.h"

class GLSLProgram {
  public:
    // Reads both files, compiles both shaders and links them. Throws a
    // pointer to a new std::runtime_error naming the step that failed: a file
    // that cannot be read, a shader that does not compile, or a failed link.
    // The last two are ShaderBuildErrors, which carry the file names and the
    // driver's log beside the message.
    GLSLProgram(const std::string &vertexFile, const std::string &fragmentFile);

    GLSLProgram(const GLSLProgram &) = delete;
    GLSLProgram &operator=(const GLSLProgram &) = delete;

    // The shader and program objects are not deleted here: they live as long
    // as the OpenGL context.
    GLhandleARB vertexShader;
    GLhandleARB fragmentShader;
    GLhandleARB shaderProgram; // 0 until construction has succeeded
    std::string vertexFileName;
    std::string fragmentFileName;
};

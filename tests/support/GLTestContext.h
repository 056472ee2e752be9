// A hidden window with a current OpenGL context, made through the platform
// layer exactly as the shell makes its own, for tests that draw.
#pragma once

#include <string>

#include "platform/opengl.h"

class GLTestContext {
  public:
    // Creates a window of the given outer size, sets the shell's pixel format,
    // makes a context current and initialises GLEW. ok() tells whether all
    // of that worked; error() names the step that failed.
    explicit GLTestContext(int width = 1024, int height = 768, WNDPROC wndProc = nullptr);
    ~GLTestContext();
    GLTestContext(const GLTestContext &) = delete;
    GLTestContext &operator=(const GLTestContext &) = delete;

    bool ok() const { return error_.empty(); }
    const std::string &error() const { return error_; }

    HWND hWnd = nullptr;
    HDC hDC = nullptr;
    HGLRC hRC = nullptr;

  private:
    std::string error_;
};

// Records the platform, GLEW and scene calls that the entry function makes,
// through GNU ld --wrap, and lets a test fail one of them or change what the
// driver seems to offer. Each test case runs in a process of its own, so the
// recorder starts empty every time.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/opengl.h"

namespace recorder {

// Names of the wrapped calls in the order they were made; wglMakeCurrent
// with no context is recorded as "wglMakeCurrent(none)".
extern std::vector<std::string> calls;

// The wrapped call of this name fails as the platform reports a failure
// (0, null or false; for glewInit an error code). Empty: nothing fails.
extern std::string failingCall;

// Runs right after the real glewInit succeeded, to take features away.
extern std::function<void()> afterGlewInit;

// Stands in for GL_MAX_TEXTURE_UNITS_ARB when not negative.
extern GLint textureUnits;

// Stands in for GL_SHADING_LANGUAGE_VERSION when not null.
extern const char *shadingLanguage;

// Runs in place of the scene's initScene (which is never called). Default:
// sets view mode 0, as the scene does.
extern std::function<void()> initScene;

// The render stand-in destroys the window after this many frames.
extern int framesBeforeClose;

// Taken off the requested size when the window is made, as Windows takes
// its frame off the outer size to leave the client area. Default: nothing,
// as on X11.
extern int frameWidth, frameHeight;

// What the calls were given.
extern WNDCLASSW windowClass;
extern std::u16string className;
extern std::u16string caption;
struct WindowRequest {
    DWORD exStyle, style;
    int x, y, width, height;
    HWND parent;
    HMENU menu;
    HINSTANCE instance;
    LPVOID param;
};
extern WindowRequest windowRequest;
extern std::vector<PIXELFORMATDESCRIPTOR> pixelFormatRequests; // Choose, then Set
extern std::vector<int> showCommands;
extern HWND window; // returned by CreateWindowExW
extern HDC deviceContext;
extern HGLRC context;
extern HDC releasedDC;
extern HWND releasedWindow;
extern HGLRC deletedContext;

int runWinMain();

// Counts the recorded calls of that name.
int count(const std::string &name);

} // namespace recorder

#include "shell/shell.h"

#include "platform/opengl.h"
#include "scene/scene.h"
#include "shell/AppState.h"

namespace {

// RGBA, double-buffered, 16-bit colour and depth; no alpha, accumulation,
// stencil or auxiliary buffers.
// clang-format off
const PIXELFORMATDESCRIPTOR pixelFormatRequest = {
    sizeof(PIXELFORMATDESCRIPTOR),                              // nSize
    1,                                                          // nVersion
    PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER, // dwFlags
    PFD_TYPE_RGBA,                                              // iPixelType
    16,                                                         // cColorBits
    0, 0, 0, 0, 0, 0, 0, 0, // red, green, blue, alpha: bits and shifts
    0, 0, 0, 0, 0,          // accumulation buffer
    16,                     // cDepthBits
    0,                      // cStencilBits
    0,                      // cAuxBuffers
    PFD_MAIN_PLANE,         // iLayerType
    0,                      // bReserved
    0, 0, 0,                // layer, visible and damage masks
};
// clang-format on

// Why a display offers no pixel formats at all.
#ifdef _WIN32
const char noOpenGL[] = "the display driver has no OpenGL support";
#else
const char noOpenGL[] = "the X server has no GLX (OpenGL) support";
#endif

bool fail(const std::string &what) {
    reportStartupFailure("Korvane: " + what);
    return false;
}

} // namespace

bool initGL(HWND hWnd) {
    appState.lightAngle = 0.0f;
    appState.screenHeight = 768;
    appState.screenWidth = 1024;
    appState.hWnd = hWnd;

    appState.hDC = GetDC(hWnd);
    if (!appState.hDC)
        return fail("cannot get the window's device context");

    int pixelFormat = ChoosePixelFormat(appState.hDC, &pixelFormatRequest);
    if (pixelFormat == 0) {
        const bool anyFormat =
            DescribePixelFormat(appState.hDC, 1, sizeof(PIXELFORMATDESCRIPTOR), nullptr) > 0;
        return fail(anyFormat ? "no pixel format offers double-buffered RGBA with a depth buffer"
                              : noOpenGL);
    }
    if (!SetPixelFormat(appState.hDC, pixelFormat, &pixelFormatRequest))
        return fail("cannot set the pixel format of the window");

    appState.hRC = wglCreateContext(appState.hDC);
    if (!appState.hRC)
        return fail("cannot create the OpenGL context");
    if (!wglMakeCurrent(appState.hDC, appState.hRC))
        return fail("cannot make the OpenGL context current");

    ShowWindow(hWnd, SW_SHOW);
    SetForegroundWindow(hWnd);
    SetFocus(hWnd);

    // The start-up size, whatever a WM_SIZE reported meanwhile. Where the
    // system frames the window (Windows), the client area is smaller, and
    // the picture's top rows and right columns lie outside it until the
    // first resize.
    resize(1024, 768);

    setFixedRenderState();

    GLenum glewResult = glewInit();
    if (glewResult != GLEW_OK)
        return fail(std::string("cannot initialise GLEW: ") +
                    reinterpret_cast<const char *>(glewGetErrorString(glewResult)));

    // The scene calls extension entry points right away; make sure they exist.
    std::string missing = checkGLFeatures();
    if (!missing.empty())
        return fail("the OpenGL driver lacks " + missing);

    initScene();
    return true;
}

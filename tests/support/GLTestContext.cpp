#include "support/GLTestContext.h"

namespace {

LRESULT CALLBACK defaultTestWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

// The request the shell makes: RGBA, double-buffered, 16 colour and depth bits.
PIXELFORMATDESCRIPTOR shellPixelFormat() {
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 16;
    pfd.cDepthBits = 16;
    pfd.iLayerType = PFD_MAIN_PLANE;
    return pfd;
}

} // namespace

GLTestContext::GLTestContext(int width, int height, WNDPROC wndProc) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = wndProc ? wndProc : defaultTestWndProc;
    wc.hInstance = instance;
    wc.lpszClassName = wndProc ? TEXT("KorvaneTestClassCustom") : TEXT("KorvaneTestClass");
    RegisterClassW(&wc); // a second registration of the same name may fail; that is fine
    hWnd = CreateWindowExW(0, wc.lpszClassName, TEXT("Korvane test"), WS_OVERLAPPEDWINDOW,
                           CW_USEDEFAULT, 0, width, height, nullptr, nullptr, instance, nullptr);
    if (!hWnd) {
        error_ = "CreateWindowExW failed (is DISPLAY set?)";
        return;
    }
    hDC = GetDC(hWnd);
    if (!hDC) {
        error_ = "GetDC failed";
        return;
    }
    PIXELFORMATDESCRIPTOR pfd = shellPixelFormat();
    int format = ChoosePixelFormat(hDC, &pfd);
    if (format == 0 || !SetPixelFormat(hDC, format, &pfd)) {
        error_ = "no pixel format";
        return;
    }
    hRC = wglCreateContext(hDC);
    if (!hRC || !wglMakeCurrent(hDC, hRC)) {
        error_ = "no OpenGL context";
        return;
    }
    if (glewInit() != GLEW_OK) {
        error_ = "glewInit failed";
        return;
    }
}

GLTestContext::~GLTestContext() {
    if (hRC) {
        wglMakeCurrent(hDC, nullptr);
        wglDeleteContext(hRC);
    }
    if (hDC)
        ReleaseDC(hWnd, hDC);
    if (hWnd)
        DestroyWindow(hWnd);
}

#include "startupRecorder.h"

#include <cstring>

namespace recorder {

std::vector<std::string> calls;
std::string failingCall;
std::function<void()> afterGlewInit;
GLint textureUnits = -1;
const char *shadingLanguage = nullptr;
std::function<void()> initScene = [] {};
int framesBeforeClose = 3;
int frameWidth = 0, frameHeight = 0;
WNDCLASSW windowClass = {};
std::u16string className;
std::u16string caption;
WindowRequest windowRequest = {};
std::vector<PIXELFORMATDESCRIPTOR> pixelFormatRequests;
std::vector<int> showCommands;
HWND window = nullptr;
HDC deviceContext = nullptr;
HGLRC context = nullptr;
HDC releasedDC = nullptr;
HWND releasedWindow = nullptr;
HGLRC deletedContext = nullptr;

int runWinMain() {
    return WinMain(nullptr, nullptr, nullptr, SW_SHOW);
}

int count(const std::string &name) {
    int n = 0;
    for (const std::string &call : calls)
        n += call == name;
    return n;
}

namespace {

bool failing(const char *name) {
    calls.push_back(name);
    return failingCall == name;
}

int frames = 0;

} // namespace

} // namespace recorder

using namespace recorder;

extern "C" {

ATOM __real_RegisterClassW(const WNDCLASSW *);
HWND __real_CreateWindowExW(DWORD, LPCWSTR, LPCWSTR, DWORD, int, int, int, int, HWND, HMENU,
                            HINSTANCE, LPVOID);
HDC __real_GetDC(HWND);
int __real_ChoosePixelFormat(HDC, const PIXELFORMATDESCRIPTOR *);
BOOL __real_SetPixelFormat(HDC, int, const PIXELFORMATDESCRIPTOR *);
HGLRC __real_wglCreateContext(HDC);
BOOL __real_wglMakeCurrent(HDC, HGLRC);
BOOL __real_wglDeleteContext(HGLRC);
int __real_ReleaseDC(HWND, HDC);
BOOL __real_ShowWindow(HWND, int);
BOOL __real_SetForegroundWindow(HWND);
HWND __real_SetFocus(HWND);
BOOL __real_UpdateWindow(HWND);
GLenum __real_glewInit();
void __real_glGetIntegerv(GLenum, GLint *);
const GLubyte *__real_glGetString(GLenum);

ATOM __wrap_RegisterClassW(const WNDCLASSW *wc) {
    windowClass = *wc;
    className = wc->lpszClassName ? wc->lpszClassName : u"";
    return failing("RegisterClassW") ? 0 : __real_RegisterClassW(wc);
}

HWND __wrap_CreateWindowExW(DWORD exStyle, LPCWSTR cls, LPCWSTR name, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                            LPVOID param) {
    windowRequest = {exStyle, style, x, y, width, height, parent, menu, instance, param};
    caption = name ? name : u"";
    if (failing("CreateWindowExW"))
        return nullptr;
    window = __real_CreateWindowExW(exStyle, cls, name, style, x, y, width - frameWidth,
                                    height - frameHeight, parent, menu, instance, param);
    return window;
}

HDC __wrap_GetDC(HWND hWnd) {
    if (failing("GetDC"))
        return nullptr;
    deviceContext = __real_GetDC(hWnd);
    return deviceContext;
}

int __wrap_ChoosePixelFormat(HDC hDC, const PIXELFORMATDESCRIPTOR *pfd) {
    pixelFormatRequests.push_back(*pfd);
    return failing("ChoosePixelFormat") ? 0 : __real_ChoosePixelFormat(hDC, pfd);
}

BOOL __wrap_SetPixelFormat(HDC hDC, int format, const PIXELFORMATDESCRIPTOR *pfd) {
    pixelFormatRequests.push_back(*pfd);
    return failing("SetPixelFormat") ? FALSE : __real_SetPixelFormat(hDC, format, pfd);
}

HGLRC __wrap_wglCreateContext(HDC hDC) {
    if (failing("wglCreateContext"))
        return nullptr;
    context = __real_wglCreateContext(hDC);
    return context;
}

BOOL __wrap_wglMakeCurrent(HDC hDC, HGLRC hRC) {
    if (!hRC) {
        calls.push_back("wglMakeCurrent(none)");
        return __real_wglMakeCurrent(hDC, hRC);
    }
    return failing("wglMakeCurrent") ? FALSE : __real_wglMakeCurrent(hDC, hRC);
}

BOOL __wrap_wglDeleteContext(HGLRC hRC) {
    calls.push_back("wglDeleteContext");
    deletedContext = hRC;
    return __real_wglDeleteContext(hRC);
}

int __wrap_ReleaseDC(HWND hWnd, HDC hDC) {
    calls.push_back("ReleaseDC");
    releasedWindow = hWnd;
    releasedDC = hDC;
    return __real_ReleaseDC(hWnd, hDC);
}

BOOL __wrap_ShowWindow(HWND hWnd, int cmdShow) {
    calls.push_back("ShowWindow");
    showCommands.push_back(cmdShow);
    return __real_ShowWindow(hWnd, cmdShow);
}

BOOL __wrap_SetForegroundWindow(HWND hWnd) {
    calls.push_back("SetForegroundWindow");
    return __real_SetForegroundWindow(hWnd);
}

HWND __wrap_SetFocus(HWND hWnd) {
    calls.push_back("SetFocus");
    return __real_SetFocus(hWnd);
}

BOOL __wrap_UpdateWindow(HWND hWnd) {
    calls.push_back("UpdateWindow");
    return __real_UpdateWindow(hWnd);
}

GLenum __wrap_glewInit() {
    if (failing("glewInit"))
        return GLEW_ERROR_NO_GL_VERSION;
    GLenum result = __real_glewInit();
    if (result == GLEW_OK && afterGlewInit)
        afterGlewInit();
    return result;
}

void __wrap_glGetIntegerv(GLenum name, GLint *value) {
    if (name == GL_MAX_TEXTURE_UNITS_ARB && textureUnits >= 0) {
        *value = textureUnits;
        return;
    }
    __real_glGetIntegerv(name, value);
}

const GLubyte *__wrap_glGetString(GLenum name) {
    if (name == GL_SHADING_LANGUAGE_VERSION && shadingLanguage)
        return reinterpret_cast<const GLubyte *>(shadingLanguage);
    return __real_glGetString(name);
}

// The scene functions: initScene(), update() and render().
void __wrap__Z9initScenev() {
    calls.push_back("initScene");
    recorder::initScene();
}

void __wrap__Z6updatev() {
    calls.push_back("update");
}

void __wrap__Z6renderv() {
    calls.push_back("render");
    // Closing the window ends the loop: DestroyWindow sends WM_DESTROY,
    // whose handler posts the quit message.
    if (++frames == framesBeforeClose)
        DestroyWindow(window);
}

} // extern "C"

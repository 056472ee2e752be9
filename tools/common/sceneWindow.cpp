#include "sceneWindow.h"

#include <cstdio>

#include "shell/AppState.h"
#include "shell/shell.h"

bool openSceneWindow(const char *toolName, LPCWSTR className, LPCWSTR caption,
                     WNDPROC windowProcedure) {
    WNDCLASSW windowClass = {};
    windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    if (!RegisterClassW(&windowClass)) {
        std::fprintf(stderr, "%s: cannot register the window class\n", toolName);
        return false;
    }
    HWND hWnd =
        CreateWindowExW(WS_EX_APPWINDOW, className, caption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                        1024, 768, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!hWnd) {
        std::fprintf(stderr, "%s: cannot create a window (is DISPLAY set to a running X server?)\n",
                     toolName);
        return false;
    }
    bool ready = false;
    std::string failure;
    std::string details;
    if (!explainSetupFailure([&] { ready = initGL(hWnd); }, failure, details)) {
        writeFailureReport(std::string(toolName) + ": " + failure, details);
        return false;
    }
    if (!ready)
        return false; // initGL has said why
    return dispatchWaitingMessages();
}

bool dispatchWaitingMessages() {
    MSG msg = {};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            return false;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

void closeSceneWindow() {
    HWND hWnd = appState.hWnd;
    shutdown();
    DestroyWindow(hWnd);
}

#include "sceneWindow.h"

#include <cstdio>
#include <exception>

#include "shading/ShaderBuildError.h"
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
    // The scene raises its set-up failures as pointers to exceptions.
    try {
        if (!initGL(hWnd))
            return false; // initGL has said why
    } catch (std::exception *error) {
        // A shader that failed to build carries its files and the driver's log.
        std::fprintf(stderr, "%s: %s\n%s", toolName, error->what(),
                     printableDetails(shaderBuildDetailsOf(*error)).c_str());
        delete error;
        return false;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s: %s\n", toolName, error.what());
        return false;
    }
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

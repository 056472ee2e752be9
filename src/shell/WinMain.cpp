#include <string>

#include "platform/windows_api.h"
#include "scene/scene.h"
#include "shell/AppState.h"
#include "shell/shell.h"

namespace {

// Exit status of a start-up that could not complete.
const int startupFailed = 1;

#ifdef _WIN32
const char windowHint[] = "";
#else
const char windowHint[] = " (is DISPLAY set to a running X server?)";
#endif

// initGL, with what the scene raises while it is built turned into a report.
// The scene's parts throw pointers to new exceptions; running out of memory
// throws std::bad_alloc by value. Either way the message is shown as it
// stands, followed by the file names and the driver's log of a shader that
// failed to build, whatever was built is given back, and start-up ends.
bool startUp(HWND hWnd) {
    bool ready = false;
    std::string failure;
    std::string details;
    if (explainSetupFailure([&] { ready = initGL(hWnd); }, failure, details))
        return ready;
    reportStartupFailure(failure, details);
    // The context is current and the scene may be partly built: release
    // both as at a normal end.
    shutdown();
    return false;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    HINSTANCE instance = GetModuleHandleW(nullptr);

    WNDCLASSW windowClass = {};
    windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WndProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(nullptr, IDI_WINLOGO);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = TEXT("DeferredRenderingClass");
    if (!RegisterClassW(&windowClass)) {
        reportStartupFailure("Korvane: cannot register the window class");
        return startupFailed;
    }

    // Created hidden; initGL shows it once the context is current.
    HWND hWnd = CreateWindowExW(WS_EX_APPWINDOW | WS_EX_WINDOWEDGE, TEXT("DeferredRenderingClass"),
                                TEXT("Korvane"), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, 1024, 768,
                                nullptr, nullptr, instance, nullptr);
    if (!hWnd) {
        reportStartupFailure(std::string("Korvane: cannot create the window") + windowHint);
        return startupFailed;
    }

    if (!startUp(hWnd))
        return startupFailed;

    ShowWindow(hWnd, SW_SHOW);
    UpdateWindow(hWnd);

    // Handle every waiting message, one per pass; draw a frame whenever the
    // queue is empty. Never waits: the frame rate is as high as it goes.
    MSG msg = {};
    for (;;) {
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                break;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        } else {
            update();
            render();
        }
    }

    shutdown();
    return static_cast<int>(msg.wParam);
}

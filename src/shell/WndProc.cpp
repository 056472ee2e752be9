#include "shell/shell.h"

#include "shell/AppState.h"

LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    case WM_SIZE:
        // Minimising reports 0 x 0; resize copes with that.
        resize(LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_KEYDOWN:
        switch (LOWORD(wParam)) {
        case VK_F1:
            appState.viewMode = viewModeFinalImage;
            break;
        case VK_F2:
            appState.viewMode = viewModeDebug;
            break;
        default:
            break;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

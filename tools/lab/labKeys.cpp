#include "labKeys.h"

#include <cmath>

#include "scene/scene.h"
#include "shell/AppState.h"
#include "shell/shell.h"

namespace {

bool stopped = false;

// How far Left and Right turn the light.
const float lightStep = 5.0f;

} // namespace

LRESULT CALLBACK labWindowProcedure(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_KEYDOWN) {
        switch (LOWORD(wParam)) {
        case VK_SPACE:
            setAnimationStopped(!stopped);
            break;
        case VK_LEFT:
            turnLight(-lightStep);
            break;
        case VK_RIGHT:
            turnLight(lightStep);
            break;
        default:
            break;
        }
    }
    return WndProc(hWnd, msg, wParam, lParam);
}

void setAnimationStopped(bool stop) {
    // update measures the time since its previous call; starting again, that
    // call is now, so the scene does not jump by the time it stood still.
    if (stopped && !stop)
        appState.lastTick = GetTickCount();
    stopped = stop;
}

bool animationStopped() {
    return stopped;
}

void turnLight(float degrees) {
    float angle = std::fmod(appState.lightAngle + degrees, 360.0f);
    if (angle < 0.0f)
        angle += 360.0f;
    // A tiny negative angle plus 360 rounds to 360; + 0.0f makes -0 plain 0.
    appState.lightAngle = (angle >= 360.0f ? 0.0f : angle) + 0.0f;
}

void advanceScene() {
    if (!stopped)
        update();
}

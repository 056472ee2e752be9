#include "scene/scene.h"

#include <cmath>

#include "drawables/IModel.h"
#include "shell/AppState.h"

namespace {

// Brings a growing angle back into [0, 360) once it reaches a full turn.
float wrapTurn(float degrees) {
    return degrees >= 360.0f ? std::fmod(degrees, 360.0f) : degrees;
}

} // namespace

void update() {
    // Unsigned difference: stays right when the 32-bit tick counter wraps.
    const DWORD elapsed = GetTickCount() - appState.lastTick;
    const float step = static_cast<float>(elapsed) * 0.01f; // 10 degrees per second
    appState.lastTick = GetTickCount();

    IModel *lowerSphere = appState.models[3];
    lowerSphere->rotationX = wrapTurn(lowerSphere->rotationX + step);
    lowerSphere->rotationY = wrapTurn(lowerSphere->rotationY + 2.0f * step);

    // The upper sphere also turns by a fixed amount per frame.
    IModel *upperSphere = appState.models[4];
    upperSphere->rotationX = wrapTurn(upperSphere->rotationX + (step + 0.2f));
    upperSphere->rotationY = wrapTurn(upperSphere->rotationY + (2.0f * step + 0.1f));

    // The light is used only through a rotation, so one subtraction per call
    // is enough to keep its direction smooth.
    appState.lightAngle += step;
    if (appState.lightAngle > 360.0f)
        appState.lightAngle -= 360.0f;
}

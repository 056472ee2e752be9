// The one record of global state shared by the shell, the scene and the frame.
#pragma once

#include <cstdint>

#include "platform/windows_api.h"

class IModel;
class DeferredRendering;

struct AppState {
    IModel *models[5];                    // owning; slot number is the drawing order
    DeferredRendering *deferredRendering; // owning
    std::int32_t screenWidth;             // current drawing size, pixels
    std::int32_t screenHeight;
    HGLRC hRC;
    HDC hDC;
    HWND hWnd;
    std::uint32_t lastTick; // tick count read by the previous update, ms
    std::uint8_t viewMode;  // viewModeFinalImage or viewModeDebug
    float lightAngle;       // degrees about the world Y axis
};

// What a frame shows (AppState::viewMode): F1 selects the final image, F2 the
// debug view of the three G-buffer textures and the shadow map.
constexpr std::uint8_t viewModeFinalImage = 0;
constexpr std::uint8_t viewModeDebug = 1;

// Statically allocated and therefore all zero at process start.
extern AppState appState;

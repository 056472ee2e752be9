// What the lab adds to the program's keys: Space stops and starts the
// animation, Left and Right turn the light. F1, F2 and everything else reach
// the program's own window procedure as they are.
#pragma once

#include "platform/windows_api.h"

// The lab's window procedure: handles Space, Left and Right, then hands
// every message, those three included, to WndProc.
LRESULT CALLBACK labWindowProcedure(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Stops the light and both spheres, or lets them go on from where they
// stopped: the time that passed meanwhile is not counted.
void setAnimationStopped(bool stopped);
bool animationStopped();

// Turns the light by `degrees` (negative: back), keeping its angle in [0, 360).
void turnLight(float degrees);

// The program's update, unless the animation is stopped.
void advanceScene();

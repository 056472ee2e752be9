// The application shell: the window procedure, the OpenGL context and the
// camera projection, start-up checks and orderly shutdown. The entry
// function itself is WinMain, declared by the platform API.
#pragma once

#include <cstdint>
#include <string>

#include "platform/windows_api.h"

// Window procedure of the main window: quit on WM_DESTROY, resize on WM_SIZE,
// view mode on F1/F2; every message then goes on to DefWindowProcW.
LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Makes the window an OpenGL drawing surface, sets the projection and the
// fixed render state, initialises GLEW, checks the driver's features and
// builds the scene. On false the failed step has already been reported.
// Failures raised by the scene pass through.
bool initGL(HWND hWnd);

// Stores the drawing size and sets the viewport and the camera projection.
void resize(std::int32_t width, std::int32_t height);

// Sets the render state that every pass shares for the whole run: no
// fixed-function lighting, 2-D texturing, smooth shading, depth test with
// LEQUAL, the nicest perspective correction and back-face culling.
void setFixedRenderState();

// Gives back the renderer, the models, the context and the device context.
void shutdown();

// Empty when the current context offers every OpenGL feature the program
// calls; otherwise a description of the first one that is missing.
std::string checkGLFeatures();

// Reports a start-up failure: one line on stderr and, on Windows, where a
// GUI program has no console, a message box with the same text.
void reportStartupFailure(const std::string &line);

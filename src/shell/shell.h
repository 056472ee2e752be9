// The application shell: the window procedure, the OpenGL context and the
// camera projection, start-up checks and orderly shutdown. The entry
// function itself is WinMain, declared by the platform API.
#pragma once

#include <cstdint>
#include <functional>
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

// Reports a start-up failure: the message as one line on stderr, then the
// details if there are any, made safe to print (control bytes escaped, at
// most 40 lines, very long lines cut); on Windows, where a GUI program has
// no console, a message box shows the same text.
void reportStartupFailure(const std::string &message, const std::string &details = {});

// The same report on stderr alone, for a tool that goes on running.
void writeFailureReport(const std::string &message, const std::string &details);

// Runs `build`, a step that sets up the scene, and catches what it raises:
// the scene's parts throw pointers to new exceptions (deleted here), and
// running out of memory throws std::bad_alloc by value. True if nothing was
// raised; otherwise `message` is the failure's text and `details` the files
// and driver's log of a shader that failed to build (empty for any other).
bool explainSetupFailure(const std::function<void()> &build, std::string &message,
                         std::string &details);

// Details of a failure (such as a driver's compile log) as lines that are
// safe to write to a terminal: control bytes other than tab, and bytes that
// are not printable UTF-8, become \xNN; CR LF ends a line like LF; lines past
// the 40th are left out and one line says how many; a very long line is cut.
// Each line ends with LF; empty details give an empty string.
std::string printableDetails(const std::string &details);

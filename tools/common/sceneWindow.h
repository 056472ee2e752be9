// The real program's window, OpenGL context and scene, opened by a tool that
// draws frames itself instead of running the program's main loop.
#pragma once

#include "platform/windows_api.h"
#include "shell/shell.h"

// Registers a window class, creates the 1024x768 window, sets up the context
// and the scene through initGL exactly as the program does, and hands the
// messages that this raised to the window procedure: the program's own, or
// one of the tool's that passes every message on to it. On false, one line
// starting with toolName has said why on stderr (initGL reports its own).
bool openSceneWindow(const char *toolName, LPCWSTR className, LPCWSTR caption,
                     WNDPROC windowProcedure = WndProc);

// Hands every waiting message to the window procedure, as the main loop does
// between frames. False once the window has been closed.
bool dispatchWaitingMessages();

// Gives back the scene and the context and destroys the window.
void closeSceneWindow();

// What tests and tools may know of the X11 layer beyond the Win32 API: its
// connection to the X server and the X window behind a window handle, so that
// they can watch the window from outside and drive it as the user or a window
// manager would. Nothing else of the layer's inside is visible to them.
#pragma once

#include "platform/windows_api.h"

#include <X11/Xlib.h>

namespace korvane::x11 {

// The connection to the X server, opened on first use; nullptr when no
// server can be reached (DISPLAY unset or dead). A later call tries again.
Display *display();

// The top-level X window behind a window handle, the one that other clients
// see; 0 for a handle that names no window.
::Window xWindowOf(HWND hWnd);

} // namespace korvane::x11

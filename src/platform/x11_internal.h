// State shared by the X11/GLX implementation of the Win32 subset.
//
// Handles given out to callers (HWND, HDC, HGLRC) are opaque numbers, never
// pointers: each kind has its own table here, so a stale or foreign handle is
// simply not found instead of being dereferenced. Numbers are never reused.
#pragma once

#include "platform/x11_access.h"

#include <X11/Xutil.h>
#include <GL/glx.h>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace korvane::x11 {

struct WindowInfo {
    HWND handle = nullptr;
    HDC dc = nullptr;          // the window's own device context (every window owns one)
    WNDPROC proc = nullptr;    // its class's window procedure
    int width = 0, height = 0; // client size; on X the window has no frame of its own

    ::Window xid = 0;        // 0 once another client has destroyed it
    ::Window surface = 0;    // the child that GL draws into, once a pixel format is set
    Colormap colormap = 0;   // the surface's
    GLXWindow glxWindow = 0; // on the surface
    int pixelFormat = 0;     // 0 until SetPixelFormat

    bool shown = false;      // ShowWindow made it visible
    bool minimized = false;  // the window manager unmapped it
    bool destroying = false; // WM_DESTROY is being sent
};

struct Context {
    GLXContext glx = nullptr;
    int pixelFormat = 0;
};

// An X window and its GLX window whose destruction waits until no context
// is current on them any more.
struct RetiredDrawable {
    ::Window xid = 0;
    GLXWindow glxWindow = 0;
    Colormap colormap = 0;
};

struct State {
    Display *display = nullptr;
    Atom wmProtocols = 0, wmDeleteWindow = 0, netWmName = 0, utf8String = 0;
    Atom netActiveWindow = 0;

    std::map<std::u16string, WNDPROC> classes; // by name

    std::uintptr_t nextHandle = 0x10; // shared by every kind of handle
    std::map<HWND, std::unique_ptr<WindowInfo>> windows;
    std::map<HGLRC, Context> contexts;

    std::vector<GLXFBConfig> pixelFormats; // index + 1 is the format number
    bool pixelFormatsLoaded = false;

    HGLRC currentContext = nullptr;
    GLXDrawable currentDrawable = 0;
    std::vector<RetiredDrawable> retired;

    std::deque<MSG> queue;
    bool quitPosted = false;
    int quitCode = 0;

    bool trapping = false; // an error trap is open
    int trappedError = 0;  // first error code caught by the open trap
};

State &state();

// Runs X requests under a trap: call begin, issue requests, then end, which
// waits for the server's answers and returns the first error code (0 = none).
void beginErrorTrap();
int endErrorTrap();

WindowInfo *findWindow(HWND hWnd);
WindowInfo *findWindowByDC(HDC hDC);
WindowInfo *findWindowByXid(::Window xid);
template <typename Handle> Handle newHandle() {
    return reinterpret_cast<Handle>(state().nextHandle++);
}

// Calls the window procedure of the window's class directly, as Win32 does
// for sent (as opposed to posted) messages.
LRESULT sendMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
void postMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Gives `window` its GL surface: a child of its X window with the visual of
// the framebuffer config, covering the client area. The X window itself,
// which other clients know, stays as it is. False on an X failure.
bool createSurface(WindowInfo &window, XVisualInfo &visual);
// Frees what is not 0; an xid of 0 means the X window is already gone.
void destroyXWindow(::Window xid, GLXWindow glxWindow, Colormap colormap);

// Releases any current context and destroys drawables retired meanwhile.
void releaseCurrent();

} // namespace korvane::x11

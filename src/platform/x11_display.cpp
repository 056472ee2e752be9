// The X server connection, its error handling, and the tables that turn
// handles into the windows and contexts behind them.
#include "platform/x11_internal.h"

#include <poll.h>

#include <cstdio>

namespace korvane::x11 {

namespace {

// How often and how far apart opening the X connection is tried.
constexpr int openAttempts = 10;
constexpr int openRetryMs = 30;

int onXError(Display *dpy, XErrorEvent *event) {
    State &s = state();
    if (s.trapping) {
        if (s.trappedError == 0)
            s.trappedError = event->error_code;
        return 0;
    }
    // Focus and drawable requests race with the window manager and with
    // windows going away; such errors are expected and harmless. Anything
    // else is reported, but never ends the process as Xlib's default does.
    if (event->error_code == BadMatch || event->error_code == BadWindow ||
        event->error_code == BadDrawable)
        return 0;
    char text[256] = {};
    XGetErrorText(dpy, event->error_code, text, sizeof text);
    std::fprintf(stderr, "X error: %s (request %d.%d)\n", text, event->request_code,
                 event->minor_code);
    return 0;
}

} // namespace

State &state() {
    static State instance;
    return instance;
}

Display *display() {
    State &s = state();
    if (s.display)
        return s.display;
    // A server that is resetting (as Xvfb does when its last client leaves)
    // refuses connections for a moment; a missing one fails every attempt.
    for (int attempt = 0; attempt < openAttempts && !s.display; ++attempt) {
        if (attempt > 0)
            poll(nullptr, 0, openRetryMs);
        s.display = XOpenDisplay(nullptr);
    }
    if (!s.display)
        return nullptr;
    XSetErrorHandler(onXError);
    s.wmProtocols = XInternAtom(s.display, "WM_PROTOCOLS", False);
    s.wmDeleteWindow = XInternAtom(s.display, "WM_DELETE_WINDOW", False);
    s.netWmName = XInternAtom(s.display, "_NET_WM_NAME", False);
    s.utf8String = XInternAtom(s.display, "UTF8_STRING", False);
    s.netActiveWindow = XInternAtom(s.display, "_NET_ACTIVE_WINDOW", False);
    return s.display;
}

void beginErrorTrap() {
    State &s = state();
    XSync(s.display, False);
    s.trapping = true;
    s.trappedError = 0;
}

int endErrorTrap() {
    State &s = state();
    XSync(s.display, False);
    s.trapping = false;
    return s.trappedError;
}

WindowInfo *findWindow(HWND hWnd) {
    State &s = state();
    auto found = s.windows.find(hWnd);
    return found == s.windows.end() ? nullptr : found->second.get();
}

WindowInfo *findWindowByDC(HDC hDC) {
    if (!hDC)
        return nullptr;
    for (auto &entry : state().windows)
        if (entry.second->dc == hDC)
            return entry.second.get();
    return nullptr;
}

WindowInfo *findWindowByXid(::Window xid) {
    for (auto &entry : state().windows)
        if (entry.second->xid == xid)
            return entry.second.get();
    return nullptr;
}

::Window xWindowOf(HWND hWnd) {
    WindowInfo *w = findWindow(hWnd);
    return w ? w->xid : 0;
}

} // namespace korvane::x11

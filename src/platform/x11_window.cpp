// Window classes and windows over Xlib: registration, creation, showing,
// focusing and destruction.
//
// Sizes: X windows carry no frame of their own (the window manager adds one
// outside the window), so the size given to CreateWindowExW becomes the size
// of the X window itself, and that is also the client size that WM_SIZE
// reports. The outer size on screen is larger by whatever frame the window
// manager draws. The position is always left to the window manager, as
// CW_USEDEFAULT asks: every caller passes it.
#include "platform/x11_internal.h"

#include <X11/Xatom.h>

#include <poll.h>

#include <algorithm>
#include <string>

extern "C" char __executable_start; // start of the program's own image (GNU linkers)

namespace korvane::x11 {

namespace {

// How long ShowWindow waits for the server to report the window mapped.
constexpr int mapWaitMs = 2000;

// Captions are ASCII, as the program's are, which WM_NAME (Latin-1) and
// _NET_WM_NAME (UTF-8) both hold as it stands; any other character shows as
// a question mark.
std::string asciiCaption(LPCWSTR text) {
    std::string caption;
    for (std::size_t i = 0; text && text[i]; ++i)
        caption += text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
    return caption;
}

void setCaption(Display *dpy, ::Window xid, LPCWSTR text) {
    State &s = state();
    const std::string caption = asciiCaption(text);
    const auto *bytes = reinterpret_cast<const unsigned char *>(caption.data());
    const int length = static_cast<int>(caption.size());
    XChangeProperty(dpy, xid, XA_WM_NAME, XA_STRING, 8, PropModeReplace, bytes, length);
    XChangeProperty(dpy, xid, s.netWmName, s.utf8String, 8, PropModeReplace, bytes, length);
}

void setProperties(Display *dpy, const WindowInfo &w, LPCWSTR caption) {
    State &s = state();
    setCaption(dpy, w.xid, caption);
    XSetWMProtocols(dpy, w.xid, &s.wmDeleteWindow, 1);

    XSizeHints *size = XAllocSizeHints();
    if (size) {
        size->flags = PSize;
        size->width = w.width;
        size->height = w.height;
        XSetWMNormalHints(dpy, w.xid, size);
        XFree(size);
    }
    XWMHints *hints = XAllocWMHints();
    if (hints) {
        hints->flags = InputHint | StateHint;
        hints->input = True;
        hints->initial_state = NormalState;
        XSetWMHints(dpy, w.xid, hints);
        XFree(hints);
    }
    XClassHint *classHint = XAllocClassHint();
    if (classHint) {
        char name[] = "korvane";
        char className[] = "Korvane";
        classHint->res_name = name;
        classHint->res_class = className;
        XSetClassHint(dpy, w.xid, classHint);
        XFree(classHint);
    }
}

// The top-level X window for `w`, with the root window's visual.
::Window createXWindow(Display *dpy, const WindowInfo &w) {
    XSetWindowAttributes attrs = {};
    attrs.event_mask = StructureNotifyMask | KeyPressMask;
    attrs.background_pixel = 0;
    attrs.border_pixel = 0;
    return XCreateWindow(
        dpy, DefaultRootWindow(dpy), 0, 0, static_cast<unsigned>(std::max(1, w.width)),
        static_cast<unsigned>(std::max(1, w.height)), 0, CopyFromParent, InputOutput,
        CopyFromParent, CWEventMask | CWBackPixel | CWBorderPixel, &attrs);
}

// Waits (briefly) until the server reports the window mapped, so that the
// first frame drawn after ShowWindow reaches the screen.
void waitForMap(Display *dpy, ::Window xid) {
    XFlush(dpy);
    XEvent event;
    for (int waited = 0; waited < mapWaitMs; waited += 10) {
        if (XCheckTypedWindowEvent(dpy, xid, MapNotify, &event))
            return;
        pollfd fd = {ConnectionNumber(dpy), POLLIN, 0};
        poll(&fd, 1, 10);
    }
}

} // namespace

void destroyXWindow(::Window xid, GLXWindow glxWindow, Colormap colormap) {
    Display *dpy = state().display;
    if (glxWindow) {
        // With no X window (another client destroyed it) the server has
        // freed the GLX window along with it, and refuses to free it again;
        // what is left to free is the library's side of it.
        bool xWindowGone = !xid;
        if (xWindowGone)
            beginErrorTrap();
        glXDestroyWindow(dpy, glxWindow);
        if (xWindowGone)
            endErrorTrap();
    }
    if (xid)
        XDestroyWindow(dpy, xid);
    if (colormap)
        XFreeColormap(dpy, colormap);
}

bool createSurface(WindowInfo &w, XVisualInfo &visual) {
    Display *dpy = state().display;
    beginErrorTrap();
    Colormap colormap = XCreateColormap(dpy, w.xid, visual.visual, AllocNone);
    XSetWindowAttributes attrs = {};
    attrs.background_pixmap = None; // every frame covers it; nothing to clear in between
    attrs.border_pixel = 0;
    attrs.colormap = colormap;
    // No events are selected on it: keys pass through to the top-level.
    ::Window surface =
        XCreateWindow(dpy, w.xid, 0, 0, static_cast<unsigned>(std::max(1, w.width)),
                      static_cast<unsigned>(std::max(1, w.height)), 0, visual.depth, InputOutput,
                      visual.visual, CWBackPixmap | CWBorderPixel | CWColormap, &attrs);
    if (surface)
        XMapWindow(dpy, surface);
    if (endErrorTrap() != 0 || !surface) {
        destroyXWindow(surface, 0, colormap);
        return false;
    }
    w.surface = surface;
    w.colormap = colormap;
    return true;
}

} // namespace korvane::x11

using namespace korvane::x11;

HMODULE WINAPI GetModuleHandleW(LPCWSTR moduleName) {
    // Only the program's own image is known here; other modules have no handle.
    if (moduleName)
        return nullptr;
    return reinterpret_cast<HMODULE>(&__executable_start);
}

HICON WINAPI LoadIconW(HINSTANCE instance, LPCWSTR iconName) {
    // The program carries no icon resources; every system icon is one shared
    // handle, and the window manager shows its own default.
    static char systemIcon;
    return (instance || !iconName) ? nullptr : reinterpret_cast<HICON>(&systemIcon);
}

HCURSOR WINAPI LoadCursorW(HINSTANCE instance, LPCWSTR cursorName) {
    // X windows show the root window's arrow unless told otherwise.
    static char systemCursor;
    return (instance || !cursorName) ? nullptr : reinterpret_cast<HCURSOR>(&systemCursor);
}

// Classes are known by name only; the class style and the rest of the
// description mean nothing on X.
ATOM WINAPI RegisterClassW(const WNDCLASSW *wndClass) {
    if (!wndClass || !wndClass->lpfnWndProc || !wndClass->lpszClassName ||
        !wndClass->lpszClassName[0])
        return 0;
    State &s = state();
    const bool added = s.classes.emplace(wndClass->lpszClassName, wndClass->lpfnWndProc).second;
    // Windows numbers registered classes from 0xC000.
    return added ? static_cast<ATOM>(0xC000 + s.classes.size() - 1) : 0;
}

HWND WINAPI CreateWindowExW(DWORD, LPCWSTR className, LPCWSTR windowName, DWORD, int, int,
                            int width, int height, HWND, HMENU, HINSTANCE, LPVOID) {
    State &s = state();
    auto windowClass = className ? s.classes.find(className) : s.classes.end();
    if (windowClass == s.classes.end())
        return nullptr;
    Display *dpy = display();
    if (!dpy)
        return nullptr;

    auto w = std::make_unique<WindowInfo>();
    w->proc = windowClass->second;
    w->width = std::max(0, width);
    w->height = std::max(0, height);

    // The trap's round trip also means that the window and its properties
    // are on the server by the time CreateWindowExW returns.
    beginErrorTrap();
    w->xid = createXWindow(dpy, *w);
    if (w->xid)
        setProperties(dpy, *w, windowName);
    if (endErrorTrap() != 0 || !w->xid) {
        if (w->xid)
            XDestroyWindow(dpy, w->xid);
        return nullptr;
    }

    HWND hWnd = newHandle<HWND>();
    w->handle = hWnd;
    w->dc = newHandle<HDC>();
    s.windows[hWnd] = std::move(w);

    // As under Windows (Wine), a window made hidden is sent no WM_SIZE while
    // it is created: the window procedure learns the client size from the
    // first ShowWindow.
    return hWnd;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
    State &s = state();
    WindowInfo *w = findWindow(hWnd);
    if (!w || w->destroying)
        return FALSE;
    w->destroying = true;
    sendMessage(hWnd, WM_DESTROY, 0, 0);

    s.queue.erase(std::remove_if(s.queue.begin(), s.queue.end(),
                                 [hWnd](const MSG &m) { return m.hwnd == hWnd; }),
                  s.queue.end());
    bool current =
        s.currentDrawable && (s.currentDrawable == w->glxWindow || s.currentDrawable == w->xid);
    if (current) {
        // A context is still current on this window: the window vanishes now,
        // but its X resources stay until the context lets go of them.
        if (w->xid)
            XUnmapWindow(s.display, w->xid);
        s.retired.push_back({w->xid, w->glxWindow, w->colormap});
    } else {
        destroyXWindow(w->xid, w->glxWindow, w->colormap);
    }
    XFlush(s.display);
    s.windows.erase(hWnd);
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT rect) {
    WindowInfo *w = findWindow(hWnd);
    if (!w || !rect)
        return FALSE;
    // X windows have no frame of their own (a window manager draws one
    // around them), so the client area is the whole window.
    *rect = RECT{0, 0, w->width, w->height};
    return TRUE;
}

BOOL WINAPI SetWindowTextW(HWND hWnd, LPCWSTR text) {
    WindowInfo *w = findWindow(hWnd);
    if (!w || !w->xid)
        return FALSE;
    setCaption(state().display, w->xid, text);
    XFlush(state().display);
    return TRUE;
}

// SW_SHOW, the one command the program gives, is the only one implemented;
// any other does nothing and returns FALSE.
BOOL WINAPI ShowWindow(HWND hWnd, int cmdShow) {
    State &s = state();
    WindowInfo *w = findWindow(hWnd);
    if (!w || cmdShow != SW_SHOW)
        return FALSE;
    BOOL wasVisible = w->shown ? TRUE : FALSE;
    if (!w->shown) {
        w->shown = true;
        XMapWindow(s.display, w->xid);
        waitForMap(s.display, w->xid);
        sendMessage(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->width, w->height));
    }
    return wasVisible;
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
    // Nothing is painted outside the program's own frames.
    return findWindow(hWnd) ? TRUE : FALSE;
}

BOOL WINAPI SetForegroundWindow(HWND hWnd) {
    State &s = state();
    WindowInfo *w = findWindow(hWnd);
    if (!w)
        return FALSE;
    XRaiseWindow(s.display, w->xid);
    if (w->shown) {
        // Ask a window manager, if one runs, to activate the window.
        XEvent event = {};
        event.xclient.type = ClientMessage;
        event.xclient.window = w->xid;
        event.xclient.message_type = s.netActiveWindow;
        event.xclient.format = 32;
        event.xclient.data.l[0] = 1; // request from an application
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(s.display, DefaultRootWindow(s.display), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &event);
    }
    XFlush(s.display);
    return TRUE;
}

// The layer does not keep track of the focus, so the result, which nothing
// reads, is always no previous window.
HWND WINAPI SetFocus(HWND hWnd) {
    State &s = state();
    WindowInfo *w = findWindow(hWnd);
    // Only a viewable window can take the input focus; X would refuse it to
    // a hidden one.
    if (w && w->shown && !w->minimized) {
        XSetInputFocus(s.display, w->xid, RevertToParent, CurrentTime);
        XFlush(s.display);
    }
    return nullptr;
}

// Window classes and windows over Xlib: registration, creation, showing,
// focusing and destruction.
//
// Sizes: X windows carry no frame of their own (the window manager adds one
// outside the window), so the size given to CreateWindowExW becomes the size
// of the X window itself, and that is also the client size that WM_SIZE
// reports. The outer size on screen is larger by whatever frame the window
// manager draws.
#include "platform/x11_internal.h"

#include <X11/Xatom.h>

#include <poll.h>

#include <algorithm>

extern "C" char __executable_start; // start of the program's own image (GNU linkers)

namespace korvane::x11 {

namespace {

// The default client size for CW_USEDEFAULT as width.
constexpr int defaultWidth = 640;
constexpr int defaultHeight = 480;
// How long ShowWindow waits for the server to report the window mapped.
constexpr int mapWaitMs = 2000;

bool isAtom(LPCWSTR name) {
    return reinterpret_cast<std::uintptr_t>(name) < 0x10000;
}

const WindowClass *findClass(LPCWSTR name) {
    State &s = state();
    if (!name)
        return nullptr;
    if (isAtom(name)) {
        ATOM atom = static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(name));
        for (const auto &entry : s.classes)
            if (entry.second.atom == atom)
                return &entry.second;
        return nullptr;
    }
    auto found = s.classes.find(std::u16string(name));
    return found == s.classes.end() ? nullptr : &found->second;
}

// WM_NAME is Latin-1 (type STRING) when the title fits, UTF-8 otherwise;
// _NET_WM_NAME is always UTF-8.
void setTitle(Display *dpy, const WindowInfo &w) {
    State &s = state();
    std::string latin1;
    bool fitsLatin1 = true;
    for (std::size_t i = 0; i < w.title.size() && fitsLatin1; ++i) {
        unsigned char c = static_cast<unsigned char>(w.title[i]);
        if (c < 0x80) {
            latin1 += static_cast<char>(c);
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < w.title.size()) {
            latin1 += static_cast<char>(((c & 0x03) << 6) | (w.title[++i] & 0x3F));
        } else {
            fitsLatin1 = false;
        }
    }
    const std::string &wmName = fitsLatin1 ? latin1 : w.title;
    XChangeProperty(dpy, w.xid, XA_WM_NAME, fitsLatin1 ? XA_STRING : s.utf8String, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char *>(wmName.data()),
                    static_cast<int>(wmName.size()));
    XChangeProperty(dpy, w.xid, s.netWmName, s.utf8String, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char *>(w.title.data()),
                    static_cast<int>(w.title.size()));
}

void setProperties(Display *dpy, const WindowInfo &w) {
    State &s = state();
    setTitle(dpy, w);
    XSetWMProtocols(dpy, w.xid, &s.wmDeleteWindow, 1);

    XSizeHints *size = XAllocSizeHints();
    if (size) {
        size->flags = PSize | (w.defaultPosition ? 0 : USPosition);
        size->x = w.x;
        size->y = w.y;
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

// An X window for `w` with the given visual (nullptr: the parent's).
::Window createXWindow(Display *dpy, const WindowInfo &w, Visual *visual, int depth,
                       Colormap colormap) {
    XSetWindowAttributes attrs = {};
    attrs.event_mask = StructureNotifyMask | KeyPressMask | KeyReleaseMask | FocusChangeMask;
    attrs.background_pixel = 0;
    attrs.border_pixel = 0;
    attrs.colormap = colormap;
    unsigned long mask = CWEventMask | CWBackPixel | CWBorderPixel | (colormap ? CWColormap : 0);
    return XCreateWindow(
        dpy, DefaultRootWindow(dpy), w.x, w.y, static_cast<unsigned>(std::max(1, w.width)),
        static_cast<unsigned>(std::max(1, w.height)), 0, visual ? depth : CopyFromParent,
        InputOutput, visual ? visual : CopyFromParent, mask, &attrs);
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

ATOM WINAPI RegisterClassW(const WNDCLASSW *wndClass) {
    if (!wndClass || !wndClass->lpfnWndProc || !wndClass->lpszClassName ||
        isAtom(wndClass->lpszClassName) || !wndClass->lpszClassName[0])
        return 0;
    State &s = state();
    std::u16string name(wndClass->lpszClassName);
    if (s.classes.count(name) || s.nextAtom == 0xFFFF)
        return 0;
    WindowClass &entry = s.classes[name];
    entry.atom = s.nextAtom++;
    entry.style = wndClass->style;
    entry.proc = wndClass->lpfnWndProc;
    return entry.atom;
}

HWND WINAPI CreateWindowExW(DWORD, LPCWSTR className, LPCWSTR windowName, DWORD, int x, int y,
                            int width, int height, HWND, HMENU, HINSTANCE, LPVOID) {
    const WindowClass *windowClass = findClass(className);
    if (!windowClass)
        return nullptr;
    Display *dpy = display();
    if (!dpy)
        return nullptr;
    State &s = state();

    auto w = std::make_unique<WindowInfo>();
    w->windowClass = windowClass;
    w->title = utf16ToUtf8(windowName);
    w->defaultPosition = (x == CW_USEDEFAULT);
    w->x = w->defaultPosition ? 0 : x;
    w->y = w->defaultPosition ? 0 : y;
    w->width = (width == CW_USEDEFAULT) ? defaultWidth : std::max(0, width);
    w->height = (width == CW_USEDEFAULT) ? defaultHeight : std::max(0, height);

    // The trap's round trip also means that the window and its properties
    // are on the server by the time CreateWindowExW returns.
    beginErrorTrap();
    w->xid = createXWindow(dpy, *w, nullptr, 0, 0);
    if (w->xid)
        setProperties(dpy, *w);
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

    if (s.focus == hWnd)
        s.focus = nullptr;
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

BOOL WINAPI ShowWindow(HWND hWnd, int cmdShow) {
    State &s = state();
    WindowInfo *w = findWindow(hWnd);
    if (!w)
        return FALSE;
    BOOL wasVisible = w->shown ? TRUE : FALSE;
    if (cmdShow == SW_HIDE) {
        if (w->shown) {
            w->shown = false;
            if (!w->minimized) {
                ++w->unmapsExpected;
                XUnmapWindow(s.display, w->xid);
                XFlush(s.display);
            }
            w->minimized = false;
        }
        return wasVisible;
    }
    if (!w->shown) {
        w->shown = true;
        w->minimized = false;
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

HWND WINAPI SetFocus(HWND hWnd) {
    State &s = state();
    HWND previous = s.focus;
    if (!hWnd) {
        s.focus = nullptr;
        return previous;
    }
    WindowInfo *w = findWindow(hWnd);
    if (!w)
        return nullptr;
    // Only a viewable window can take the input focus; for a hidden one the
    // focus is recorded and the server is not asked.
    if (w->shown && !w->minimized) {
        XSetInputFocus(s.display, w->xid, RevertToParent, CurrentTime);
        XFlush(s.display);
    }
    s.focus = hWnd;
    return previous;
}

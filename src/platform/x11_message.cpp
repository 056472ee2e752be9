// The message queue: X events become posted messages, PeekMessageW hands
// them out without ever waiting, and WM_QUIT comes last.
#include "platform/x11_internal.h"

#include <algorithm>
#include <iterator>

namespace korvane::x11 {

namespace {

bool keyIsDown(const WindowInfo &w, unsigned keycode) {
    return (w.keysDown[keycode / 8] >> (keycode % 8)) & 1;
}

void setKeyDown(WindowInfo &w, unsigned keycode, bool down) {
    unsigned char bit = static_cast<unsigned char>(1u << (keycode % 8));
    if (down)
        w.keysDown[keycode / 8] |= bit;
    else
        w.keysDown[keycode / 8] &= static_cast<unsigned char>(~bit);
}

// Without detectable auto-repeat, a held key sends a release and a press with
// the same time stamp; the release is then part of a repeat, not a real one.
bool releaseIsRepeat(Display *dpy, const XKeyEvent &release) {
    if (!XEventsQueued(dpy, QueuedAfterReading))
        return false;
    XEvent next;
    XPeekEvent(dpy, &next);
    return next.type == KeyPress && next.xkey.keycode == release.keycode &&
           next.xkey.time == release.time && next.xkey.window == release.window;
}

// A window manager that takes over an already mapped window reparents it,
// which unmaps and maps it again; that unmap is not a minimise. The server
// sends the UnmapNotify and the ReparentNotify together, so the second is
// already queued when the first is read.
bool reparentFollows(Display *dpy, ::Window xid) {
    struct Search {
        ::Window xid;
        bool found;
    } search = {xid, false};
    XEvent event;
    // The predicate only looks: it never selects an event, so none is removed.
    XCheckIfEvent(
        dpy, &event,
        [](Display *, XEvent *e, XPointer arg) -> Bool {
            auto *search = reinterpret_cast<Search *>(arg);
            if (e->type == ReparentNotify && e->xreparent.window == search->xid)
                search->found = true;
            return False;
        },
        reinterpret_cast<XPointer>(&search));
    return search.found;
}

void keyPressed(WindowInfo &w, XKeyEvent &event) {
    int vk = virtualKeyFor(XLookupKeysym(&event, 0));
    bool repeat = keyIsDown(w, event.keycode);
    setKeyDown(w, event.keycode, true);
    if (!vk)
        return;
    // As on Windows, Alt itself, any key pressed while Alt is held, and F10
    // are system keys: they come as WM_SYSKEYDOWN, never as WM_KEYDOWN.
    const bool alt = (event.state & Mod1Mask) != 0 || vk == VK_MENU;
    const bool systemKey = alt || vk == VK_F10;
    // Repeat count 1, the scan code (X keycodes are offset by 8 from it),
    // in bit 29 whether Alt is down, and in bit 30 whether the key was
    // already down.
    LPARAM lParam = 1 | (static_cast<LPARAM>((event.keycode - 8) & 0xFF) << 16) |
                    (alt ? (static_cast<LPARAM>(1) << 29) : 0) |
                    (repeat ? (static_cast<LPARAM>(1) << 30) : 0);
    postMessage(w.handle, systemKey ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<WPARAM>(vk), lParam);
}

void translate(XEvent &event) {
    State &s = state();
    WindowInfo *w = findWindowByXid(event.xany.window);
    if (!w)
        return; // a destroyed or replaced window
    switch (event.type) {
    case ClientMessage:
        if (event.xclient.message_type == s.wmProtocols && event.xclient.format == 32 &&
            static_cast<Atom>(event.xclient.data.l[0]) == s.wmDeleteWindow)
            // As under Windows (Wine): the window menu's Close, which the
            // default window procedure turns into WM_CLOSE.
            postMessage(w->handle, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case ConfigureNotify:
        if (event.xconfigure.width != w->width || event.xconfigure.height != w->height) {
            w->width = event.xconfigure.width;
            w->height = event.xconfigure.height;
            if (w->surface)
                XResizeWindow(s.display, w->surface, static_cast<unsigned>(w->width),
                              static_cast<unsigned>(w->height));
            if (w->shown && !w->minimized)
                postMessage(w->handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->width, w->height));
        }
        break;
    case UnmapNotify:
        if (w->unmapsExpected > 0) {
            --w->unmapsExpected;
        } else if (w->shown && !w->minimized && !reparentFollows(s.display, w->xid)) {
            // Only the window manager unmaps a shown window: it was minimised.
            w->minimized = true;
            postMessage(w->handle, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
        }
        break;
    case MapNotify:
        if (w->shown && w->minimized) {
            w->minimized = false;
            postMessage(w->handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->width, w->height));
        }
        break;
    case KeyPress:
        keyPressed(*w, event.xkey);
        break;
    case KeyRelease:
        if (s.detectableAutoRepeat || !releaseIsRepeat(s.display, event.xkey))
            setKeyDown(*w, event.xkey.keycode, false);
        break;
    case DestroyNotify:
        // Another client destroyed the window: our own DestroyWindow drops a
        // window from the table before its DestroyNotify can arrive. As on
        // Windows, a destroyed window gets WM_DESTROY and its handle dies;
        // only the X resources that the server has not freed are left.
        w->xid = 0;
        DestroyWindow(w->handle);
        break;
    case FocusOut:
        // Keys released elsewhere are never reported here.
        std::fill(std::begin(w->keysDown), std::end(w->keysDown), 0);
        break;
    default:
        break;
    }
}

bool inRange(UINT message, UINT first, UINT last) {
    return (first == 0 && last == 0) || (message >= first && message <= last);
}

} // namespace

void pumpEvents() {
    Display *dpy = state().display;
    if (!dpy)
        return;
    while (XPending(dpy)) {
        XEvent event;
        XNextEvent(dpy, &event);
        translate(event);
    }
}

void postMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    MSG m = {};
    m.hwnd = hWnd;
    m.message = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = GetTickCount();
    state().queue.push_back(m);
}

LRESULT sendMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WindowInfo *w = findWindow(hWnd);
    if (!w)
        return 0;
    return w->windowClass->proc(hWnd, msg, wParam, lParam);
}

} // namespace korvane::x11

using namespace korvane::x11;

BOOL WINAPI PeekMessageW(LPMSG msg, HWND hWnd, UINT msgFilterMin, UINT msgFilterMax,
                         UINT removeMsg) {
    if (!msg)
        return FALSE;
    State &s = state();
    pumpEvents();
    for (auto it = s.queue.begin(); it != s.queue.end(); ++it) {
        if ((!hWnd || it->hwnd == hWnd) && inRange(it->message, msgFilterMin, msgFilterMax)) {
            *msg = *it;
            if (removeMsg & PM_REMOVE)
                s.queue.erase(it);
            return TRUE;
        }
    }
    // The quit request is a flag rather than a queued message: it is seen
    // only once nothing else is waiting.
    if (s.quitPosted && !hWnd && inRange(WM_QUIT, msgFilterMin, msgFilterMax)) {
        *msg = MSG{};
        msg->message = WM_QUIT;
        msg->wParam = static_cast<WPARAM>(s.quitCode);
        msg->time = GetTickCount();
        if (removeMsg & PM_REMOVE)
            s.quitPosted = false;
        return TRUE;
    }
    return FALSE;
}

BOOL WINAPI TranslateMessage(const MSG *msg) {
    // No character messages exist in this subset; key-down messages count as
    // translated, as they do on Windows.
    return (msg && (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN)) ? TRUE : FALSE;
}

LRESULT WINAPI DispatchMessageW(const MSG *msg) {
    if (!msg || !msg->hwnd)
        return 0;
    return sendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT WINAPI DefWindowProcW(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SYSKEYDOWN:
        // Alt+F4 asks to close the window, as the window menu's Close does.
        if (wParam == VK_F4 && (lParam & (static_cast<LPARAM>(1) << 29)))
            postMessage(hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case WM_SYSCOMMAND:
        // The low four bits are the system's own.
        if ((wParam & 0xFFF0) == SC_CLOSE)
            sendMessage(hWnd, WM_CLOSE, 0, 0);
        break;
    case WM_CLOSE:
        DestroyWindow(hWnd);
        break;
    default:
        break;
    }
    return 0;
}

void WINAPI PostQuitMessage(int exitCode) {
    State &s = state();
    s.quitPosted = true;
    s.quitCode = exitCode;
}

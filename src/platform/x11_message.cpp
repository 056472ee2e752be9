// The message queue: X events become posted messages, PeekMessageW hands
// them out without ever waiting, and WM_QUIT comes last.
#include "platform/x11_internal.h"

#include <X11/keysym.h>

namespace korvane::x11 {

namespace {

// The Windows virtual-key code of the keys that the program (F1, F2), the
// shader lab (Space, Left, Right) and the default window procedure (Alt, F4,
// F10) read; 0 for every other key, which then sends no message at all.
int virtualKeyFor(KeySym keysym) {
    if (keysym >= XK_F1 && keysym <= XK_F24)
        return VK_F1 + static_cast<int>(keysym - XK_F1);
    if (keysym == XK_Alt_L || keysym == XK_Alt_R || keysym == XK_Meta_L || keysym == XK_Meta_R)
        return VK_MENU;
    switch (keysym) {
    case XK_space:
        return VK_SPACE;
    case XK_Left:
        return VK_LEFT;
    case XK_Right:
        return VK_RIGHT;
    default:
        return 0;
    }
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

// A held key repeats as further presses, each a key-down message, as on
// Windows. Of lParam only bit 29, Alt down, is set: the repeat count, the
// scan code and the previous key state are read by nothing.
void keyPressed(const WindowInfo &w, XKeyEvent &event) {
    const int vk = virtualKeyFor(XLookupKeysym(&event, 0));
    if (!vk)
        return;
    // As on Windows, Alt itself, any key pressed while Alt is held, and F10
    // are system keys: they come as WM_SYSKEYDOWN, never as WM_KEYDOWN.
    const bool alt = (event.state & Mod1Mask) != 0 || vk == VK_MENU;
    postMessage(w.handle, (alt || vk == VK_F10) ? WM_SYSKEYDOWN : WM_KEYDOWN,
                static_cast<WPARAM>(vk), alt ? (static_cast<LPARAM>(1) << 29) : 0);
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
        if (w->shown && !w->minimized && !reparentFollows(s.display, w->xid)) {
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
    case DestroyNotify:
        // Another client destroyed the window: our own DestroyWindow drops a
        // window from the table before its DestroyNotify can arrive. As on
        // Windows, a destroyed window gets WM_DESTROY and its handle dies;
        // only the X resources that the server has not freed are left.
        w->xid = 0;
        DestroyWindow(w->handle);
        break;
    default:
        break;
    }
}

// Reads every event the server has sent so far and turns it into messages.
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

} // namespace

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
    return w->proc(hWnd, msg, wParam, lParam);
}

} // namespace korvane::x11

using namespace korvane::x11;

// Only the form that the program uses is implemented: every message of the
// thread, taken off the queue (PM_REMOVE). A window or message-range filter,
// or a peek that leaves the message waiting, finds nothing.
BOOL WINAPI PeekMessageW(LPMSG msg, HWND hWnd, UINT msgFilterMin, UINT msgFilterMax,
                         UINT removeMsg) {
    if (!msg || hWnd || msgFilterMin || msgFilterMax || !(removeMsg & PM_REMOVE))
        return FALSE;
    State &s = state();
    pumpEvents();
    if (!s.queue.empty()) {
        *msg = s.queue.front();
        s.queue.pop_front();
        return TRUE;
    }
    // The quit request is a flag rather than a queued message: it is seen
    // only once nothing else is waiting.
    if (s.quitPosted) {
        *msg = MSG{};
        msg->message = WM_QUIT;
        msg->wParam = static_cast<WPARAM>(s.quitCode);
        msg->time = GetTickCount();
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

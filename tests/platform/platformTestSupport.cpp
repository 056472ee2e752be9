#include "platformTestSupport.h"

#include <X11/Xatom.h>

#include <unistd.h>

namespace platformtest {

std::vector<MSG> received;

LRESULT CALLBACK recordingWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    received.push_back(MSG{hWnd, msg, wParam, lParam, 0, {0, 0}});
    if (msg == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

HWND createRecordedWindow(int width, int height) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = recordingWndProc;
        wc.lpszClassName = u"PlatformTestClass";
        registered = RegisterClassW(&wc) != 0;
    }
    return CreateWindowExW(0, u"PlatformTestClass", u"Korvane", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                           0, width, height, nullptr, nullptr, nullptr, nullptr);
}

bool dispatchUntil(const std::function<bool()> &done, MSG *quit) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > 2000)
            return false;
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                if (quit)
                    *quit = msg;
                return done();
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}

void settleAndDispatch(Display *observer) {
    XSync(observer, False);
    XSync(korvane::x11::display(), False);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message != WM_QUIT)
        DispatchMessageW(&msg);
}

std::vector<MSG> receivedOf(UINT message) {
    std::vector<MSG> out;
    for (const MSG &m : received)
        if (m.message == message)
            out.push_back(m);
    return out;
}

Observer::Observer() : display(nullptr) {
    // Xvfb refuses connections for a moment while it resets.
    for (int attempt = 0; attempt < 10 && !display; ++attempt) {
        if (attempt > 0)
            usleep(20000);
        display = XOpenDisplay(nullptr);
    }
}

Observer::~Observer() {
    if (display)
        XCloseDisplay(display);
}

std::string Observer::stringProperty(::Window xid, const char *name, Atom *type) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    std::string value;
    if (XGetWindowProperty(display, xid, XInternAtom(display, name, False), 0, 1024, False,
                           AnyPropertyType, &actualType, &format, &count, &after,
                           &data) == Success &&
        data) {
        value.assign(reinterpret_cast<char *>(data), count);
        XFree(data);
    }
    if (type)
        *type = actualType;
    return value;
}

void Observer::sendKey(::Window xid, KeySym keysym, unsigned state) {
    XEvent event = {};
    event.xkey.type = KeyPress;
    event.xkey.display = display;
    event.xkey.window = xid;
    event.xkey.root = DefaultRootWindow(display);
    event.xkey.time = CurrentTime;
    event.xkey.same_screen = True;
    event.xkey.state = state;
    event.xkey.keycode = XKeysymToKeycode(display, keysym);
    XSendEvent(display, xid, False, KeyPressMask, &event);
}

void Observer::sendDeleteWindow(::Window xid) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = xid;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, xid, False, NoEventMask, &event);
    XFlush(display);
}

} // namespace platformtest

// Helpers for tests of the X11 layer: a second connection to the X server
// that watches and drives our windows the way a window manager or the user
// would, and a window procedure that records what it is sent.
#pragma once

#include "platform/x11_access.h"

#include <functional>
#include <string>
#include <vector>

namespace platformtest {

// Every message the recording window procedure saw, in order.
extern std::vector<MSG> received;

// Records the message, posts the quit request on WM_DESTROY (as the shell's
// procedure does) and leaves the rest to DefWindowProcW.
LRESULT CALLBACK recordingWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Registers the recording class (once per process) and creates a window of it.
HWND createRecordedWindow(int width = 320, int height = 240);

// Takes and dispatches waiting messages until `done` holds or two seconds
// pass; WM_QUIT ends the wait as well. Returns whether `done` held.
bool dispatchUntil(const std::function<bool()> &done, MSG *quit = nullptr);

// Waits until the server has handled everything both connections sent, and
// our connection has read the events that resulted, then dispatches them.
void settleAndDispatch(Display *observer);

std::vector<MSG> receivedOf(UINT message);

// A second client connection to the same server.
struct Observer {
    Display *display;
    Observer();
    ~Observer();
    std::string stringProperty(::Window xid, const char *name, Atom *type = nullptr);
    // A key press, with the modifiers of `state` (such as Mod1Mask, Alt) held.
    void sendKey(::Window xid, KeySym keysym, unsigned state = 0);
    void sendDeleteWindow(::Window xid);
};

} // namespace platformtest

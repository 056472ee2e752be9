// The window under a real window manager (openbox), which reparents it into
// a frame, iconifies it and asks it to close.
#include <gtest/gtest.h>

#include "platformTestSupport.h"

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platformtest;

extern char **environ;

namespace {

::Window parentOf(Display *dpy, ::Window xid) {
    ::Window root, parent = 0, *children = nullptr;
    unsigned count = 0;
    XQueryTree(dpy, xid, &root, &parent, &children, &count);
    if (children)
        XFree(children);
    return parent;
}

// Waits until the window manager has framed `xid`: its parent is no longer
// the root window. Maps it again meanwhile, as a manager still starting may
// drop map requests.
bool waitUntilFramed(Display *dpy, ::Window xid, bool remap) {
    for (int i = 0; i < 250; ++i) {
        if (remap)
            XMapWindow(dpy, xid);
        XSync(dpy, False);
        if (parentOf(dpy, xid) != DefaultRootWindow(dpy))
            return true;
        usleep(20000);
    }
    return false;
}

// openbox on the test's display for the life of the object.
struct Openbox {
    pid_t pid = 0;
    bool start(Display *dpy) {
        char program[] = "openbox", option[] = "--sm-disable";
        char *argv[] = {program, option, nullptr};
        if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0)
            return false;
        // Ready once it frames a window mapped for the purpose.
        ::Window probe = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 10, 10, 0, 0, 0);
        bool ready = waitUntilFramed(dpy, probe, true);
        XDestroyWindow(dpy, probe);
        XSync(dpy, False);
        return ready;
    }
    ~Openbox() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
};

struct UnderWindowManager : testing::Test {
    Observer observer;
    Openbox openbox;
    HWND hWnd = nullptr;
    ::Window xid = 0;

    void SetUp() override {
        ASSERT_NE(observer.display, nullptr);
        ASSERT_TRUE(openbox.start(observer.display)) << "openbox did not start";
        received.clear();
        hWnd = createRecordedWindow(640, 480);
        ASSERT_NE(hWnd, nullptr);
        ShowWindow(hWnd, SW_SHOW);
        xid = korvane::x11::xWindowOf(hWnd);
        ASSERT_TRUE(waitUntilFramed(observer.display, xid, false));
        settleAndDispatch(observer.display);
    }

    void TearDown() override { DestroyWindow(hWnd); }
};

} // namespace

TEST_F(UnderWindowManager, FramingDoesNotChangeTheReportedSize) {
    auto sizes = receivedOf(WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u) << "the first show only";
    EXPECT_EQ(sizes[0].lParam, MAKELPARAM(640, 480));
    XWindowAttributes attrs;
    ASSERT_TRUE(XGetWindowAttributes(observer.display, xid, &attrs));
    EXPECT_EQ(attrs.width, 640) << "the frame lies outside the window";
    EXPECT_EQ(attrs.map_state, IsViewable);
}

TEST_F(UnderWindowManager, IconifyAndRestoreReportZeroThenTheClientSize) {
    received.clear();
    XIconifyWindow(observer.display, xid, DefaultScreen(observer.display));
    XFlush(observer.display);
    ASSERT_TRUE(dispatchUntil([] { return !receivedOf(WM_SIZE).empty(); }));
    XMapWindow(observer.display, xid); // a map request: the manager restores it
    XFlush(observer.display);
    ASSERT_TRUE(dispatchUntil([] { return receivedOf(WM_SIZE).size() >= 2; }));

    auto sizes = receivedOf(WM_SIZE);
    EXPECT_EQ(sizes[0].wParam, static_cast<WPARAM>(SIZE_MINIMIZED));
    EXPECT_EQ(sizes[0].lParam, MAKELPARAM(0, 0));
    EXPECT_EQ(sizes[1].wParam, static_cast<WPARAM>(SIZE_RESTORED));
    EXPECT_EQ(sizes[1].lParam, MAKELPARAM(640, 480));
}

TEST_F(UnderWindowManager, ClosingThroughTheManagerEndsTheLoop) {
    // What a click on the frame's close button does: the manager is asked
    // to close the window and sends it WM_DELETE_WINDOW.
    received.clear();
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = xid;
    event.xclient.message_type = XInternAtom(observer.display, "_NET_CLOSE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[1] = 2; // from a pager or similar tool
    XSendEvent(observer.display, DefaultRootWindow(observer.display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(observer.display);

    MSG quit = {};
    dispatchUntil([] { return false; }, &quit);
    EXPECT_EQ(quit.message, static_cast<UINT>(WM_QUIT));
    ASSERT_GE(received.size(), 3u);
    EXPECT_EQ(received[0].message, static_cast<UINT>(WM_SYSCOMMAND));
    EXPECT_EQ(received[1].message, static_cast<UINT>(WM_CLOSE));
    EXPECT_EQ(received[2].message, static_cast<UINT>(WM_DESTROY));
}

TEST(WindowManagerTakeover, FramingAShownWindowIsNotMinimising) {
    // The manager starts after the window is shown: it reparents a mapped
    // window, which unmaps and maps it again.
    Observer observer;
    ASSERT_NE(observer.display, nullptr);
    received.clear();
    HWND hWnd = createRecordedWindow(640, 480);
    ASSERT_NE(hWnd, nullptr);
    ShowWindow(hWnd, SW_SHOW);
    Openbox openbox;
    ASSERT_TRUE(openbox.start(observer.display)) << "openbox did not start";
    ASSERT_TRUE(waitUntilFramed(observer.display, korvane::x11::xWindowOf(hWnd), false));
    settleAndDispatch(observer.display);

    auto sizes = receivedOf(WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u) << "the first show only";
    EXPECT_EQ(sizes[0].lParam, MAKELPARAM(640, 480));
    DestroyWindow(hWnd);
}

// Messages: X events from the window manager and the keyboard, the quit
// request and the polling loop.
#include <gtest/gtest.h>

#include "support/GLTestContext.h"
#include "platformTestSupport.h"

#include <X11/keysym.h>

#include <vector>

using namespace platformtest;

namespace {

struct MessageTest : testing::Test {
    Observer observer;
    HWND hWnd = nullptr;
    ::Window xid = 0;

    void SetUp() override {
        ASSERT_NE(observer.display, nullptr);
        received.clear();
        hWnd = createRecordedWindow(640, 480);
        ASSERT_NE(hWnd, nullptr);
        ShowWindow(hWnd, SW_SHOW);
        xid = korvane::x11::xWindowOf(hWnd);
        settleAndDispatch(observer.display);
        received.clear();
    }
    void TearDown() override { DestroyWindow(hWnd); }
};

} // namespace

TEST_F(MessageTest, WindowManagerCloseDestroysTheWindowAndEndsTheLoopWithCodeZero) {
    observer.sendDeleteWindow(xid);
    MSG quit = {};
    dispatchUntil([] { return false; }, &quit);

    EXPECT_EQ(quit.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(quit.wParam, 0u);
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[0].message, static_cast<UINT>(WM_SYSCOMMAND));
    EXPECT_EQ(received[0].wParam, static_cast<WPARAM>(SC_CLOSE));
    EXPECT_EQ(received[1].message, static_cast<UINT>(WM_CLOSE));
    EXPECT_EQ(received[2].message, static_cast<UINT>(WM_DESTROY));
    EXPECT_EQ(GetDC(hWnd), nullptr);

    // The X window is gone from the server too.
    XSync(observer.display, False);
    ::Window root, parent, *children = nullptr;
    unsigned count = 0;
    XQueryTree(observer.display, DefaultRootWindow(observer.display), &root, &parent, &children,
               &count);
    for (unsigned i = 0; i < count; ++i)
        EXPECT_NE(children[i], xid);
    if (children)
        XFree(children);
}

TEST(Messages, WindowDestroyedByAnotherClientEndsTheLoopWithCodeZero) {
    // As in the program: the window is shown and a context is current on it.
    Observer observer;
    ASSERT_NE(observer.display, nullptr);
    GLTestContext gl(64, 48, recordingWndProc);
    ASSERT_TRUE(gl.ok()) << gl.error();
    ShowWindow(gl.hWnd, SW_SHOW);
    settleAndDispatch(observer.display); // also takes a quit left by an earlier test
    received.clear();
    testing::internal::CaptureStderr();
    XDestroyWindow(observer.display, korvane::x11::xWindowOf(gl.hWnd));
    XFlush(observer.display);

    MSG quit = {};
    dispatchUntil([] { return false; }, &quit);
    EXPECT_EQ(quit.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(quit.wParam, 0u);
    EXPECT_EQ(receivedOf(WM_DESTROY).size(), 1u);
    EXPECT_EQ(GetDC(gl.hWnd), nullptr) << "the handle died with the window";

    // Shutdown then lets go of the context, with no X error reported.
    EXPECT_TRUE(wglMakeCurrent(gl.hDC, nullptr));
    EXPECT_TRUE(wglDeleteContext(gl.hRC));
    XSync(korvane::x11::display(), False);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    gl.hRC = nullptr;
    gl.hDC = nullptr;
    gl.hWnd = nullptr;
}

TEST_F(MessageTest, ResizeReportsTheNewClientSizeOnlyWhenItChanges) {
    XResizeWindow(observer.display, xid, 800, 600);
    settleAndDispatch(observer.display);
    XMoveResizeWindow(observer.display, xid, 40, 30, 800, 600); // moved, same size
    settleAndDispatch(observer.display);

    auto sizes = receivedOf(WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0].wParam, static_cast<WPARAM>(SIZE_RESTORED));
    EXPECT_EQ(sizes[0].lParam, MAKELPARAM(800, 600));
}

TEST_F(MessageTest, MinimisingReportsZeroSizeAndRestoringTheClientSizeAgain) {
    // Without a window manager, unmapping the window is what iconifying does.
    XUnmapWindow(observer.display, xid);
    settleAndDispatch(observer.display);
    XMapWindow(observer.display, xid);
    settleAndDispatch(observer.display);

    auto sizes = receivedOf(WM_SIZE);
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_EQ(sizes[0].wParam, static_cast<WPARAM>(SIZE_MINIMIZED));
    EXPECT_EQ(sizes[0].lParam, MAKELPARAM(0, 0));
    EXPECT_EQ(sizes[1].wParam, static_cast<WPARAM>(SIZE_RESTORED));
    EXPECT_EQ(sizes[1].lParam, MAKELPARAM(640, 480));
}

TEST_F(MessageTest, KeysThatAreReadArriveAsVirtualKeyCodesAndOtherKeysSendNothing) {
    // Function keys, and Space, Left and Right for the shader lab. The keys
    // that nothing reads (Escape, letters, Up, Return) have no code here and
    // send no message.
    const KeySym keys[] = {XK_F1,    XK_Escape, XK_a,     XK_F2,     XK_Left,
                           XK_space, XK_Up,     XK_Right, XK_Return, XK_F12};
    for (KeySym key : keys)
        observer.sendKey(xid, key);
    settleAndDispatch(observer.display);

    std::vector<WPARAM> codes;
    for (const MSG &m : received)
        codes.push_back(m.message == WM_KEYDOWN ? m.wParam : 0);
    EXPECT_EQ(codes, (std::vector<WPARAM>{VK_F1, VK_F2, VK_LEFT, VK_SPACE, VK_RIGHT, VK_F12}));
}

TEST_F(MessageTest, AltAndF10MakeSystemKeysAndAltF4ClosesTheWindow) {
    observer.sendKey(xid, XK_F2, Mod1Mask);
    observer.sendKey(xid, XK_F10);
    observer.sendKey(xid, XK_F4); // without Alt, an ordinary key
    settleAndDispatch(observer.display);
    const LPARAM altDown = 1 << 29;
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[0].message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(received[0].wParam, static_cast<WPARAM>(VK_F2));
    EXPECT_NE(received[0].lParam & altDown, 0);
    EXPECT_EQ(received[1].message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(received[1].wParam, static_cast<WPARAM>(VK_F10));
    EXPECT_EQ(received[1].lParam & altDown, 0);
    EXPECT_EQ(received[2].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(received[2].wParam, static_cast<WPARAM>(VK_F4));

    // Alt+F4 closes the window the way Windows does, through the window
    // menu's Close, and the loop ends with code 0.
    received.clear();
    observer.sendKey(xid, XK_F4, Mod1Mask);
    XFlush(observer.display);
    MSG quit = {};
    dispatchUntil([] { return false; }, &quit);
    EXPECT_EQ(quit.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(quit.wParam, 0u);
    std::vector<UINT> messages;
    for (const MSG &m : received)
        messages.push_back(m.message);
    EXPECT_EQ(messages, (std::vector<UINT>{WM_SYSKEYDOWN, WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}));
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[1].wParam, static_cast<WPARAM>(SC_CLOSE));
}

TEST_F(MessageTest, QuitComesOnlyAfterMessagesQueuedBeforeIt) {
    observer.sendKey(xid, XK_F1);
    XSync(observer.display, False);
    PostQuitMessage(7);
    observer.sendKey(xid, XK_F2); // arrives after the quit request, still comes first
    XSync(observer.display, False);
    XSync(korvane::x11::display(), False);

    MSG msg;
    std::vector<MSG> taken;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        taken.push_back(msg);
    ASSERT_EQ(taken.size(), 3u);
    EXPECT_EQ(taken[0].wParam, static_cast<WPARAM>(VK_F1));
    EXPECT_EQ(taken[1].wParam, static_cast<WPARAM>(VK_F2));
    EXPECT_EQ(taken[2].message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(taken[2].wParam, 7u);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) << "quit is taken once";
}

TEST_F(MessageTest, PeekingAnEmptyQueueReturnsAtOnce) {
    // Were PeekMessageW to wait for an event, this test would never finish.
    MSG msg;
    for (int i = 0; i < 1000; ++i)
        ASSERT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(Messages, DispatchToAnUnknownWindowCallsNothing) {
    MSG msg = {};
    msg.hwnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0xdead));
    msg.message = WM_CLOSE;
    EXPECT_EQ(DispatchMessageW(&msg), 0);
    EXPECT_EQ(TranslateMessage(&msg), FALSE);
}

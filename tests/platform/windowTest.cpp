// Window classes and windows: registration, creation, caption, size and the
// WM_SIZE messages sent while the window is created and first shown.
#include <gtest/gtest.h>

#include "platformTestSupport.h"

#include <X11/Xatom.h>

using namespace platformtest;

namespace {

LRESULT CALLBACK plainProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

} // namespace

TEST(WindowClass, RegistersOnceByNameAndRejectsIncompleteClasses) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = plainProc;
    wc.lpszClassName = u"OnceOnly";
    EXPECT_NE(RegisterClassW(&wc), 0);
    EXPECT_EQ(RegisterClassW(&wc), 0) << "the same name twice";

    EXPECT_EQ(RegisterClassW(nullptr), 0);
    WNDCLASSW noProc = {};
    noProc.lpszClassName = u"NoProc";
    EXPECT_EQ(RegisterClassW(&noProc), 0);
    WNDCLASSW noName = {};
    noName.lpfnWndProc = plainProc;
    EXPECT_EQ(RegisterClassW(&noName), 0);

    EXPECT_EQ(CreateWindowExW(0, u"NeverRegistered", u"x", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                              100, 100, nullptr, nullptr, nullptr, nullptr),
              nullptr);
}

TEST(Window, CaptionAndSizeAreThoseGivenAndItStaysHiddenUntilShown) {
    Observer observer;
    ASSERT_NE(observer.display, nullptr);
    HWND hWnd = createRecordedWindow(1024, 768);
    ASSERT_NE(hWnd, nullptr);
    ::Window xid = korvane::x11::xWindowOf(hWnd);

    Atom type = None;
    EXPECT_EQ(observer.stringProperty(xid, "WM_NAME", &type), "Korvane");
    EXPECT_EQ(type, XA_STRING);
    EXPECT_EQ(observer.stringProperty(xid, "_NET_WM_NAME", &type), "Korvane");
    EXPECT_EQ(type, XInternAtom(observer.display, "UTF8_STRING", False));

    XWindowAttributes attrs;
    ASSERT_TRUE(XGetWindowAttributes(observer.display, xid, &attrs));
    EXPECT_EQ(attrs.width, 1024);
    EXPECT_EQ(attrs.height, 768);
    EXPECT_EQ(attrs.map_state, IsUnmapped);
    // No frame of its own: the client area is the whole window.
    RECT client = {-1, -1, -1, -1};
    ASSERT_TRUE(GetClientRect(hWnd, &client));
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.top, 0);
    EXPECT_EQ(client.right, 1024);
    EXPECT_EQ(client.bottom, 768);

    ShowWindow(hWnd, SW_SHOW);
    ASSERT_TRUE(XGetWindowAttributes(observer.display, xid, &attrs));
    EXPECT_EQ(attrs.map_state, IsViewable) << "ShowWindow returns once the window is mapped";
    EXPECT_TRUE(DestroyWindow(hWnd));
}

TEST(Window, ProcedureLearnsClientSizeWhenFirstShownNotWhileCreated) {
    received.clear();
    HWND hWnd = createRecordedWindow(1024, 768);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(received.size(), 0u) << "a window made hidden is sent nothing while created";

    ShowWindow(hWnd, SW_SHOW);
    ASSERT_EQ(received.size(), 1u) << "the WM_SIZE comes from inside ShowWindow";
    EXPECT_EQ(received[0].message, static_cast<UINT>(WM_SIZE));
    EXPECT_EQ(received[0].hwnd, hWnd);
    EXPECT_EQ(received[0].wParam, static_cast<WPARAM>(SIZE_RESTORED));
    EXPECT_EQ(received[0].lParam, MAKELPARAM(1024, 768));

    ShowWindow(hWnd, SW_SHOW);
    EXPECT_EQ(received.size(), 1u) << "showing a visible window again sends nothing";
    DestroyWindow(hWnd);
}

TEST(Window, HandlesAndDeviceContexts) {
    HMODULE module = GetModuleHandleW(nullptr);
    EXPECT_NE(module, nullptr);
    EXPECT_EQ(module, GetModuleHandleW(nullptr));

    HWND hWnd = createRecordedWindow();
    ASSERT_NE(hWnd, nullptr);
    HDC hDC = GetDC(hWnd);
    ASSERT_NE(hDC, nullptr);
    EXPECT_EQ(GetDC(hWnd), hDC) << "a window owns one device context";
    EXPECT_EQ(UpdateWindow(hWnd), TRUE);
    EXPECT_EQ(ReleaseDC(hWnd, hDC), 1);

    HWND unknown = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0xdead));
    EXPECT_EQ(GetDC(unknown), nullptr);
    EXPECT_EQ(ShowWindow(unknown, SW_SHOW), FALSE);
    EXPECT_EQ(DestroyWindow(unknown), FALSE);

    EXPECT_TRUE(DestroyWindow(hWnd));
    EXPECT_EQ(GetDC(hWnd), nullptr) << "a destroyed window's handle is not reused";
    EXPECT_EQ(DestroyWindow(hWnd), FALSE);
}

TEST(Window, FocusGoesToTheShownWindowAndAHiddenOneCausesNoError) {
    Observer observer;
    ASSERT_NE(observer.display, nullptr);
    HWND hWnd = createRecordedWindow();
    ASSERT_NE(hWnd, nullptr);
    testing::internal::CaptureStderr();
    SetForegroundWindow(hWnd);
    SetFocus(hWnd); // still unmapped: X would refuse the focus
    ShowWindow(hWnd, SW_SHOW);
    SetForegroundWindow(hWnd);
    SetFocus(hWnd);
    XSync(korvane::x11::display(), False);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(observer.display, &focus, &revert);
    EXPECT_EQ(focus, korvane::x11::xWindowOf(hWnd));
    DestroyWindow(hWnd);
}

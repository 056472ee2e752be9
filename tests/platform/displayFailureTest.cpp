// Window creation without a reachable X server. The connection is opened on
// the first call that needs it, so the environment is changed before that.
#include "platform/windows_api.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

LRESULT CALLBACK plainProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

HWND tryCreateWindow() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = plainProc;
        wc.lpszClassName = u"NoDisplayClass";
        registered = RegisterClassW(&wc) != 0;
    }
    return CreateWindowExW(0, u"NoDisplayClass", u"Korvane", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                           1024, 768, nullptr, nullptr, nullptr, nullptr);
}

} // namespace

TEST(NoDisplay, CreateWindowFailsWithDisplayUnset) {
    unsetenv("DISPLAY");
    EXPECT_EQ(tryCreateWindow(), nullptr);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) << "polling still works";
}

TEST(NoDisplay, CreateWindowFailsWithADeadDisplay) {
    setenv("DISPLAY", ":4999", 1); // no server listens there
    EXPECT_EQ(tryCreateWindow(), nullptr);
    EXPECT_EQ(GetDC(nullptr), nullptr);
}

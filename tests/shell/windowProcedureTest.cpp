// The main window's procedure: view-mode keys, resizing and quitting.
#include <gtest/gtest.h>

#include "shell/AppState.h"
#include "shell/shell.h"
#include "support/GLTestContext.h"

namespace {

LRESULT keyDown(HWND hWnd, WPARAM key) {
    return WndProc(hWnd, WM_KEYDOWN, key, 0);
}

} // namespace

TEST(WindowProcedure, F1AndF2SelectTheViewModeAndNoOtherKeyDoesAnything) {
    GLTestContext gl(1024, 768, WndProc);
    ASSERT_TRUE(gl.ok()) << gl.error();

    keyDown(gl.hWnd, VK_F2);
    EXPECT_EQ(appState.viewMode, viewModeDebug);
    keyDown(gl.hWnd, VK_F2); // a held key repeats
    EXPECT_EQ(appState.viewMode, viewModeDebug);
    keyDown(gl.hWnd, VK_F1);
    EXPECT_EQ(appState.viewMode, viewModeFinalImage);
    keyDown(gl.hWnd, VK_F1);
    EXPECT_EQ(appState.viewMode, viewModeFinalImage);

    // Nothing else switches, quits or resizes, in either view mode.
    const WPARAM others[] = {VK_ESCAPE, VK_F3,     VK_F12, VK_SPACE, VK_LEFT,
                             VK_RIGHT,  VK_RETURN, 'Q',    0x170};
    for (std::uint8_t mode : {viewModeFinalImage, viewModeDebug}) {
        appState.viewMode = mode;
        for (WPARAM key : others) {
            keyDown(gl.hWnd, key);
            EXPECT_EQ(appState.viewMode, mode) << "key " << key;
        }
    }
    // Only the low word is the key code: F2 with bits above it is still F2.
    keyDown(gl.hWnd, 0x10000 | VK_F2);
    EXPECT_EQ(appState.viewMode, viewModeDebug);

    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        EXPECT_NE(msg.message, static_cast<UINT>(WM_QUIT)) << "a key posted the quit message";
}

TEST(WindowProcedure, SizeMessageResizesWithTheLowAndHighWords) {
    GLTestContext gl(1024, 768, WndProc);
    ASSERT_TRUE(gl.ok()) << gl.error();

    WndProc(gl.hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(800, 600));
    EXPECT_EQ(appState.screenWidth, 800);
    EXPECT_EQ(appState.screenHeight, 600);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);

    // Minimising reports 0 x 0; the kind of change is not looked at.
    WndProc(gl.hWnd, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
    EXPECT_EQ(appState.screenWidth, 0);
    EXPECT_EQ(appState.screenHeight, 0);
}

TEST(WindowProcedure, DestroyPostsTheQuitMessageWithCodeZero) {
    GLTestContext gl(1024, 768, WndProc);
    ASSERT_TRUE(gl.ok()) << gl.error();

    WndProc(gl.hWnd, WM_DESTROY, 0, 0);
    MSG msg = {};
    bool quit = false;
    for (int i = 0; i < 1000 && !quit; ++i)
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message == WM_QUIT)
            quit = true;
    ASSERT_TRUE(quit);
    EXPECT_EQ(msg.wParam, 0u);
}

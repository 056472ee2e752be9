// The entry function's start-up sequence, main loop and shutdown, on a real
// window and context, with each platform set-up step made to fail in turn.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "shell/AppState.h"
#include "shell/shell.h"
#include "startupRecorder.h"

using recorder::calls;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

namespace {

// What initGL has left behind when the scene is built.
struct StateAtInitScene {
    GLint viewport[4];
    GLdouble projection[16];
    GLdouble modelview[16];
    GLint matrixMode, depthFunc, shadeModel, perspectiveHint;
    GLboolean lighting, texture2D, depthTest, cullFace;
    std::int32_t screenWidth, screenHeight;
    float lightAngle;
    bool contextCurrent;
} seen;

void captureStateAtInitScene() {
    glGetIntegerv(GL_VIEWPORT, seen.viewport);
    glGetDoublev(GL_PROJECTION_MATRIX, seen.projection);
    glGetDoublev(GL_MODELVIEW_MATRIX, seen.modelview);
    glGetIntegerv(GL_MATRIX_MODE, &seen.matrixMode);
    glGetIntegerv(GL_DEPTH_FUNC, &seen.depthFunc);
    glGetIntegerv(GL_SHADE_MODEL, &seen.shadeModel);
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &seen.perspectiveHint);
    seen.lighting = glIsEnabled(GL_LIGHTING);
    seen.texture2D = glIsEnabled(GL_TEXTURE_2D);
    seen.depthTest = glIsEnabled(GL_DEPTH_TEST);
    seen.cullFace = glIsEnabled(GL_CULL_FACE);
    seen.screenWidth = appState.screenWidth;
    seen.screenHeight = appState.screenHeight;
    seen.lightAngle = appState.lightAngle;
    seen.contextCurrent = glGetString(GL_VERSION) != nullptr;
    appState.viewMode = 0;
}

} // namespace

TEST(Startup, WindowThenCurrentContextThenGlewThenSceneThenFramesUntilClosedThenContextBeforeDC) {
    recorder::initScene = captureStateAtInitScene;
    appState.lightAngle = 99.0f; // initGL must reset it

    CaptureStderr();
    int status = recorder::runWinMain();
    std::string errors = GetCapturedStderr();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(errors, "");

    const std::vector<std::string> expected = {"RegisterClassW",
                                               "CreateWindowExW",
                                               "GetDC",
                                               "ChoosePixelFormat",
                                               "SetPixelFormat",
                                               "wglCreateContext",
                                               "wglMakeCurrent",
                                               "ShowWindow",
                                               "SetForegroundWindow",
                                               "SetFocus",
                                               "glewInit",
                                               "initScene",
                                               "ShowWindow",
                                               "UpdateWindow",
                                               "update",
                                               "render",
                                               "update",
                                               "render",
                                               "update",
                                               "render",
                                               "wglMakeCurrent(none)",
                                               "wglDeleteContext",
                                               "ReleaseDC"};
    EXPECT_EQ(calls, expected);

    // The window class and the window.
    EXPECT_EQ(recorder::windowClass.style, 0x23u);
    EXPECT_EQ(recorder::windowClass.lpfnWndProc, &WndProc);
    EXPECT_EQ(recorder::windowClass.cbClsExtra, 0);
    EXPECT_EQ(recorder::windowClass.cbWndExtra, 0);
    EXPECT_EQ(recorder::windowClass.hInstance, GetModuleHandleW(nullptr));
    EXPECT_EQ(recorder::windowClass.hIcon, LoadIconW(nullptr, IDI_WINLOGO));
    EXPECT_EQ(recorder::windowClass.hCursor, LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(recorder::windowClass.hbrBackground, nullptr);
    EXPECT_EQ(recorder::windowClass.lpszMenuName, nullptr);
    EXPECT_EQ(recorder::className, u"DeferredRenderingClass");
    EXPECT_EQ(recorder::caption, u"Korvane");
    const recorder::WindowRequest &request = recorder::windowRequest;
    EXPECT_EQ(request.exStyle, static_cast<DWORD>(WS_EX_APPWINDOW | WS_EX_WINDOWEDGE));
    EXPECT_EQ(request.style, static_cast<DWORD>(WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(request.x, CW_USEDEFAULT);
    EXPECT_EQ(request.y, 0);
    EXPECT_EQ(request.width, 1024);
    EXPECT_EQ(request.height, 768);
    EXPECT_EQ(request.parent, nullptr);
    EXPECT_EQ(request.menu, nullptr);
    EXPECT_EQ(request.instance, GetModuleHandleW(nullptr));
    EXPECT_EQ(request.param, nullptr);
    EXPECT_EQ(recorder::showCommands, (std::vector<int>{SW_SHOW, SW_SHOW}));

    // One pixel-format request, passed unchanged to Choose and Set.
    PIXELFORMATDESCRIPTOR want = {};
    want.nSize = 40;
    want.nVersion = 1;
    want.dwFlags = 0x25;
    want.iPixelType = PFD_TYPE_RGBA;
    want.cColorBits = 16;
    want.cDepthBits = 16;
    want.iLayerType = PFD_MAIN_PLANE;
    ASSERT_EQ(recorder::pixelFormatRequests.size(), 2u);
    for (const PIXELFORMATDESCRIPTOR &got : recorder::pixelFormatRequests)
        EXPECT_EQ(std::memcmp(&got, &want, sizeof want), 0);

    // Handles flow from the step that made them to the ones that use them,
    // and shutdown gives back exactly those.
    EXPECT_EQ(appState.hWnd, recorder::window);
    EXPECT_EQ(appState.hDC, recorder::deviceContext);
    EXPECT_EQ(appState.hRC, recorder::context);
    EXPECT_EQ(recorder::deletedContext, recorder::context);
    EXPECT_EQ(recorder::releasedWindow, recorder::window);
    EXPECT_EQ(recorder::releasedDC, recorder::deviceContext);

    // What the scene found when it was built: 1024 x 768 whatever the client
    // area, the camera projection, and the fixed render state.
    EXPECT_TRUE(seen.contextCurrent);
    EXPECT_EQ(seen.screenWidth, 1024);
    EXPECT_EQ(seen.screenHeight, 768);
    EXPECT_EQ(seen.lightAngle, 0.0f);
    EXPECT_EQ(seen.viewport[2], 1024);
    EXPECT_EQ(seen.viewport[3], 768);
    const double cotangent = 1.0 / std::tan(20.0 * M_PI / 180.0);
    EXPECT_NEAR(seen.projection[0], cotangent * 768.0 / 1024.0, 1e-6);
    EXPECT_NEAR(seen.projection[5], cotangent, 1e-6);
    EXPECT_EQ(seen.matrixMode, GL_MODELVIEW);
    EXPECT_EQ(seen.modelview[0], 1.0);
    EXPECT_EQ(seen.modelview[12], 0.0);
    EXPECT_FALSE(seen.lighting);
    EXPECT_TRUE(seen.texture2D);
    EXPECT_TRUE(seen.depthTest);
    EXPECT_TRUE(seen.cullFace);
    EXPECT_EQ(seen.depthFunc, GL_LEQUAL);
    EXPECT_EQ(seen.shadeModel, GL_SMOOTH);
    EXPECT_EQ(seen.perspectiveHint, GL_NICEST);
}

// Where the system takes a frame off the 1024 x 768 window (Wine leaves
// 1016 x 741), the scene is still built at 1024 x 768 with the viewport and
// the camera's aspect of that size, whatever WM_SIZE reported before; the
// client area counts only from the next WM_SIZE.
TEST(Startup, StartsAt1024x768WhereTheSystemFramesTheWindow) {
    recorder::initScene = captureStateAtInitScene;
    recorder::frameWidth = 8;
    recorder::frameHeight = 27;
    EXPECT_EQ(recorder::runWinMain(), 0);
    EXPECT_EQ(seen.screenWidth, 1024);
    EXPECT_EQ(seen.screenHeight, 768);
    EXPECT_EQ(seen.viewport[2], 1024);
    EXPECT_EQ(seen.viewport[3], 768);
    const double cotangent = 1.0 / std::tan(20.0 * M_PI / 180.0);
    EXPECT_NEAR(seen.projection[0], cotangent * 768.0 / 1024.0, 1e-6);
}

// A platform set-up step that fails ends start-up at once: one line on
// stderr naming the step, exit status 1, nothing after it runs.
struct FailingStep {
    const char *call;
    const char *message;
};

class StartupFailure : public testing::TestWithParam<FailingStep> {};

TEST_P(StartupFailure, FailedStepIsTheLastOneRunAndIsReportedWithStatusOne) {
    const FailingStep &step = GetParam();
    recorder::failingCall = step.call;

    CaptureStderr();
    int status = recorder::runWinMain();
    std::string errors = GetCapturedStderr();

    EXPECT_EQ(status, 1);
    EXPECT_EQ(errors, std::string(step.message) + "\n");
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), step.call) << "start-up went on after the failed step";
    EXPECT_EQ(recorder::count("initScene"), 0);
    EXPECT_EQ(recorder::count("render"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, StartupFailure,
    testing::Values(
        FailingStep{"RegisterClassW", "Korvane: cannot register the window class"},
        FailingStep{"CreateWindowExW",
                    "Korvane: cannot create the window (is DISPLAY set to a running X server?)"},
        FailingStep{"GetDC", "Korvane: cannot get the window's device context"},
        FailingStep{"ChoosePixelFormat",
                    "Korvane: no pixel format offers double-buffered RGBA with a depth buffer"},
        FailingStep{"SetPixelFormat", "Korvane: cannot set the pixel format of the window"},
        FailingStep{"wglCreateContext", "Korvane: cannot create the OpenGL context"},
        FailingStep{"wglMakeCurrent", "Korvane: cannot make the OpenGL context current"},
        FailingStep{"glewInit", "Korvane: cannot initialise GLEW: Missing GL version"}),
    [](const testing::TestParamInfo<FailingStep> &info) { return std::string(info.param.call); });

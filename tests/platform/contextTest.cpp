// Pixel formats, rendering contexts and buffer swaps on real windows.
#include <gtest/gtest.h>

#include "support/GLTestContext.h"
#include "platformTestSupport.h"

using namespace platformtest;

namespace {

PIXELFORMATDESCRIPTOR shellRequest() {
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 16;
    pfd.cDepthBits = 16;
    return pfd;
}

int configAttribute(int format, int name) {
    int value = -1;
    glXGetFBConfigAttrib(korvane::x11::state().display, korvane::x11::pixelFormats()[format - 1],
                         name, &value);
    return value;
}

} // namespace

TEST(PixelFormat, ChoosesAWindowFormatMeetingTheRequestOrNone) {
    HWND hWnd = createRecordedWindow();
    ASSERT_NE(hWnd, nullptr);
    HDC hDC = GetDC(hWnd);
    PIXELFORMATDESCRIPTOR pfd = shellRequest();
    int format = ChoosePixelFormat(hDC, &pfd);
    ASSERT_GE(format, 1);
    EXPECT_TRUE(configAttribute(format, GLX_RENDER_TYPE) & GLX_RGBA_BIT);
    EXPECT_TRUE(configAttribute(format, GLX_DOUBLEBUFFER));
    EXPECT_GE(configAttribute(format, GLX_DEPTH_SIZE), 16);
    EXPECT_GE(configAttribute(format, GLX_RED_SIZE) + configAttribute(format, GLX_GREEN_SIZE) +
                  configAttribute(format, GLX_BLUE_SIZE),
              16);
    EXPECT_TRUE(configAttribute(format, GLX_DRAWABLE_TYPE) & GLX_WINDOW_BIT);

    // Described as Windows describes it; without a descriptor, only counted.
    const int count = static_cast<int>(korvane::x11::pixelFormats().size());
    EXPECT_EQ(DescribePixelFormat(hDC, 1, 0, nullptr), count);
    PIXELFORMATDESCRIPTOR described = {};
    ASSERT_EQ(DescribePixelFormat(hDC, format, sizeof described, &described), count);
    EXPECT_TRUE(described.dwFlags & PFD_DOUBLEBUFFER);
    EXPECT_EQ(described.iPixelType, PFD_TYPE_RGBA);
    EXPECT_EQ(described.cDepthBits, configAttribute(format, GLX_DEPTH_SIZE));
    EXPECT_GE(described.cColorBits, 16);
    EXPECT_EQ(DescribePixelFormat(hDC, count + 1, sizeof described, &described), 0);

    PIXELFORMATDESCRIPTOR impossible = shellRequest();
    impossible.cDepthBits = 200;
    EXPECT_EQ(ChoosePixelFormat(hDC, &impossible), 0);
    PIXELFORMATDESCRIPTOR colourIndex = shellRequest();
    colourIndex.iPixelType = 1; // PFD_TYPE_COLORINDEX
    EXPECT_EQ(ChoosePixelFormat(hDC, &colourIndex), 0);
    EXPECT_EQ(ChoosePixelFormat(nullptr, &pfd), 0);
    DestroyWindow(hWnd);
}

TEST(PixelFormat, IsSetOnceAndGivesTheWindowItsVisual) {
    Observer observer;
    ASSERT_NE(observer.display, nullptr);
    HWND hWnd = createRecordedWindow();
    ASSERT_NE(hWnd, nullptr);
    HDC hDC = GetDC(hWnd);
    PIXELFORMATDESCRIPTOR pfd = shellRequest();
    int format = ChoosePixelFormat(hDC, &pfd);
    int formats = static_cast<int>(korvane::x11::pixelFormats().size());
    ASSERT_GE(formats, 2);
    int other = format == 1 ? 2 : 1;

    EXPECT_FALSE(SetPixelFormat(hDC, 0, &pfd));
    EXPECT_FALSE(SetPixelFormat(hDC, formats + 1, &pfd));
    EXPECT_EQ(wglCreateContext(hDC), nullptr) << "no context before a pixel format";
    ASSERT_TRUE(SetPixelFormat(hDC, format, &pfd));
    EXPECT_TRUE(SetPixelFormat(hDC, format, &pfd)) << "the same format again";
    EXPECT_FALSE(SetPixelFormat(hDC, other, &pfd)) << "another format";

    // GL draws into a child with the format's visual over the whole window.
    ::Window surface = korvane::x11::findWindow(hWnd)->surface;
    XWindowAttributes attrs;
    ASSERT_TRUE(XGetWindowAttributes(observer.display, surface, &attrs));
    EXPECT_EQ(static_cast<int>(XVisualIDFromVisual(attrs.visual)),
              configAttribute(format, GLX_VISUAL_ID));
    EXPECT_EQ(attrs.x, 0);
    EXPECT_EQ(attrs.width, 320);
    EXPECT_EQ(attrs.height, 240);
    ASSERT_TRUE(XGetWindowAttributes(observer.display, korvane::x11::xWindowOf(hWnd), &attrs));
    EXPECT_EQ(attrs.map_state, IsUnmapped);
    DestroyWindow(hWnd);
}

TEST(PixelFormat, ACloseRequestSentBeforeItIsSetIsHonoured) {
    // A tool that finds the window the moment it appears, before the
    // program sets its pixel format, asks it to close.
    Observer observer;
    ASSERT_NE(observer.display, nullptr);
    HWND hWnd = createRecordedWindow();
    ASSERT_NE(hWnd, nullptr);
    settleAndDispatch(observer.display); // also takes a quit left by an earlier test
    received.clear();
    ::Window xid = korvane::x11::xWindowOf(hWnd);
    observer.sendDeleteWindow(xid);
    XSync(observer.display, False);

    HDC hDC = GetDC(hWnd);
    PIXELFORMATDESCRIPTOR pfd = shellRequest();
    ASSERT_TRUE(SetPixelFormat(hDC, ChoosePixelFormat(hDC, &pfd), &pfd));
    EXPECT_EQ(korvane::x11::xWindowOf(hWnd), xid) << "the window that tools know stays";
    EXPECT_EQ(observer.stringProperty(xid, "_NET_WM_NAME"), "Korvane");

    EXPECT_TRUE(dispatchUntil([] { return !receivedOf(WM_DESTROY).empty(); }))
        << "the close request was lost";
    EXPECT_EQ(receivedOf(WM_CLOSE).size(), 1u);
    EXPECT_EQ(GetDC(hWnd), nullptr);
}

TEST(Context, SwapBuffersPutsTheFrameOnTheWindow) {
    Observer observer;
    ASSERT_NE(observer.display, nullptr);
    GLTestContext gl(64, 48);
    ASSERT_TRUE(gl.ok()) << gl.error();
    ShowWindow(gl.hWnd, SW_SHOW);
    glViewport(0, 0, 64, 48);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_TRUE(SwapBuffers(gl.hDC));
    glFinish();
    XSync(korvane::x11::state().display, False);

    XImage *image = XGetImage(observer.display, korvane::x11::xWindowOf(gl.hWnd), 32, 24, 1, 1,
                              AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    unsigned long pixel = XGetPixel(image, 0, 0);
    EXPECT_EQ(pixel & image->blue_mask, image->blue_mask);
    EXPECT_EQ(pixel & (image->red_mask | image->green_mask), 0u);
    XDestroyImage(image);
}

TEST(Context, ReleasingAndDeletingOutliveTheWindow) {
    // The order of the program's shutdown: the window is destroyed first,
    // the context still draws, then it is released and deleted.
    GLTestContext gl(64, 48);
    ASSERT_TRUE(gl.ok()) << gl.error();
    Observer observer;
    ASSERT_NE(observer.display, nullptr);
    ::Window xid = korvane::x11::xWindowOf(gl.hWnd);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(DestroyWindow(gl.hWnd));
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    EXPECT_TRUE(wglMakeCurrent(gl.hDC, nullptr));
    EXPECT_EQ(glXGetCurrentContext(), nullptr);
    EXPECT_TRUE(wglDeleteContext(gl.hRC));
    EXPECT_FALSE(wglDeleteContext(gl.hRC)) << "deleted once";
    EXPECT_EQ(ReleaseDC(gl.hWnd, gl.hDC), 0) << "the window is gone";
    XSync(korvane::x11::state().display, False);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    XWindowAttributes attrs;
    XSetErrorHandler([](Display *, XErrorEvent *) { return 0; });
    EXPECT_FALSE(XGetWindowAttributes(observer.display, xid, &attrs)) << "X window destroyed";
    gl.hRC = nullptr;
    gl.hDC = nullptr;
    gl.hWnd = nullptr;
}

TEST(Context, MakeCurrentRefusesUnknownHandles) {
    GLTestContext gl(64, 48);
    ASSERT_TRUE(gl.ok()) << gl.error();
    HGLRC bogus = reinterpret_cast<HGLRC>(static_cast<std::uintptr_t>(0xdead));
    EXPECT_FALSE(wglMakeCurrent(gl.hDC, bogus));
    EXPECT_FALSE(wglMakeCurrent(nullptr, gl.hRC));
    EXPECT_TRUE(wglMakeCurrent(gl.hDC, gl.hRC));
    EXPECT_NE(glXGetCurrentContext(), nullptr);
}

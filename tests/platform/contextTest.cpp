// Pixel formats, rendering contexts and buffer swaps on real windows.
#include <gtest/gtest.h>

#include "support/GLTestContext.h"
#include "platformTestSupport.h"

#include <GL/glx.h>
#include <X11/Xutil.h>

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

int integer(GLenum name) {
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

} // namespace

TEST(PixelFormat, ChoosesAFormatMeetingTheRequestAndTheContextHasIt) {
    HWND hWnd = createRecordedWindow();
    ASSERT_NE(hWnd, nullptr);
    HDC hDC = GetDC(hWnd);
    PIXELFORMATDESCRIPTOR pfd = shellRequest();
    int format = ChoosePixelFormat(hDC, &pfd);
    ASSERT_GE(format, 1);

    // Described as Windows describes it; without a descriptor, only counted.
    const int count = DescribePixelFormat(hDC, 1, 0, nullptr);
    ASSERT_GE(count, format);
    PIXELFORMATDESCRIPTOR described = {};
    ASSERT_EQ(DescribePixelFormat(hDC, format, sizeof described, &described), count);
    EXPECT_EQ(described.dwFlags & pfd.dwFlags, pfd.dwFlags);
    EXPECT_EQ(described.iPixelType, PFD_TYPE_RGBA);
    EXPECT_GE(described.cColorBits, 16);
    EXPECT_GE(described.cDepthBits, 16);
    EXPECT_EQ(DescribePixelFormat(hDC, count + 1, sizeof described, &described), 0);

    // A context on it has what the description says.
    ASSERT_TRUE(SetPixelFormat(hDC, format, &pfd));
    HGLRC hRC = wglCreateContext(hDC);
    ASSERT_TRUE(wglMakeCurrent(hDC, hRC));
    GLboolean doubleBuffered = GL_FALSE;
    glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
    EXPECT_TRUE(doubleBuffered);
    EXPECT_EQ(integer(GL_DEPTH_BITS), described.cDepthBits);
    EXPECT_EQ(integer(GL_RED_BITS) + integer(GL_GREEN_BITS) + integer(GL_BLUE_BITS),
              described.cColorBits);
    wglMakeCurrent(hDC, nullptr);
    wglDeleteContext(hRC);

    PIXELFORMATDESCRIPTOR impossible = shellRequest();
    impossible.cDepthBits = 200;
    EXPECT_EQ(ChoosePixelFormat(hDC, &impossible), 0);
    PIXELFORMATDESCRIPTOR colourIndex = shellRequest();
    colourIndex.iPixelType = PFD_TYPE_COLORINDEX;
    EXPECT_EQ(ChoosePixelFormat(hDC, &colourIndex), 0);
    EXPECT_EQ(ChoosePixelFormat(nullptr, &pfd), 0);
    DestroyWindow(hWnd);
}

TEST(PixelFormat, IsSetOnceAndGivesTheWindowASurfaceOverItsClientArea) {
    Observer observer;
    ASSERT_NE(observer.display, nullptr);
    HWND hWnd = createRecordedWindow();
    ASSERT_NE(hWnd, nullptr);
    HDC hDC = GetDC(hWnd);
    PIXELFORMATDESCRIPTOR pfd = shellRequest();
    int format = ChoosePixelFormat(hDC, &pfd);
    int formats = DescribePixelFormat(hDC, 1, 0, nullptr);
    ASSERT_GE(formats, 2);
    int other = format == 1 ? 2 : 1;

    EXPECT_FALSE(SetPixelFormat(hDC, 0, &pfd));
    EXPECT_FALSE(SetPixelFormat(hDC, formats + 1, &pfd));
    EXPECT_EQ(wglCreateContext(hDC), nullptr) << "no context before a pixel format";
    ASSERT_TRUE(SetPixelFormat(hDC, format, &pfd));
    EXPECT_TRUE(SetPixelFormat(hDC, format, &pfd)) << "the same format again";
    EXPECT_FALSE(SetPixelFormat(hDC, other, &pfd)) << "another format";

    // GL draws into the window's one child, which covers the whole window;
    // the window itself stays hidden.
    ::Window xid = korvane::x11::xWindowOf(hWnd);
    ::Window root, parent, *children = nullptr;
    unsigned count = 0;
    ASSERT_TRUE(XQueryTree(observer.display, xid, &root, &parent, &children, &count));
    ASSERT_EQ(count, 1u);
    XWindowAttributes attrs;
    ASSERT_TRUE(XGetWindowAttributes(observer.display, children[0], &attrs));
    XFree(children);
    EXPECT_EQ(attrs.x, 0);
    EXPECT_EQ(attrs.width, 320);
    EXPECT_EQ(attrs.height, 240);
    ASSERT_TRUE(XGetWindowAttributes(observer.display, xid, &attrs));
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
    XSync(korvane::x11::display(), False);

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
    XSync(korvane::x11::display(), False);
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

// Device contexts, pixel formats, rendering contexts and buffer swaps over GLX.
//
// A pixel format is a GLX framebuffer config that can draw to a window; the
// configs of the default screen are numbered from 1 in the server's order.
// Contexts use the classic (compatibility) profile, so the fixed-function
// pipeline is there alongside shaders.
#include "platform/x11_internal.h"

#include <climits>

namespace korvane::x11 {

namespace {

int attribute(Display *dpy, GLXFBConfig config, int name) {
    int value = 0;
    glXGetFBConfigAttrib(dpy, config, name, &value);
    return value;
}

// A config as Windows describes a pixel format.
PIXELFORMATDESCRIPTOR describe(Display *dpy, GLXFBConfig config) {
    auto bits = [&](int name) { return static_cast<BYTE>(attribute(dpy, config, name)); };
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL |
                  (attribute(dpy, config, GLX_DOUBLEBUFFER) ? PFD_DOUBLEBUFFER : 0);
    pfd.iPixelType = (attribute(dpy, config, GLX_RENDER_TYPE) & GLX_RGBA_BIT) ? PFD_TYPE_RGBA
                                                                              : PFD_TYPE_COLORINDEX;
    pfd.cRedBits = bits(GLX_RED_SIZE);
    pfd.cGreenBits = bits(GLX_GREEN_SIZE);
    pfd.cBlueBits = bits(GLX_BLUE_SIZE);
    pfd.cAlphaBits = bits(GLX_ALPHA_SIZE);
    pfd.cColorBits = static_cast<BYTE>(pfd.cRedBits + pfd.cGreenBits + pfd.cBlueBits);
    pfd.cAccumRedBits = bits(GLX_ACCUM_RED_SIZE);
    pfd.cAccumGreenBits = bits(GLX_ACCUM_GREEN_SIZE);
    pfd.cAccumBlueBits = bits(GLX_ACCUM_BLUE_SIZE);
    pfd.cAccumAlphaBits = bits(GLX_ACCUM_ALPHA_SIZE);
    pfd.cAccumBits = static_cast<BYTE>(pfd.cAccumRedBits + pfd.cAccumGreenBits +
                                       pfd.cAccumBlueBits + pfd.cAccumAlphaBits);
    pfd.cDepthBits = bits(GLX_DEPTH_SIZE);
    pfd.cStencilBits = bits(GLX_STENCIL_SIZE);
    pfd.cAuxBuffers = bits(GLX_AUX_BUFFERS);
    pfd.iLayerType = PFD_MAIN_PLANE;
    return pfd;
}

// How far a config is from the request; negative when it does not meet it.
// Requested bit counts are minimums; surplus and unrequested extras cost.
long distance(Display *dpy, GLXFBConfig config, const PIXELFORMATDESCRIPTOR &pfd) {
    const PIXELFORMATDESCRIPTOR has = describe(dpy, config);
    if (has.iPixelType != PFD_TYPE_RGBA)
        return -1;
    bool doubleBuffered = (has.dwFlags & PFD_DOUBLEBUFFER) != 0;
    bool wantDouble = (pfd.dwFlags & PFD_DOUBLEBUFFER) != 0;
    if (wantDouble && !doubleBuffered)
        return -1;
    int colour = has.cColorBits, alpha = has.cAlphaBits, depth = has.cDepthBits;
    int stencil = has.cStencilBits, accum = has.cAccumBits, aux = has.cAuxBuffers;
    if (colour < pfd.cColorBits || alpha < pfd.cAlphaBits || depth < pfd.cDepthBits ||
        stencil < pfd.cStencilBits || accum < pfd.cAccumBits || aux < pfd.cAuxBuffers)
        return -1;

    long cost = 0;
    if (attribute(dpy, config, GLX_CONFIG_CAVEAT) != GLX_NONE)
        cost += 100000; // slow or non-conformant
    if (attribute(dpy, config, GLX_SAMPLES) > 0)
        cost += 10000; // multisampling was not asked for
    XVisualInfo *visual = glXGetVisualFromFBConfig(dpy, config);
    if (visual) {
        if (visual->depth != DefaultDepth(dpy, DefaultScreen(dpy)))
            cost += 1000; // e.g. a translucent visual on an opaque screen
        XFree(visual);
    }
    if (!wantDouble && doubleBuffered)
        cost += 500;
    if (pfd.cColorBits)
        cost += colour - pfd.cColorBits;
    if (pfd.cDepthBits)
        cost += depth - pfd.cDepthBits;
    cost += (alpha - pfd.cAlphaBits) + (stencil - pfd.cStencilBits) + (accum - pfd.cAccumBits) +
            (aux - pfd.cAuxBuffers);
    return cost;
}

// The window-capable framebuffer configs of the default screen.
const std::vector<GLXFBConfig> &pixelFormats() {
    State &s = state();
    if (!s.pixelFormatsLoaded && s.display) {
        s.pixelFormatsLoaded = true;
        // A server without the GLX extension has no formats at all.
        int errorBase = 0, eventBase = 0;
        if (!glXQueryExtension(s.display, &errorBase, &eventBase))
            return s.pixelFormats;
        int count = 0;
        GLXFBConfig *configs = glXGetFBConfigs(s.display, DefaultScreen(s.display), &count);
        for (int i = 0; i < count; ++i) {
            if ((attribute(s.display, configs[i], GLX_DRAWABLE_TYPE) & GLX_WINDOW_BIT) &&
                attribute(s.display, configs[i], GLX_VISUAL_ID) != 0 &&
                attribute(s.display, configs[i], GLX_X_RENDERABLE))
                s.pixelFormats.push_back(configs[i]);
        }
        if (configs)
            XFree(configs);
    }
    return s.pixelFormats;
}

Context *findContext(HGLRC hRC) {
    State &s = state();
    auto found = s.contexts.find(hRC);
    return found == s.contexts.end() ? nullptr : &found->second;
}

// Destroys the drawables of destroyed windows that no context uses any more.
void destroyRetired() {
    State &s = state();
    std::vector<RetiredDrawable> keep;
    for (const RetiredDrawable &r : s.retired) {
        if (s.currentDrawable && (r.glxWindow == s.currentDrawable || r.xid == s.currentDrawable))
            keep.push_back(r);
        else
            destroyXWindow(r.xid, r.glxWindow, r.colormap);
    }
    s.retired.swap(keep);
}

} // namespace

void releaseCurrent() {
    State &s = state();
    if (s.display && s.currentContext)
        glXMakeContextCurrent(s.display, None, None, nullptr);
    s.currentContext = nullptr;
    s.currentDrawable = 0;
    if (s.display) {
        destroyRetired();
        XFlush(s.display);
    }
}

} // namespace korvane::x11

using namespace korvane::x11;

HDC WINAPI GetDC(HWND hWnd) {
    WindowInfo *w = findWindow(hWnd);
    return w ? w->dc : nullptr;
}

int WINAPI ReleaseDC(HWND hWnd, HDC hDC) {
    // Each window owns its device context for life; releasing it is a no-op
    // that only checks the pair.
    WindowInfo *w = findWindowByDC(hDC);
    return (w && (!hWnd || w->handle == hWnd)) ? 1 : 0;
}

int WINAPI ChoosePixelFormat(HDC hDC, const PIXELFORMATDESCRIPTOR *pfd) {
    if (!findWindowByDC(hDC) || !pfd || pfd->iPixelType != PFD_TYPE_RGBA)
        return 0;
    Display *dpy = state().display;
    const std::vector<GLXFBConfig> &formats = pixelFormats();
    int best = 0;
    long bestCost = LONG_MAX;
    for (std::size_t i = 0; i < formats.size(); ++i) {
        long cost = distance(dpy, formats[i], *pfd);
        if (cost >= 0 && cost < bestCost) {
            bestCost = cost;
            best = static_cast<int>(i) + 1;
        }
    }
    return best;
}

BOOL WINAPI SetPixelFormat(HDC hDC, int format, const PIXELFORMATDESCRIPTOR *) {
    WindowInfo *w = findWindowByDC(hDC);
    if (!w)
        return FALSE;
    // A window's pixel format is set once; setting the same one again is fine.
    if (w->pixelFormat)
        return w->pixelFormat == format ? TRUE : FALSE;
    const std::vector<GLXFBConfig> &formats = pixelFormats();
    if (format < 1 || static_cast<std::size_t>(format) > formats.size())
        return FALSE;
    Display *dpy = state().display;
    GLXFBConfig config = formats[format - 1];
    XVisualInfo *visual = glXGetVisualFromFBConfig(dpy, config);
    if (!visual)
        return FALSE;
    bool created = createSurface(*w, *visual);
    XFree(visual);
    if (!created)
        return FALSE;
    beginErrorTrap();
    GLXWindow glxWindow = glXCreateWindow(dpy, config, w->surface, nullptr);
    if (endErrorTrap() != 0 || !glxWindow) {
        destroyXWindow(w->surface, glxWindow, w->colormap);
        w->surface = 0;
        w->colormap = 0;
        return FALSE;
    }
    w->glxWindow = glxWindow;
    w->pixelFormat = format;
    return TRUE;
}

int WINAPI DescribePixelFormat(HDC hDC, int format, UINT bytes, PIXELFORMATDESCRIPTOR *pfd) {
    if (!findWindowByDC(hDC))
        return 0;
    const std::vector<GLXFBConfig> &formats = pixelFormats();
    int count = static_cast<int>(formats.size());
    if (!pfd)
        return count;
    if (format < 1 || format > count || bytes < sizeof(PIXELFORMATDESCRIPTOR))
        return 0;
    *pfd = describe(state().display, formats[format - 1]);
    return count;
}

BOOL WINAPI SwapBuffers(HDC hDC) {
    WindowInfo *w = findWindowByDC(hDC);
    if (!w || !w->glxWindow)
        return FALSE;
    glXSwapBuffers(state().display, w->glxWindow);
    return TRUE;
}

HGLRC WINAPI wglCreateContext(HDC hDC) {
    WindowInfo *w = findWindowByDC(hDC);
    if (!w || !w->pixelFormat)
        return nullptr;
    State &s = state();
    beginErrorTrap();
    GLXContext glx = glXCreateNewContext(s.display, pixelFormats()[w->pixelFormat - 1],
                                         GLX_RGBA_TYPE, nullptr, True);
    if (endErrorTrap() != 0 || !glx) {
        if (glx)
            glXDestroyContext(s.display, glx);
        return nullptr;
    }
    HGLRC hRC = newHandle<HGLRC>();
    s.contexts[hRC] = Context{glx, w->pixelFormat};
    return hRC;
}

BOOL WINAPI wglMakeCurrent(HDC hDC, HGLRC hRC) {
    State &s = state();
    if (!hRC) {
        // Releasing needs no live device context: the window may be gone.
        releaseCurrent();
        return TRUE;
    }
    Context *context = findContext(hRC);
    WindowInfo *w = findWindowByDC(hDC);
    if (!context || !w || !w->glxWindow || context->pixelFormat != w->pixelFormat)
        return FALSE;
    beginErrorTrap();
    Bool made = glXMakeContextCurrent(s.display, w->glxWindow, w->glxWindow, context->glx);
    if (endErrorTrap() != 0 || !made) {
        releaseCurrent();
        return FALSE;
    }
    s.currentContext = hRC;
    s.currentDrawable = w->glxWindow;
    destroyRetired();
    return TRUE;
}

BOOL WINAPI wglDeleteContext(HGLRC hRC) {
    State &s = state();
    Context *context = findContext(hRC);
    if (!context)
        return FALSE;
    if (s.currentContext == hRC)
        releaseCurrent();
    glXDestroyContext(s.display, context->glx);
    XFlush(s.display);
    s.contexts.erase(hRC);
    return TRUE;
}

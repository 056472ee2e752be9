#include "XProbe.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <thread>

#include "ChildProcess.h"

bool near(Rgb a, Rgb b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

bool isBlack(Rgb c) {
    return c.r == 0 && c.g == 0 && c.b == 0;
}

// Approximate: the composite may treat the background a little differently
// from the stored clear colour (rounding, gamma).
bool isSky(Rgb c) {
    return near(c, skyColour, 12);
}

double skyOutlineAgreement(const Picture &a, Area inA, const Picture &b, Area inB) {
    const int columns = 64, rows = 48;
    int agree = 0, compared = 0;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            double u = (column + 0.5) / columns, v = (row + 0.5) / rows;
            int xa = inA.x + static_cast<int>(u * inA.width);
            int ya = inA.y + static_cast<int>(v * inA.height);
            int xb = inB.x + static_cast<int>(u * inB.width);
            int yb = inB.y + static_cast<int>(v * inB.height);
            if (!a.contains(xa, ya) || !b.contains(xb, yb))
                continue;
            agree += isSky(a.at(xa, ya)) == isSky(b.at(xb, yb)) ? 1 : 0;
            ++compared;
        }
    }
    return compared ? static_cast<double>(agree) / compared : 0.0;
}

double Picture::share(int x0, int y0, int x1, int y1, const std::function<bool(Rgb)> &test) const {
    long hits = 0, total = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x, ++total)
            hits += test(at(x, y)) ? 1 : 0;
    return total ? static_cast<double>(hits) / static_cast<double>(total) : 0.0;
}

int Picture::distinctColours(int limit) const {
    std::set<int> seen;
    for (const Rgb &c : pixels) {
        seen.insert((c.r << 16) | (c.g << 8) | c.b);
        if (static_cast<int>(seen.size()) >= limit)
            break;
    }
    return static_cast<int>(seen.size());
}

void Picture::save(const std::string &path) const {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << width << " " << height << "\n255\n";
    for (const Rgb &c : pixels) {
        char rgb[3] = {static_cast<char>(c.r), static_cast<char>(c.g), static_cast<char>(c.b)};
        out.write(rgb, 3);
    }
}

bool waitUntil(std::chrono::milliseconds timeout, const std::function<bool()> &condition) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

namespace {

void findIn(Display *x, ::Window parent, const std::string &title, int depth,
            std::vector<::Window> &found) {
    char *name = nullptr;
    if (XFetchName(x, parent, &name) && name) {
        bool match = title == name;
        XFree(name);
        if (match) {
            found.push_back(parent);
            return;
        }
    }
    if (depth == 0)
        return;
    ::Window root = 0, parentOfParent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(x, parent, &root, &parentOfParent, &children, &count))
        return;
    for (unsigned int i = 0; i < count; ++i)
        findIn(x, children[i], title, depth - 1, found);
    if (children)
        XFree(children);
}

void sendToRoot(Display *x, ::Window window, const char *message, long l0, long l1, long l2) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(x, message, False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = l0;
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    XSendEvent(x, DefaultRootWindow(x), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
    XFlush(x);
}

} // namespace

std::vector<::Window> findWindows(Display *x, const std::string &title) {
    // Top-level windows, or clients inside a window manager's frames.
    std::vector<::Window> found;
    findIn(x, DefaultRootWindow(x), title, 3, found);
    return found;
}

::Window findWindow(Display *x, const std::string &title) {
    std::vector<::Window> found = findWindows(x, title);
    return found.empty() ? 0 : found.front();
}

::Window waitForWindow(Display *x, const std::string &title, std::chrono::milliseconds timeout) {
    ::Window found = 0;
    waitUntil(timeout, [&] { return (found = findWindow(x, title)) != 0; });
    return found;
}

std::string textProperty(Display *x, ::Window window, const char *property, std::string *type) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    std::string value;
    type->clear();
    if (XGetWindowProperty(x, window, XInternAtom(x, property, False), 0, 1024, False,
                           AnyPropertyType, &actualType, &format, &count, &after,
                           &data) == Success &&
        actualType != None) {
        char *typeName = XGetAtomName(x, actualType);
        *type = typeName ? typeName : "";
        if (typeName)
            XFree(typeName);
        if (format == 8 && data)
            value.assign(reinterpret_cast<char *>(data), count);
    }
    if (data)
        XFree(data);
    return value;
}

::Window activeWindow(Display *x) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    ::Window active = 0;
    if (XGetWindowProperty(x, DefaultRootWindow(x), XInternAtom(x, "_NET_ACTIVE_WINDOW", False), 0,
                           1, False, XA_WINDOW, &actualType, &format, &count, &after,
                           &data) == Success &&
        actualType == XA_WINDOW && format == 32 && count == 1 && data)
        active = static_cast<::Window>(*reinterpret_cast<unsigned long *>(data));
    if (data)
        XFree(data);
    return active;
}

Size windowSize(Display *x, ::Window window) {
    XWindowAttributes attributes = {};
    if (!XGetWindowAttributes(x, window, &attributes))
        return {};
    return {attributes.width, attributes.height};
}

bool isViewable(Display *x, ::Window window) {
    XWindowAttributes attributes = {};
    return XGetWindowAttributes(x, window, &attributes) && attributes.map_state == IsViewable;
}

namespace {

// The window that holds what the program draws in `window`: the innermost
// child that covers it whole, or the window itself. Both builds draw with
// OpenGL into such a child, and Wine keeps that child's pixels off screen,
// so that the window itself reads black there.
::Window drawnWindow(Display *x, ::Window window) {
    for (;;) {
        Size size = windowSize(x, window);
        ::Window root = 0, parent = 0, *children = nullptr, covering = 0;
        unsigned int count = 0;
        if (!XQueryTree(x, window, &root, &parent, &children, &count))
            return window;
        for (unsigned int i = 0; i < count && !covering; ++i) {
            XWindowAttributes child = {};
            if (XGetWindowAttributes(x, children[i], &child) && child.map_state == IsViewable &&
                child.x == 0 && child.y == 0 && child.width >= size.width &&
                child.height >= size.height)
                covering = children[i];
        }
        if (children)
            XFree(children);
        if (!covering)
            return window;
        window = covering;
    }
}

} // namespace

Picture grab(Display *x, ::Window window) {
    Picture picture;
    Size size = windowSize(x, window);
    window = drawnWindow(x, window);
    if (size.width <= 0 || size.height <= 0)
        return picture;
    XImage *image = XGetImage(x, window, 0, 0, static_cast<unsigned>(size.width),
                              static_cast<unsigned>(size.height), AllPlanes, ZPixmap);
    if (!image)
        return picture;
    auto channel = [](unsigned long pixel, unsigned long mask) {
        int shift = __builtin_ctzl(mask);
        return static_cast<int>(((pixel & mask) >> shift) * 255 / (mask >> shift));
    };
    picture.width = size.width;
    picture.height = size.height;
    picture.pixels.resize(static_cast<std::size_t>(size.width) * size.height);
    for (int y = 0; y < size.height; ++y) {
        for (int x0 = 0; x0 < size.width; ++x0) {
            unsigned long pixel = XGetPixel(image, x0, y);
            picture.pixels[static_cast<std::size_t>(y) * size.width + x0] = {
                channel(pixel, image->red_mask), channel(pixel, image->green_mask),
                channel(pixel, image->blue_mask)};
        }
    }
    XDestroyImage(image);
    return picture;
}

bool pressKeys(Display *x, ::Window window, const std::string &display,
               const std::vector<std::string> &keys) {
    XSetInputFocus(x, window, RevertToParent, CurrentTime);
    XSync(x, False);
    std::vector<std::string> command = {"xdotool", "key", "--delay", "50"};
    command.insert(command.end(), keys.begin(), keys.end());
    std::optional<int> status = runToEnd(command, display, std::chrono::seconds(20));
    return status && *status == 0;
}

void requestSize(Display *x, ::Window window, int width, int height) {
    XResizeWindow(x, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFlush(x);
}

void requestMinimise(Display *x, ::Window window) {
    XIconifyWindow(x, window, DefaultScreen(x));
    XFlush(x);
}

void requestActivate(Display *x, ::Window window) {
    // Source 2: a pager or task bar, which window managers obey at once.
    sendToRoot(x, window, "_NET_ACTIVE_WINDOW", 2, CurrentTime, 0);
}

void requestClose(Display *x, ::Window window) {
    sendToRoot(x, window, "_NET_CLOSE_WINDOW", CurrentTime, 2, 0);
}

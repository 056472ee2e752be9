// What a test sees of a window on the X server and how it drives it: find it
// by title, read its properties and pixels, press keys, resize, minimise,
// restore and close it through the window manager.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct Rgb {
    int r = 0, g = 0, b = 0;
};
// Within `tolerance` on every channel.
bool near(Rgb a, Rgb b, int tolerance);

// The G-buffer's clear colour (0.2, 0.3, 0.8) in 8 bits: the sky.
constexpr Rgb skyColour{51, 77, 204};

struct Picture {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;
    Rgb at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    // Share of the pixels in [x0, x1) x [y0, y1) for which `test` holds.
    double share(int x0, int y0, int x1, int y1, const std::function<bool(Rgb)> &test) const;
    // How many different colours the picture holds (up to `limit`).
    int distinctColours(int limit) const;
    // Saves the picture as a binary PPM file for a person to look at.
    void save(const std::string &path) const;
};

// Share of a 64 x 48 grid of sample points at which two regions of two
// pictures agree on being sky: the sky's outline is fixed (the models only
// turn in place), so two pictures of the scene framed alike agree almost
// everywhere, whatever the time between them. Points that fall outside
// either picture are left out.
struct Area {
    int x, y, width, height;
};
double skyOutlineAgreement(const Picture &a, Area inA, const Picture &b, Area inB);

bool isBlack(Rgb c);
bool isSky(Rgb c);

// Polls `condition` every 50 ms until it holds or `timeout` passes.
bool waitUntil(std::chrono::milliseconds timeout, const std::function<bool()> &condition);

// The top-level client windows whose WM_NAME is `title` (searched through
// window-manager frames); findWindow gives the first, or 0.
std::vector<::Window> findWindows(Display *x, const std::string &title);
::Window findWindow(Display *x, const std::string &title);
::Window waitForWindow(Display *x, const std::string &title, std::chrono::milliseconds timeout);

// A text property as raw bytes, with the name of its type; empty type if unset.
std::string textProperty(Display *x, ::Window window, const char *property, std::string *type);

struct Size {
    int width = 0, height = 0;
};
Size windowSize(Display *x, ::Window window);
// The window that the window manager names active on the root (0 if none).
::Window activeWindow(Display *x);
bool isViewable(Display *x, ::Window window);

// The window's pixels as the server holds them, read from the child that
// the program draws into where one covers the window; empty if they cannot
// be read.
Picture grab(Display *x, ::Window window);

// Gives the window the input focus and types `keys` (xdotool key names) as
// real key presses through the XTEST extension.
bool pressKeys(Display *x, ::Window window, const std::string &display,
               const std::vector<std::string> &keys);

// Asks for a new client size; the window manager, if any, carries it out.
void requestSize(Display *x, ::Window window, int width, int height);
// Asks the window manager to minimise the window (ICCCM WM_CHANGE_STATE).
void requestMinimise(Display *x, ::Window window);
// Asks the window manager to activate, and so restore, the window.
void requestActivate(Display *x, ::Window window);
// Asks the window manager to close the window (_NET_CLOSE_WINDOW), as a task
// bar does; the window manager sends the program WM_DELETE_WINDOW.
void requestClose(Display *x, ::Window window);

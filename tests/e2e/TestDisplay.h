// A private X server (Xvfb) for one test, optionally with a window manager
// (openbox) on it, and a connection of the test's own to inspect and drive it.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <string>
#include <vector>

class TestDisplay {
  public:
    // Starts Xvfb on a free display number with a 1280x1024x24 screen and
    // any further server options given and, if asked, openbox; waits until
    // both are ready. ok() tells whether they are.
    explicit TestDisplay(bool withWindowManager,
                         const std::vector<std::string> &serverOptions = {});
    ~TestDisplay();
    TestDisplay(const TestDisplay &) = delete;
    TestDisplay &operator=(const TestDisplay &) = delete;

    bool ok() const { return error_.empty(); }
    const std::string &error() const { return error_; }
    // The value for DISPLAY, e.g. ":3".
    const std::string &name() const { return name_; }
    Display *x() const { return x_; }

  private:
    bool waitForWindowManager();

    std::string error_;
    std::string name_;
    Display *x_ = nullptr;
    pid_t server_ = -1;
    pid_t windowManager_ = -1;
};

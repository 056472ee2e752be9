// Base fixture for end-to-end tests of the real program: a private X server,
// a temporary folder laid out as a user's copy of the program, and the
// program started from that folder. Which build runs (the Linux program, or
// the Windows one under Wine) is ProgramUnderTest's choice; tests are
// written once for both.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "ChildProcess.h"
#include "ProgramUnderTest.h"
#include "TestDisplay.h"
#include "XProbe.h"

using namespace std::chrono_literals;

class KorvaneTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the private X server (with openbox if asked, and with any
    // further server options); fails the test if it does not come up.
    void startDisplay(bool withWindowManager, const std::vector<std::string> &serverOptions = {});
    // Starts the program in the temporary folder on the private display,
    // or with no DISPLAY at all if `withDisplay` is false. Unless
    // `recordFrames` is false, Mesa's Gallium drivers keep a record of the
    // frames that the program presents (see framesTimed); a test that weighs
    // the program's own memory runs it without that record.
    void startKorvane(bool withDisplay = true, bool recordFrames = true);
    // Waits for the program's window to be shown and returns it (0 if none).
    ::Window waitForKorvaneWindow(const std::string &title = "Korvane");
    // Waits until the window shows a picture for which `looksRight` holds.
    bool waitForPicture(::Window window, std::chrono::milliseconds timeout,
                        const std::function<bool(const Picture &)> &looksRight);
    // How many frames the driver has timed since the program started: one
    // for each frame that it presented after the first. The count comes
    // from the driver's own record (Gallium's hidden HUD, writing the time
    // of each frame to a file), not from the window, so it holds on drivers
    // whose pictures the X server never shows.
    int framesTimed() const;
    // Waits until the driver has timed `count` more frames than `since`.
    bool waitForFramesTimed(int since, int count, std::chrono::milliseconds timeout) const;
    // Waits for the program to end after a failed start-up and returns its
    // exit status (empty if it is still running). On Windows the program
    // also shows its message in a box titled "Korvane" that waits for the
    // user; the test presses Return on it, as a user presses OK, and says
    // in `sawMessageBox` that it did.
    std::optional<int> waitForFailedStartUp(std::chrono::milliseconds timeout, bool &sawMessageBox);
    // Keeps the window's current picture in the build's test-output folder.
    void keepPicture(::Window window, const std::string &name);

    // A file of the temporary copy of data/.
    std::filesystem::path dataFile(const std::string &name) const;
    void writeDataFile(const std::string &name, const std::string &contents) const;

    Display *x() const { return display->x(); }
    static const ProgramUnderTest &program() { return ProgramUnderTest::current(); }

    std::filesystem::path folder; // the program's copy with data/, and its output files
    // What startKorvane starts: the program, or a tool of the package.
    std::string executable = "korvane";
    std::vector<std::string> arguments;
    std::unique_ptr<TestDisplay> display;
    ChildProcess korvane;
};

// How long a test waits for the program to end after it was asked to close.
// A bound on the wait, not a speed the program must reach: a sanitizer build
// on a loaded machine can take seconds to leave, checking its heap for leaks.
constexpr auto exitAfterClose = 30s;

// The 1024 x 768 given at creation is the window's outer size. Our X11
// layer gives its windows no frame, so there it is the client size too;
// Windows (and Wine) take the frame out of it, at most this much.
constexpr int maxFrameWidth = 16, maxFrameHeight = 64;

// Where the program's 1024 x 768 start-up viewport lies in a picture of its
// window. OpenGL anchors it at the window's bottom-left corner, so where
// the client area is smaller than 1024 x 768, its top rows and right
// columns fall outside the window.
Area startupViewport(const Picture &picture);

// The final image at any window size: sky at both top corners, the floor
// (neither sky nor black) in the middle of the bottom edge, and no black
// area at the bottom right.
bool looksFinal(const Picture &picture);
// The debug view in the start-up viewport: three G-buffer quarters that
// show the sky near their top-left corners, the shadow map's square, bright where no model
// casts depth, and the black strip at the bottom right.
bool looksDebug(const Picture &picture);

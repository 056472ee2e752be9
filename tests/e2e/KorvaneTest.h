// Base fixture for end-to-end tests of the real `korvane` binary: a private
// X server, a temporary folder holding a copy of data/, and the program
// started from that folder.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "ChildProcess.h"
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
    // Starts the program from the temporary folder on the private display,
    // or with no DISPLAY at all if `withDisplay` is false.
    void startKorvane(bool withDisplay = true);
    // Waits for the program's window to be shown and returns it (0 if none).
    ::Window waitForKorvaneWindow();
    // Waits until the window shows a picture for which `looksRight` holds.
    bool waitForPicture(::Window window, std::chrono::milliseconds timeout,
                        const std::function<bool(const Picture &)> &looksRight);
    // Keeps the window's current picture in the build's test-output folder.
    void keepPicture(::Window window, const std::string &name);

    // A file of the temporary copy of data/.
    std::filesystem::path dataFile(const std::string &name) const;
    void writeDataFile(const std::string &name, const std::string &contents) const;

    Display *x() const { return display->x(); }

    std::filesystem::path folder; // holds data/ and the program's output files
    std::unique_ptr<TestDisplay> display;
    ChildProcess korvane;
};

// The final image at any window size: sky at both top corners, the floor
// (neither sky nor black) in the middle of the bottom edge, and no black
// area at the bottom right.
bool looksFinal(const Picture &picture);
// The debug view at 1024 x 768: three G-buffer quarters that show the sky in
// their top-left corners, the shadow map's square, bright where no model
// casts depth, and the black strip at the bottom right.
bool looksDebug(const Picture &picture);

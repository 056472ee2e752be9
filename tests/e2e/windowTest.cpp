// The window as the program shows it, without a window manager: its title
// and size, the first frames, the F1/F2 view switch and Alt+F4. The window
// procedure's own tests cover what each key does; these cover the real key
// path, from the X server through the Linux layer or through Wine.
#include "KorvaneTest.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

class WindowTest : public KorvaneTest {
  protected:
    void SetUp() override {
        KorvaneTest::SetUp();
        startDisplay(false);
        startKorvane();
        window = waitForKorvaneWindow();
        ASSERT_NE(window, 0u) << "no window titled Korvane appeared\n" << korvane.standardError();
    }

    ::Window window = 0;
};

TEST_F(WindowTest, IsTitledKorvaneAndHasTheRequestedSize) {
    std::string type;
    EXPECT_EQ(textProperty(x(), window, "WM_NAME", &type), "Korvane");
    EXPECT_EQ(type, "STRING");
    EXPECT_EQ(textProperty(x(), window, "_NET_WM_NAME", &type), "Korvane");
    EXPECT_EQ(type, "UTF8_STRING");
    // The client area: the 1024 x 768 outer size given at creation, less
    // the frame if the platform draws one.
    Size size = windowSize(x(), window);
    EXPECT_LE(size.width, 1024);
    EXPECT_GE(size.width, 1024 - maxFrameWidth);
    EXPECT_LE(size.height, 768);
    EXPECT_GE(size.height, 768 - maxFrameHeight);
}

TEST_F(WindowTest, ShowsTheSceneWithinSeconds) {
    EXPECT_TRUE(waitForPicture(window, 10s, looksFinal)) << "the window never showed the scene";
    keepPicture(window, "first-frames");
    Picture picture = grab(x(), window);
    ASSERT_GT(picture.width, 0);
    // Sky at both top corners, and models drawn in front of it.
    EXPECT_TRUE(isSky(picture.at(2, 2)));
    EXPECT_TRUE(isSky(picture.at(picture.width - 3, 2)));
    EXPECT_LT(picture.share(0, 0, picture.width, picture.height, isSky), 0.8);
    EXPECT_LT(picture.share(0, 0, picture.width, picture.height, isBlack), 0.01);
    EXPECT_TRUE(korvane.running());
}

TEST_F(WindowTest, F2ShowsTheDebugViewAndF1TheFinalImage) {
    ASSERT_TRUE(waitForPicture(window, 10s, looksFinal));
    Picture finalImage = grab(x(), window);

    ASSERT_TRUE(pressKeys(x(), window, display->name(), {"F2"}));
    EXPECT_TRUE(waitForPicture(window, 5s, looksDebug)) << "F2 did not show the debug view";
    keepPicture(window, "debug-view");
    // The top-left quarter is the G-buffer's diffuse texture at half size:
    // the same framing as the final image.
    Picture debugView = grab(x(), window);
    Area quarter = startupViewport(debugView);
    quarter.width /= 2;
    quarter.height /= 2;
    EXPECT_GT(skyOutlineAgreement(finalImage, startupViewport(finalImage), debugView, quarter),
              0.97);

    ASSERT_TRUE(pressKeys(x(), window, display->name(), {"F1"}));
    EXPECT_TRUE(waitForPicture(window, 5s, looksFinal)) << "F1 did not bring back the image";
    EXPECT_FALSE(looksDebug(grab(x(), window)));
    EXPECT_TRUE(korvane.running());
}

// One whole run as a user makes it: frames in the debug view, frames in
// the final image again, and Alt+F4, which without a window manager to take
// it reaches the program, which closes as a Windows program does. This case
// also runs on the other drivers, so it counts the frames from the driver's
// record and never reads the window: under zink on Xvfb the window shows
// none of them. What the window shows is the point of the cases above.
TEST_F(WindowTest, AltF4ClosesItWithStatusZero) {
    // softpipe takes seconds for a frame of the final image and a fraction
    // of one for the debug view: there the run ends in the debug view, and
    // the GL-error and capture cases draw the final image on it.
    const char *driver = std::getenv("KORVANE_TEST_DRIVER");
    const bool slowFinalImage = driver && std::string(driver) == "softpipe";
    std::vector<std::string> views = {"F2", "F1"};
    if (slowFinalImage)
        views.pop_back();
    for (const std::string &view : views) {
        // The second frame timed after a key is one that began after it.
        const int before = framesTimed();
        ASSERT_TRUE(pressKeys(x(), window, display->name(), {view}));
        ASSERT_TRUE(waitForFramesTimed(before, 2, 60s)) << "no frames drawn after " << view;
    }
    ASSERT_TRUE(pressKeys(x(), window, display->name(), {"alt+F4"}));
    std::optional<int> status = korvane.waitForExit(exitAfterClose);
    ASSERT_TRUE(status.has_value()) << "still running after Alt+F4";
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(korvane.standardError(), "");
    EXPECT_EQ(findWindow(x(), "Korvane"), 0u) << "a window was left behind";
}

} // namespace

// The window as the program shows it, without a window manager: its title
// and size, the first frames, and Alt+F4.
#include "KorvaneTest.h"

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

// Without a window manager to take it, Alt+F4 reaches the program, which
// closes as a Windows program does.
TEST_F(WindowTest, AltF4ClosesItWithStatusZero) {
    ASSERT_TRUE(waitForPicture(window, 10s, looksFinal));
    ASSERT_TRUE(pressKeys(x(), window, display->name(), {"alt+F4"}));
    std::optional<int> status = korvane.waitForExit(exitAfterClose);
    ASSERT_TRUE(status.has_value()) << "still running after Alt+F4";
    EXPECT_EQ(*status, 0) << korvane.standardError();
    EXPECT_EQ(findWindow(x(), "Korvane"), 0u) << "a window was left behind";
}

} // namespace

// A long run with the view switched and the window resized every second:
// the program must stay alive and its memory must not grow.
#include "KorvaneTest.h"

#include <cstdlib>
#include <iostream>
#include <thread>

namespace {

// KORVANE_SOAK_SECONDS lengthens the run for a soak by hand (default 30).
int soakSeconds() {
    const char *text = std::getenv("KORVANE_SOAK_SECONDS");
    int seconds = text ? std::atoi(text) : 0;
    return seconds > 0 ? seconds : 30;
}

// Growth of the resident set allowed over the run. It is measured from the
// end of the first full cycle (two seconds: both views and both sizes shown
// once, so the driver has made the buffers and programs it needs for them)
// to the end of the run, which comes back to the same view and size.
constexpr long allowedGrowthKiB = 4 * 1024;

#ifdef __SANITIZE_ADDRESS__
// AddressSanitizer holds freed memory back in quarantine, so the resident
// set of an instrumented build grows whatever the program does.
constexpr bool memoryIsMeaningful = false;
#else
constexpr bool memoryIsMeaningful = true;
#endif

class SoakTest : public KorvaneTest {};

TEST_F(SoakTest, StaysAliveAndKeepsItsMemoryWhileSwitchingAndResizing) {
    startDisplay(true);
    startKorvane(true, false);
    ::Window window = waitForKorvaneWindow();
    ASSERT_NE(window, 0u) << korvane.standardError();
    ASSERT_TRUE(waitForPicture(window, 10s, looksFinal));

    // An even number of seconds, so that the run ends in the final image at
    // 1024 x 768 as the first cycle does.
    const int seconds = (soakSeconds() + 1) / 2 * 2;
    long startKiB = 0;
    auto next = std::chrono::steady_clock::now();
    for (int second = 0; second < seconds; ++second) {
        next += 1s;
        bool even = second % 2 == 0;
        ASSERT_TRUE(pressKeys(x(), window, display->name(), {even ? "F2" : "F1"}));
        if (even)
            requestSize(x(), window, 800, 600);
        else
            requestSize(x(), window, 1024, 768);
        std::this_thread::sleep_until(next);
        ASSERT_TRUE(korvane.running()) << "the program ended after " << second + 1 << " s\n"
                                       << korvane.standardError();
        if (second == 1)
            startKiB = korvane.residentKiB();
        if (std::getenv("KORVANE_SOAK_TRACE"))
            std::cout << "after " << second + 1 << " s: " << korvane.residentKiB() << " KiB\n";
    }

    long endKiB = korvane.residentKiB();
    std::cout << "resident set after the first cycle: " << startKiB << " KiB, after " << seconds
              << " s: " << endKiB << " KiB\n";
    ASSERT_GT(startKiB, 0);
    if (memoryIsMeaningful)
        EXPECT_LE(endKiB - startKiB, allowedGrowthKiB);
    else
        std::cout << "(an AddressSanitizer build: growth not judged)\n";

    // Still drawing, and it still ends cleanly.
    EXPECT_TRUE(waitForPicture(window, 5s, [](const Picture &p) { return isSky(p.at(2, 2)); }));
    requestClose(x(), window);
    std::optional<int> status = korvane.waitForExit(exitAfterClose);
    ASSERT_TRUE(status.has_value()) << "still running long after the close";
    EXPECT_EQ(*status, 0) << korvane.standardError();
}

} // namespace

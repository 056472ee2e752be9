#include "KorvaneTest.h"

#include <cstdlib>
#include <fstream>
#include <iostream>

void KorvaneTest::SetUp() {
    std::string pattern = (std::filesystem::temp_directory_path() / "korvane-e2e-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder = pattern;
    program().layOut(folder);
}

void KorvaneTest::TearDown() {
    if (korvane.running() && HasFailure())
        std::cerr << "the program's stderr so far:\n" << korvane.standardError();
    korvane.stop();
    // No process that Wine started for the test may outlive it.
    std::string wineLeft = program().endWine();
    EXPECT_EQ(wineLeft, "") << "Wine processes left after the test";
    display.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

void KorvaneTest::startDisplay(bool withWindowManager,
                               const std::vector<std::string> &serverOptions) {
    display = std::make_unique<TestDisplay>(withWindowManager, serverOptions);
    ASSERT_TRUE(display->ok()) << display->error();
}

void KorvaneTest::startKorvane(bool withDisplay, bool recordFrames) {
    // The program inherits these. The HUD is hidden, so the picture is the
    // program's alone; with frametime, the driver writes one line for each
    // frame after the first as the program presents it. The HUD has memory
    // of its own, so it is left out where the program's memory is measured.
    const std::filesystem::path frames = folder / "frames";
    std::filesystem::create_directory(frames);
    if (recordFrames) {
        setenv("GALLIUM_HUD", "frametime", 1);
        setenv("GALLIUM_HUD_VISIBLE", "false", 1);
        setenv("GALLIUM_HUD_DUMP_DIR", frames.c_str(), 1);
    } else {
        unsetenv("GALLIUM_HUD");
        unsetenv("GALLIUM_HUD_VISIBLE");
        unsetenv("GALLIUM_HUD_DUMP_DIR");
    }
    std::vector<std::string> command = program().command(folder, executable);
    command.insert(command.end(), arguments.begin(), arguments.end());
    ASSERT_TRUE(korvane.start(command.front(), {command.begin() + 1, command.end()},
                              folder.string(), withDisplay ? display->name() : std::string(),
                              folder.string()))
        << "cannot start the " << program().name() << " program";
}

::Window KorvaneTest::waitForKorvaneWindow(const std::string &title) {
    // The window exists, still hidden, before the program has its context;
    // it is returned once it is shown.
    ::Window window = 0;
    waitUntil(20s, [&] {
        window = findWindow(x(), title);
        return window && isViewable(x(), window);
    });
    return window && isViewable(x(), window) ? window : 0;
}

bool KorvaneTest::waitForPicture(::Window window, std::chrono::milliseconds timeout,
                                 const std::function<bool(const Picture &)> &looksRight) {
    return waitUntil(timeout, [&] {
        Picture picture = grab(x(), window);
        return picture.width > 0 && looksRight(picture);
    });
}

int KorvaneTest::framesTimed() const {
    int lines = 0;
    std::error_code error;
    for (const auto &file : std::filesystem::directory_iterator(folder / "frames", error)) {
        std::ifstream record(file.path());
        std::string line;
        while (std::getline(record, line))
            ++lines;
    }
    return lines;
}

bool KorvaneTest::waitForFramesTimed(int since, int count,
                                     std::chrono::milliseconds timeout) const {
    return waitUntil(timeout, [&] { return framesTimed() >= since + count; });
}

std::optional<int> KorvaneTest::waitForFailedStartUp(std::chrono::milliseconds timeout,
                                                     bool &sawMessageBox) {
    sawMessageBox = false;
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (std::optional<int> status = korvane.waitForExit(100ms))
            return status;
        // The box is a small window with the program's title; the main
        // window, which may be shown as well, is nearly 1024 x 768.
        for (::Window window : findWindows(x(), "Korvane")) {
            Size size = windowSize(x(), window);
            if (isViewable(x(), window) && size.width < 640 && size.height < 480) {
                sawMessageBox = true;
                pressKeys(x(), window, display->name(), {"Return"});
            }
        }
    }
    return korvane.waitForExit(0ms);
}

void KorvaneTest::keepPicture(::Window window, const std::string &name) {
    grab(x(), window).save(std::string(KORVANE_TEST_OUTPUT_DIR) + "/e2e-" + name + ".ppm");
}

std::filesystem::path KorvaneTest::dataFile(const std::string &name) const {
    return folder / "data" / name;
}

void KorvaneTest::writeDataFile(const std::string &name, const std::string &contents) const {
    std::ofstream out(dataFile(name), std::ios::binary | std::ios::trunc);
    out << contents;
}

bool looksFinal(const Picture &p) {
    Rgb bottom = p.at(p.width / 2, p.height - 3);
    // The composite covers the whole window, so unlike the debug view it
    // leaves no black corner at the bottom right.
    bool noBlackCorner = p.share(p.width * 7 / 8, p.height / 2, p.width, p.height, isBlack) < 0.01;
    return isSky(p.at(2, 2)) && isSky(p.at(p.width - 3, 2)) && !isSky(bottom) && !isBlack(bottom) &&
           noBlackCorner && p.distinctColours(1000) >= 1000;
}

Area startupViewport(const Picture &p) {
    return {0, p.height - 768, 1024, 768};
}

bool looksDebug(const Picture &p) {
    const Area viewport = startupViewport(p);
    if (p.width < 1024 - maxFrameWidth || p.width > 1024 || viewport.y < -maxFrameHeight ||
        viewport.y > 0)
        return false;
    // Positions in the viewport, measured from its top-left corner, 40 rows
    // down so that they lie inside the window whatever its frame took.
    auto at = [&](int x, int y) { return p.at(x, viewport.y + y); };
    bool quarters = isSky(at(2, 40)) && isSky(at(514, 40)) && isSky(at(2, 424));
    Rgb shadowMapCorner = at(520, 392);
    bool shadowMap = shadowMapCorner.r > 200 && shadowMapCorner.g > 200 && shadowMapCorner.b > 200;
    bool strip = p.share(896, viewport.y + 384, p.width, p.height, isBlack) > 0.999;
    return quarters && shadowMap && strip;
}

#include "KorvaneTest.h"

#include <fstream>
#include <iostream>

void KorvaneTest::SetUp() {
    std::string pattern = (std::filesystem::temp_directory_path() / "korvane-e2e-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder = pattern;
    std::filesystem::copy(std::filesystem::path(KORVANE_SOURCE_DIR) / "data", folder / "data",
                          std::filesystem::copy_options::recursive);
}

void KorvaneTest::TearDown() {
    if (korvane.running() && HasFailure())
        std::cerr << "the program's stderr so far:\n" << korvane.standardError();
    korvane.stop();
    display.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

void KorvaneTest::startDisplay(bool withWindowManager,
                               const std::vector<std::string> &serverOptions) {
    display = std::make_unique<TestDisplay>(withWindowManager, serverOptions);
    ASSERT_TRUE(display->ok()) << display->error();
}

void KorvaneTest::startKorvane(bool withDisplay) {
    ASSERT_TRUE(korvane.start(KORVANE_PROGRAM, {}, folder.string(),
                              withDisplay ? display->name() : std::string(), folder.string()));
}

::Window KorvaneTest::waitForKorvaneWindow() {
    // The window exists, still hidden, before the program has its context;
    // it is returned once it is shown.
    ::Window window = 0;
    waitUntil(20s, [&] {
        window = findWindow(x(), "Korvane");
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

bool looksDebug(const Picture &p) {
    if (p.width != 1024 || p.height != 768)
        return false;
    bool quarters = isSky(p.at(2, 2)) && isSky(p.at(514, 2)) && isSky(p.at(2, 386));
    Rgb shadowMapCorner = p.at(520, 392);
    bool shadowMap = shadowMapCorner.r > 200 && shadowMapCorner.g > 200 && shadowMapCorner.b > 200;
    bool strip = p.share(896, 384, 1024, 768, isBlack) > 0.999;
    return quarters && shadowMap && strip;
}

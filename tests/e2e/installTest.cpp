// The installed program: `cmake --install` into a prefix, the tree moved
// elsewhere, and the `korvane` launcher started from a folder without data.
#include "KorvaneTest.h"

namespace {

class InstallTest : public KorvaneTest {};

TEST_F(InstallTest, TheLauncherOfAMovedInstallationShowsTheScene) {
    std::filesystem::path staged = folder / "staged";
    std::optional<int> installed = runToEnd(
        {KORVANE_CMAKE_COMMAND, "--install", KORVANE_BINARY_DIR, "--prefix", staged.string()}, "",
        120s);
    ASSERT_EQ(installed, 0) << "cmake --install failed";
    for (const char *path :
         {"bin/korvane", "libexec/korvane/korvane", "share/korvane/data/deferredShading.vert",
          "share/korvane/data/earth.raw", "share/applications/korvane.desktop",
          "share/icons/hicolor/scalable/apps/korvane.svg",
          "share/metainfo/invalid.korvane.korvane.metainfo.xml"})
        EXPECT_TRUE(std::filesystem::exists(staged / path)) << path;

    std::filesystem::path moved = folder / "elsewhere" / "prefix";
    std::filesystem::create_directories(moved.parent_path());
    std::filesystem::rename(staged, moved);
    std::filesystem::path empty = folder / "empty";
    std::filesystem::create_directory(empty);

    startDisplay(true);
    ASSERT_TRUE(korvane.start((moved / "bin/korvane").string(), {}, empty.string(), display->name(),
                              folder.string()));
    ::Window window = waitForKorvaneWindow();
    ASSERT_NE(window, 0u) << korvane.standardError();
    EXPECT_TRUE(waitForPicture(window, 10s, looksFinal)) << "the scene was not drawn";
    requestClose(x(), window);
    std::optional<int> status = korvane.waitForExit(exitAfterClose);
    ASSERT_TRUE(status.has_value()) << "still running long after the close";
    EXPECT_EQ(*status, 0) << korvane.standardError();
}

} // namespace

// Helpers for tests of the scene and the frame: the render state that the
// shell sets before the scene is built, a working folder with a data/ folder
// of the test's choosing, and PNG output.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include <png.h>

#include "drawables/ModelTestKit.h"
#include "platform/opengl.h"
#include "shell/AppState.h"
#include "shell/shell.h"

namespace scenekit {

// What the shell leaves in force when it builds the scene on a context of the
// test's own: the drawing size with its viewport and camera projection (the
// shell's own resize), and the fixed render state.
inline void prepareLikeTheShell(HDC hDC, int width, int height) {
    appState.hDC = hDC;
    resize(width, height);
    setFixedRenderState();
}

// A temporary working folder whose data/ holds the program's four shader
// files and whichever texture files the test writes there. The previous
// working folder comes back when it ends.
class WorkingFolder {
  public:
    WorkingFolder() : previous_(std::filesystem::current_path()) {
        if (!dir_.ok())
            return;
        const std::filesystem::path source = std::filesystem::path(KORVANE_SOURCE_DIR) / "data";
        std::filesystem::create_directory(dir_.path() / "data");
        for (const char *name : {"deferredShading.vert", "deferredShading.frag",
                                 "deferredRendering.vert", "deferredRendering.frag"})
            std::filesystem::copy_file(source / name, dir_.path() / "data" / name);
        std::filesystem::current_path(dir_.path());
        ok_ = true;
    }
    ~WorkingFolder() { std::filesystem::current_path(previous_); }
    WorkingFolder(const WorkingFolder &) = delete;
    WorkingFolder &operator=(const WorkingFolder &) = delete;

    bool ok() const { return ok_; }
    // Writes a RAW texture of the given side in one flat colour.
    void writeTexture(const std::string &name, int side, unsigned char r, unsigned char g,
                      unsigned char b) const {
        std::vector<unsigned char> bytes;
        for (int i = 0; i < side * side; ++i)
            bytes.insert(bytes.end(), {r, g, b});
        testkit::writeFile((dir_.path() / "data" / name).string(), bytes);
    }
    void remove(const std::string &name) const {
        std::filesystem::remove(dir_.path() / "data" / name);
    }

  private:
    testkit::TempDir dir_;
    std::filesystem::path previous_;
    bool ok_ = false;
};

// An RGB image read from OpenGL: rows bottom-up, as glReadPixels gives them.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    const unsigned char *at(int x, int y) const {
        return &rgb[3 * (static_cast<std::size_t>(y) * width + x)];
    }
};

// Saves the image as a PNG, top row first as it appears on screen.
inline bool savePng(const Image &image, const std::string &path) {
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
                 static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = image.height - 1; y >= 0; --y)
        png_write_row(png, const_cast<png_bytep>(image.at(0, y)));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

inline std::string outputPath(const std::string &name) {
    return (std::filesystem::path(KORVANE_TEST_OUTPUT_DIR) / name).string();
}

} // namespace scenekit

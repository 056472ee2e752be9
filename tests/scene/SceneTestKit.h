// Helpers for tests of the scene and the frame: the render state that the
// shell sets before the scene is built, a working folder with a data/ folder
// of the test's choosing, and PNG output.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "drawables/ModelTestKit.h"
#include "drawables/IModel.h"
#include "platform/opengl.h"
#include "shading/DeferredRendering.h"
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

// Deletes the renderer and the models in the order shutdown does, but keeps
// the test's own context, and clears their slots.
inline void deleteScene() {
    delete appState.deferredRendering;
    appState.deferredRendering = nullptr;
    for (IModel *&model : appState.models) {
        delete model;
        model = nullptr;
    }
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

} // namespace scenekit

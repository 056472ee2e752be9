// Helpers for tests of the scene and the frame: the render state that the
// shell sets before the scene is built, a working folder with a data/ folder
// of the test's choosing, and reading back what a frame drew.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "drawables/IModel.h"
#include "platform/opengl.h"
#include "shading/DeferredRendering.h"
#include "shell/AppState.h"
#include "shell/shell.h"
#include "support/TempDir.h"

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

// A fixed moment of the animation: the light angle the test chooses, and
// fixed turns of the two spheres.
inline void setMoment(float lightAngle) {
    appState.lightAngle = lightAngle;
    appState.models[3]->rotationX = 30;
    appState.models[3]->rotationY = 60;
    appState.models[4]->rotationX = 75;
    appState.models[4]->rotationY = 150;
}

// The light angles that a picture test checks: all of its own, or where the
// driver is slow (KORVANE_TEST_EVERY_NTH_LIGHT_ANGLE=n in the environment)
// every n-th of them, starting with the first.
inline std::vector<float> lightAnglesToCheck(const std::vector<float> &angles) {
    const char *every = std::getenv("KORVANE_TEST_EVERY_NTH_LIGHT_ANGLE");
    const int step = every ? std::max(1, std::atoi(every)) : 1;
    std::vector<float> checked;
    for (std::size_t i = 0; i < angles.size(); i += static_cast<std::size_t>(step))
        checked.push_back(angles[i]);
    return checked;
}

// A temporary working folder whose data/ holds the program's four shader
// files and whichever texture files the test writes there. The previous
// working folder comes back when it ends.
class WorkingFolder {
  public:
    WorkingFolder() {
        if (!dir_.ok())
            return;
        const std::filesystem::path source = std::filesystem::path(KORVANE_SOURCE_DIR) / "data";
        std::filesystem::create_directory(dir_.file("data"));
        for (const char *name : {"deferredShading.vert", "deferredShading.frag",
                                 "deferredRendering.vert", "deferredRendering.frag"})
            std::filesystem::copy_file(source / name, dir_.file("data/" + std::string(name)));
        inside_ = std::make_unique<ScopedWorkingDirectory>(dir_.path());
    }
    WorkingFolder(const WorkingFolder &) = delete;
    WorkingFolder &operator=(const WorkingFolder &) = delete;

    bool ok() const { return inside_ != nullptr; }
    // Writes a RAW texture of the given side in one flat colour.
    void writeTexture(const std::string &name, int side, unsigned char r, unsigned char g,
                      unsigned char b) const {
        std::vector<unsigned char> bytes;
        for (int i = 0; i < side * side; ++i)
            bytes.insert(bytes.end(), {r, g, b});
        dir_.write("data/" + name, bytes);
    }
    void remove(const std::string &name) const {
        std::filesystem::remove(dir_.file("data/" + name));
    }

  private:
    TempDir dir_;
    std::unique_ptr<ScopedWorkingDirectory> inside_; // goes before the folder
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

// The window's back buffer over the current viewport: what drawFrame drew
// before render would present it.
inline Image readBackBuffer() {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    Image image;
    image.width = viewport[2];
    image.height = viewport[3];
    image.rgb.assign(3 * static_cast<std::size_t>(image.width) * image.height, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, image.width, image.height, GL_RGB, GL_UNSIGNED_BYTE, image.rgb.data());
    return image;
}

// Level 0 of a texture as floats, rows bottom-up.
inline std::vector<float> textureFloats(GLuint texture, GLenum format, int channels, int width,
                                        int height) {
    std::vector<float> data(static_cast<std::size_t>(width) * height * channels);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_FLOAT, data.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return data;
}

} // namespace scenekit

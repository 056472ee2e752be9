// korvane-capture: draws the real scene once, at the light angle and sphere
// rotations given on the command line, and saves the frame it draws in
// both view modes together with the four render-target textures; or draws
// the final image at a sequence of light angles over one turn. On request
// the final image shows the lighting alone, with nothing casting a shadow.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "CaptureOptions.h"
#include "RgbImage.h"
#include "drawables/IModel.h"
#include "platform/opengl.h"
#include "readback.h"
#include "scene/scene.h"
#include "sceneWindow.h"
#include "shading/DeferredRendering.h"
#include "shell/AppState.h"

namespace {

const int failed = 1;
const int usageError = 2;

bool save(const std::filesystem::path &dir, const char *name, const RgbImage &image) {
    std::string path = (dir / name).string();
    if (!writePng(path, image)) {
        std::fprintf(stderr, "korvane-capture: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

// Draws the composite again over the G-buffer and with the matrices that the
// final image just used, after emptying the shadow map: its start clears the
// depth to the far plane and nothing is drawn before its stop, so no texel
// lies in front of any surface and nothing casts a shadow.
void redrawWithoutShadows() {
    DeferredRendering &renderer = *appState.deferredRendering;
    renderer.shadowMap.start();
    renderer.shadowMap.stop();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderer.render();
}

// Draws a frame in the given view mode and reads it from the back buffer,
// before any swap; `withoutShadows` redraws a final image with an empty
// shadow map first. Only the part of the picture inside the client area is
// read: all of it under X, and under Windows the bottom-left part, since
// there the window's border and caption take some of its 1024x768.
bool captureFrame(std::uint8_t viewMode, bool withoutShadows, RgbImage &image) {
    appState.viewMode = viewMode;
    drawFrame();
    if (withoutShadows && viewMode == viewModeFinalImage)
        redrawWithoutShadows();
    RECT client = {};
    GetClientRect(appState.hWnd, &client);
    image = readBackBuffer(std::min<int>(appState.screenWidth, client.right),
                           std::min<int>(appState.screenHeight, client.bottom));
    if (image.width <= 0 || image.height <= 0) {
        std::fprintf(stderr, "korvane-capture: the window has no drawing area\n");
        return false;
    }
    if (image.isUniform()) {
        std::fprintf(stderr, "korvane-capture: the frame is one flat colour\n");
        return false;
    }
    return true;
}

// The final image at `frames` light angles spread evenly over one turn from
// `start`, saved as turn-000.png, turn-001.png, ... Only the light moves.
bool captureTurn(const std::filesystem::path &dir, float start, int frames, bool withoutShadows) {
    RgbImage picture(1, 1);
    for (int k = 0; k < frames; ++k) {
        appState.lightAngle = static_cast<float>(std::fmod(start + 360.0 * k / frames, 360.0));
        char name[32];
        std::snprintf(name, sizeof name, "turn-%03d.png", k);
        if (!captureFrame(viewModeFinalImage, withoutShadows, picture) || !save(dir, name, picture))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv) {
    CaptureOptions options;
    std::string error;
    if (!parseCaptureOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "korvane-capture: %s\n", error.c_str());
        return usageError;
    }
    if (options.help) {
        std::fputs(captureUsage, stdout);
        return 0;
    }
    std::filesystem::path dir(options.outputDir);
    std::error_code made;
    std::filesystem::create_directories(dir, made);
    if (made) {
        std::fprintf(stderr, "korvane-capture: cannot create %s: %s\n", dir.string().c_str(),
                     made.message().c_str());
        return failed;
    }

    if (!openSceneWindow("korvane-capture", TEXT("KorvaneCaptureClass"), TEXT("Korvane capture")))
        return failed;

    appState.lightAngle = options.lightAngle;
    for (int axis = 0; axis < 3; ++axis) {
        float *lower[3] = {&appState.models[3]->rotationX, &appState.models[3]->rotationY,
                           &appState.models[3]->rotationZ};
        float *upper[3] = {&appState.models[4]->rotationX, &appState.models[4]->rotationY,
                           &appState.models[4]->rotationZ};
        *lower[axis] = options.lowerSphere[axis];
        *upper[axis] = options.upperSphere[axis];
    }

    if (options.turnFrames > 0) {
        bool ok = captureTurn(dir, options.lightAngle, options.turnFrames, options.noShadows);
        closeSceneWindow();
        return ok ? 0 : failed;
    }

    bool ok = true;
    RgbImage picture(1, 1);
    ok = ok && captureFrame(viewModeFinalImage, options.noShadows, picture) &&
         save(dir, "final.png", picture);
    ok = ok && captureFrame(viewModeDebug, false, picture) && save(dir, "debug.png", picture);
    if (ok) {
        // The G-buffer and the shadow map still hold the last frame.
        const FBORenderTexture &gBuffer = appState.deferredRendering->gBuffer;
        ok = save(dir, "gbuffer-diffuse.png", readDiffuseTexture(gBuffer.diffuseTexture)) &&
             save(dir, "gbuffer-position.png", readPositionTexture(gBuffer.positionTexture)) &&
             save(dir, "gbuffer-normals.png", readNormalsTexture(gBuffer.normalsTexture)) &&
             save(dir, "shadow-map.png",
                  readDepthTexture(appState.deferredRendering->shadowMap.depthTexture));
    }

    closeSceneWindow();
    return ok ? 0 : failed;
}

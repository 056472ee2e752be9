#include "scene/scene.h"

#include <cstring>

#include "drawables/IModel.h"
#include "scene/frameViews.h"
#include "shading/DeferredRendering.h"
#include "shell/AppState.h"

namespace {

void drawModels() {
    for (IModel *model : appState.models)
        model->draw();
}

// The debug view: the three G-buffer textures at half size in three quarters
// of the window and the shadow map as a square whose top-left corner is the
// centre. Sizes and offsets are pixels from the window's top-left corner.
void showDebugView(DeferredRendering &renderer) {
    const float width = static_cast<float>(appState.screenWidth);
    const float height = static_cast<float>(appState.screenHeight);
    renderer.gBuffer.showTexture(0, width, height, 512.0f, 384.0f, 0.0f, 0.0f);
    renderer.gBuffer.showTexture(1, width, height, 512.0f, 384.0f, 512.0f, 0.0f);
    renderer.gBuffer.showTexture(2, width, height, 512.0f, 384.0f, 0.0f, 384.0f);
    renderer.shadowMap.showTexture(width, height, 384.0f, 384.0f, 512.0f, 384.0f);
}

} // namespace

void drawFrame() {
    DeferredRendering &renderer = *appState.deferredRendering;
    GLfloat lightView[16];
    GLfloat lightProjection[16];
    GLfloat cameraView[16];

    // The window clear uses the black that the previous frame's G-buffer start
    // left; the colour set right after it serves the G-buffer clear.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.2f, 0.3f, 0.8f, 1.0f);

    // Light pass: depth only, into the shadow map.
    loadLightProjectionAndView(appState.lightAngle);

    // Cull the faces turned toward the light, so the shadow map holds the
    // depth of the far sides and lit surfaces do not shadow themselves.
    glFrontFace(GL_CW);

    renderer.shadowMap.start();
    drawModels();
    renderer.shadowMap.stop();

    glGetFloatv(GL_MODELVIEW_MATRIX, lightView);
    glGetFloatv(GL_PROJECTION_MATRIX, lightProjection);

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();

    // Camera pass into the G-buffer.
    loadCameraView();
    glFrontFace(GL_CCW);
    glGetFloatv(GL_MODELVIEW_MATRIX, cameraView);

    renderer.gBuffer.start();
    drawModels();
    renderer.gBuffer.stop();

    if (appState.viewMode == viewModeFinalImage) {
        std::memcpy(renderer.worldToLightViewMatrix, lightView, sizeof lightView);
        std::memcpy(renderer.lightViewToProjectionMatrix, lightProjection, sizeof lightProjection);
        std::memcpy(renderer.worldToCameraViewMatrix, cameraView, sizeof cameraView);
        renderer.render();
    } else {
        showDebugView(renderer);
    }
}

void render() {
    drawFrame();
    SwapBuffers(appState.hDC);
}

#include "scene/scene.h"

#include "drawables/CubeModel.h"
#include "drawables/PlaneModel.h"
#include "drawables/SphereModel.h"
#include "drawables/loadTexture.h"
#include "shading/DeferredRendering.h"
#include "shell/AppState.h"

namespace {

// Every model draws itself into the G-buffer with the same shader pair.
const char *const modelVertexShader = "data/deferredShading.vert";
const char *const modelFragmentShader = "data/deferredShading.frag";

// Builds one model, stores it in its slot right away (so a later failure
// leaves the earlier slots filled), gives it its texture and places it.
// A texture that cannot be read leaves the model untextured.
template <class Kind>
IModel *addModel(int slot, float scale, const char *textureFile, float x, float y, float z) {
    IModel *model = new Kind(modelVertexShader, modelFragmentShader, scale);
    appState.models[slot] = model;
    loadTexture(textureFile, *model);
    model->positionX = x;
    model->positionY = y;
    model->positionZ = z;
    return model;
}

} // namespace

void initScene() {
    appState.viewMode = viewModeFinalImage;
    appState.deferredRendering = new DeferredRendering(appState.screenWidth, appState.screenHeight);

    // Slot order is drawing order.
    addModel<PlaneModel>(0, 5.0f, "data/plane.raw", 0.0f, 0.0f, 0.0f);
    addModel<CubeModel>(1, 1.0f, "data/box.raw", -1.0f, 3.0f, -1.0f);
    IModel *lowerBox = addModel<CubeModel>(2, 1.0f, "data/box.raw", -1.0f, 1.0f, -1.0f);
    lowerBox->rotationX = 0.0f;
    lowerBox->rotationY = 20.0f;
    lowerBox->rotationZ = 0.0f;
    addModel<SphereModel>(3, 1.0f, "data/earth.raw", 1.5f, 2.0f, 0.5f);
    addModel<SphereModel>(4, 1.0f, "data/earth.raw", 1.5f, 5.0f, 0.5f);

    // The first update measures from here, so the animation starts from the
    // scene as built rather than from however long the machine has been up.
    appState.lastTick = GetTickCount();
}

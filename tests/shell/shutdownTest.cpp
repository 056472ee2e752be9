// Shutdown after the window is closed: the renderer first, then the five
// models in slot order, while the context is current; then the context and
// the device context.
#include <gtest/gtest.h>

#include <algorithm>

#include "RecordingModel.h"
#include "shading/DeferredRendering.h"
#include "shell/AppState.h"
#include "startupRecorder.h"

using recorder::calls;

namespace {

PFNGLDELETEFRAMEBUFFERSEXTPROC realDeleteFramebuffers = nullptr;

// Records the renderer's framebuffer deletions and passes them on.
void GLAPIENTRY recordDeleteFramebuffers(GLsizei n, const GLuint *framebuffers) {
    calls.push_back("glDeleteFramebuffersEXT");
    realDeleteFramebuffers(n, framebuffers);
}

void buildRecordedScene() {
    appState.deferredRendering = new DeferredRendering(appState.screenWidth, appState.screenHeight);
    realDeleteFramebuffers = glDeleteFramebuffersEXT;
    glDeleteFramebuffersEXT = recordDeleteFramebuffers;
    for (int slot = 0; slot < 5; ++slot)
        appState.models[slot] = new RecordingModel(slot);
    appState.viewMode = 0;
}

} // namespace

TEST(Shutdown, RendererThenModelsInSlotOrderWhileTheContextIsCurrentThenContextThenDC) {
    recorder::initScene = buildRecordedScene;
    recorder::framesBeforeClose = 2;

    EXPECT_EQ(recorder::runWinMain(), 0);

    // Everything after the last frame: the renderer's framebuffers go first
    // (how many it holds is its own affair), then the models in slot order,
    // all while the context is current; then the context, then the DC.
    auto afterLastFrame = std::find(calls.rbegin(), calls.rend(), "render").base();
    ASSERT_NE(afterLastFrame, calls.begin()) << "no frame was drawn";
    std::vector<std::string> shutdown(afterLastFrame, calls.end());
    const auto firstModel = std::find(shutdown.begin(), shutdown.end(), "~model0");
    const long framebuffers =
        std::count(shutdown.begin(), shutdown.end(), "glDeleteFramebuffersEXT");
    EXPECT_GT(framebuffers, 0) << "the renderer was not deleted";
    EXPECT_EQ(std::count(shutdown.begin(), firstModel, "glDeleteFramebuffersEXT"), framebuffers)
        << "the renderer went after a model";
    const std::vector<std::string> expectedRest = {
        "~model0",          "~model1",  "~model2", "~model3", "~model4", "wglMakeCurrent(none)",
        "wglDeleteContext", "ReleaseDC"};
    EXPECT_EQ(std::vector<std::string>(firstModel, shutdown.end()), expectedRest);
}

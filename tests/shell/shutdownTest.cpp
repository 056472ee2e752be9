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

TEST(Shutdown, GivesBackRendererThenModelsInSlotOrderThenContextAndDeviceContext) {
    recorder::initScene = buildRecordedScene;
    recorder::framesBeforeClose = 2;

    EXPECT_EQ(recorder::runWinMain(), 0);

    // Everything after the last frame.
    auto afterLastFrame = std::find(calls.rbegin(), calls.rend(), "render").base();
    ASSERT_NE(afterLastFrame, calls.begin()) << "no frame was drawn";
    // The G-buffer and the shadow map each delete their framebuffer.
    const std::vector<std::string> expected = {"glDeleteFramebuffersEXT",
                                               "glDeleteFramebuffersEXT",
                                               "~model0",
                                               "~model1",
                                               "~model2",
                                               "~model3",
                                               "~model4",
                                               "wglMakeCurrent(none)",
                                               "wglDeleteContext",
                                               "ReleaseDC"};
    EXPECT_EQ(std::vector<std::string>(afterLastFrame, calls.end()), expected);
}

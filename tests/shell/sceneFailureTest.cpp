// A failure raised while the scene is built ends start-up: its message on
// stderr as it stands, exit status 1, the context and the device context
// given back, and the loop never entered.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "RecordingModel.h"
#include "shell/AppState.h"
#include "startupRecorder.h"

using recorder::calls;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

namespace {

void expectStartupEndedWith(const std::string &message,
                            const std::vector<std::string> &builtAndGivenBack = {}) {
    CaptureStderr();
    int status = recorder::runWinMain();
    std::string errors = GetCapturedStderr();

    EXPECT_EQ(status, 1);
    EXPECT_EQ(errors, message + "\n");
    std::vector<std::string> tail = {"initScene"};
    tail.insert(tail.end(), builtAndGivenBack.begin(), builtAndGivenBack.end());
    tail.insert(tail.end(), {"wglMakeCurrent(none)", "wglDeleteContext", "ReleaseDC"});
    ASSERT_GE(calls.size(), tail.size());
    EXPECT_EQ(std::vector<std::string>(calls.end() - tail.size(), calls.end()), tail);
    EXPECT_EQ(recorder::count("update"), 0);
    EXPECT_EQ(recorder::count("UpdateWindow"), 0);
    EXPECT_EQ(recorder::deletedContext, recorder::context);
    EXPECT_EQ(recorder::releasedWindow, recorder::window);
    EXPECT_EQ(recorder::releasedDC, recorder::deviceContext);
}

} // namespace

TEST(SceneFailure, ThrownPointerIsReportedDeletedAndEndsStartUp) {
    // Run under AddressSanitizer, a pointer that is not deleted shows as a leak.
    recorder::initScene = [] {
        throw new std::runtime_error("Cannot open shader file: data/deferredShading.vert");
    };
    expectStartupEndedWith("Cannot open shader file: data/deferredShading.vert");
}

TEST(SceneFailure, ExhaustedMemoryIsReportedToo) {
    recorder::initScene = [] { throw std::bad_alloc(); };
    expectStartupEndedWith(std::bad_alloc().what());
}

TEST(SceneFailure, ModelsBuiltBeforeTheFailureAreGivenBackBeforeTheContext) {
    recorder::initScene = [] {
        appState.models[0] = new RecordingModel(0);
        appState.models[1] = new RecordingModel(1);
        throw new std::runtime_error("Cannot open shader file: data/missing.vert");
    };
    expectStartupEndedWith("Cannot open shader file: data/missing.vert", {"~model0", "~model1"});
}

// A failure raised while the scene is built ends start-up: its message on
// stderr as it stands, exit status 1, the context and the device context
// given back, and the loop never entered.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "RecordingModel.h"
#include "shading/ShaderBuildError.h"
#include "shell/AppState.h"
#include "startupRecorder.h"

using recorder::calls;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

namespace {

// `report` is all that stderr must hold: the message's line, then any details.
void expectStartupEndedWith(const std::string &report,
                            const std::vector<std::string> &builtAndGivenBack = {}) {
    CaptureStderr();
    int status = recorder::runWinMain();
    std::string errors = GetCapturedStderr();

    EXPECT_EQ(status, 1);
    EXPECT_EQ(errors, report);
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
    expectStartupEndedWith("Cannot open shader file: data/deferredShading.vert\n");
}

TEST(SceneFailure, ExhaustedMemoryIsReportedToo) {
    recorder::initScene = [] { throw std::bad_alloc(); };
    expectStartupEndedWith(std::string(std::bad_alloc().what()) + "\n");
}

TEST(SceneFailure, ModelsBuiltBeforeTheFailureAreGivenBackBeforeTheContext) {
    recorder::initScene = [] {
        appState.models[0] = new RecordingModel(0);
        appState.models[1] = new RecordingModel(1);
        throw new std::runtime_error("Cannot open shader file: data/missing.vert");
    };
    expectStartupEndedWith("Cannot open shader file: data/missing.vert\n", {"~model0", "~model1"});
}

// A shader's log comes from the driver and may hold anything: it follows the
// message, but nothing in it may drive the terminal, and a long one is cut.
TEST(SceneFailure, ShaderLogFollowsTheMessageSafeToPrint) {
    std::string log = "0:97(24): error: \x1b[2J\x1b]0;title\x07 cleared\r\n"
                      "\tnon-ASCII \xc3\xa9 kept; C1 CSI \xc2\x9b and a stray \xff escaped\n" +
                      std::string(1000, 'a') + "\n";
    for (int line = 1; line <= 50; ++line)
        log += "line " + std::to_string(line) + "\n";
    recorder::initScene = [log] {
        throw new ShaderBuildError("Fragment shader compilation failed.",
                                   "data/deferredRendering.frag:\n" + log);
    };
    // 40 lines of details: the file's, the three above, and 36 of the 50.
    std::string report =
        "Fragment shader compilation failed.\n"
        "data/deferredRendering.frag:\n"
        "0:97(24): error: \\x1b[2J\\x1b]0;title\\x07 cleared\n"
        "\tnon-ASCII \xc3\xa9 kept; C1 CSI \\xc2\\x9b and a stray \\xff escaped\n" +
        std::string(400, 'a') + " [line cut]\n";
    for (int line = 1; line <= 36; ++line)
        report += "line " + std::to_string(line) + "\n";
    report += "(14 more lines not shown)\n";
    expectStartupEndedWith(report);
}

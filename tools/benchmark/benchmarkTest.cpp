// The benchmark's own parts that its report rests on: the pass timer, which
// reaches into the real render(), and the figures taken over runs.
#include <vector>

#include <gtest/gtest.h>

#include "Samples.h"
#include "passTiming.h"
#include "platform/opengl.h"
#include "scene/scene.h"
#include "sceneWindow.h"
#include "shading/DeferredRendering.h"
#include "shell/AppState.h"

namespace {

// What a frame leaves in the render targets: the G-buffer's diffuse colour and
// normals and the shadow map's depths.
std::vector<float> renderTargets() {
    const DeferredRendering &renderer = *appState.deferredRendering;
    std::vector<float> all;
    auto append = [&all](GLuint texture, GLenum format, size_t size) {
        std::vector<float> values(size);
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexImage(GL_TEXTURE_2D, 0, format, GL_FLOAT, values.data());
        all.insert(all.end(), values.begin(), values.end());
    };
    append(renderer.gBuffer.diffuseTexture, GL_RGBA, 1024 * 768 * 4);
    append(renderer.gBuffer.normalsTexture, GL_RGBA, 1024 * 768 * 4);
    append(renderer.shadowMap.depthTexture, GL_DEPTH_COMPONENT, 1024 * 1024);
    glBindTexture(GL_TEXTURE_2D, 0);
    return all;
}

} // namespace

TEST(PassTiming, TimesTheThreePassesOfTheRealFrameWithoutChangingWhatItDraws) {
    ASSERT_TRUE(
        openSceneWindow("benchmark test", TEXT("BenchmarkTestClass"), TEXT("Benchmark test")));
    if (!timerQueryExtension()) {
        closeSceneWindow();
        GTEST_SKIP() << "the driver offers no timer query";
    }
    appState.viewMode = viewModeFinalImage;
    appState.lightAngle = 30.0f;
    render();
    glFinish();
    const std::vector<float> untimed = renderTargets();
    PFNGLBINDFRAMEBUFFEREXTPROC bind = glBindFramebufferEXT;

    const DeferredRendering &renderer = *appState.deferredRendering;
    ASSERT_TRUE(startPassTiming(renderer.shadowMap.fbo, renderer.gBuffer.fbo));
    EXPECT_FALSE(startPassTiming(renderer.shadowMap.fbo, renderer.gBuffer.fbo));
    double passes[passCount] = {};
    EXPECT_FALSE(readPassTimes(passes)) << "no frame has been drawn yet";
    // Every pass of every timed frame gets a time of its own. The times are
    // not compared with a clock of the test: the driver's timer may count
    // other work than the calling thread's wall time (llvmpipe times its
    // rasterizer threads), so such a bound fails on a loaded machine.
    for (int frame = 0; frame < 3; ++frame) {
        render();
        glFinish();
        ASSERT_TRUE(readPassTimes(passes));
        for (int pass = 0; pass < passCount; ++pass)
            EXPECT_GT(passes[pass], 0.0) << passNames[pass];
    }
    EXPECT_EQ(renderTargets(), untimed);

    stopPassTiming();
    EXPECT_EQ(glBindFramebufferEXT, bind);
    EXPECT_FALSE(readPassTimes(passes));
    render();
    glFinish();
    EXPECT_EQ(renderTargets(), untimed);
    closeSceneWindow();
}

TEST(Samples, MedianMinimumAndMaximum) {
    Samples none;
    EXPECT_EQ(none.median(), 0.0);
    EXPECT_EQ(none.maximum(), 0.0);

    Samples odd{{5.0, 1.0, 3.0}};
    EXPECT_EQ(odd.median(), 3.0);
    Samples even{{4.0, 1.0, 10.0, 2.0}};
    EXPECT_EQ(even.median(), 3.0);
    EXPECT_EQ(even.minimum(), 1.0);
    EXPECT_EQ(even.maximum(), 10.0);
    EXPECT_EQ(even.mean(), 4.25);
}

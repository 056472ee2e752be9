// The animation step, with the tick counter under the test's control.
//
// GetTickCount has C linkage (as on Windows), so the link-time wrap is made
// by its plain name: korvane_add_test(... WRAP GetTickCount) and a
// __wrap_GetTickCount here.
#include <gtest/gtest.h>

#include <deque>
#include <memory>

#include "drawables/ModelTestKit.h"
#include "drawables/SphereModel.h"
#include "drawables/ModelTestKit.h"
#include "support/SceneTestKit.h"
#include "scene/scene.h"
#include "shading/DeferredRendering.h"
#include "support/GLTestContext.h"

namespace {
// Readings the fake counter hands out in turn; the last one repeats.
std::deque<DWORD> tickReadings{0};
int tickCalls = 0;
} // namespace

extern "C" DWORD __wrap_GetTickCount() {
    ++tickCalls;
    const DWORD reading = tickReadings.front();
    if (tickReadings.size() > 1)
        tickReadings.pop_front();
    return reading;
}

namespace {

void setTicks(std::initializer_list<DWORD> readings) {
    tickReadings = readings;
    tickCalls = 0;
}

// update() needs only the two spheres, so most cases build just those.
class UpdateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(context.ok()) << context.error();
        ASSERT_TRUE(dir.ok());
        const auto shaders = testkit::writeTestShaders(dir);
        lower = std::make_unique<SphereModel>(shaders.vertex, shaders.fragment, 1.0f);
        upper = std::make_unique<SphereModel>(shaders.vertex, shaders.fragment, 1.0f);
        appState.models[3] = lower.get();
        appState.models[4] = upper.get();
    }
    void TearDown() override {
        appState.models[3] = nullptr;
        appState.models[4] = nullptr;
    }

    GLTestContext context;
    TempDir dir;
    std::unique_ptr<IModel> lower, upper;
};

} // namespace

TEST_F(UpdateTest, HundredMillisecondsTurnEverythingOneStep) {
    appState.lastTick = 1000;
    setTicks({1100, 1103});
    update();
    EXPECT_EQ(tickCalls, 2);
    EXPECT_EQ(appState.lastTick, 1103u); // the second reading
    EXPECT_FLOAT_EQ(lower->rotationX, 1.0f);
    EXPECT_FLOAT_EQ(lower->rotationY, 2.0f);
    EXPECT_FLOAT_EQ(upper->rotationX, 1.2f);
    EXPECT_FLOAT_EQ(upper->rotationY, 2.1f);
    EXPECT_EQ(lower->rotationZ, 0.0f);
    EXPECT_EQ(upper->rotationZ, 0.0f);
    EXPECT_FLOAT_EQ(appState.lightAngle, 1.0f);
}

TEST_F(UpdateTest, NoTimeStillTurnsTheUpperSphere) {
    appState.lastTick = 5000;
    appState.lightAngle = 42.0f;
    setTicks({5000});
    update();
    EXPECT_EQ(lower->rotationX, 0.0f);
    EXPECT_EQ(lower->rotationY, 0.0f);
    EXPECT_EQ(upper->rotationX, 0.2f);
    EXPECT_EQ(upper->rotationY, 0.1f);
    EXPECT_EQ(appState.lightAngle, 42.0f);
}

TEST_F(UpdateTest, TickCounterWrapGivesTheTrueElapsedTime) {
    appState.lastTick = 0xFFFFFFCEu; // 50 ms before the wrap
    setTicks({50});
    update();
    EXPECT_FLOAT_EQ(appState.lightAngle, 1.0f);
    EXPECT_FLOAT_EQ(lower->rotationX, 1.0f);
}

TEST_F(UpdateTest, LightAngleLosesAFullTurnOnlyPast360) {
    appState.lastTick = 0;
    appState.lightAngle = 359.0f;
    setTicks({100});
    update();
    EXPECT_EQ(appState.lightAngle, 360.0f);

    appState.lightAngle = 359.5f;
    setTicks({200});
    update();
    EXPECT_FLOAT_EQ(appState.lightAngle, 0.5f);

    // A long pause: one turn comes off per call, as the light's direction
    // does not depend on it.
    appState.lightAngle = 0.0f;
    setTicks({200 + 3600000});
    update();
    EXPECT_FLOAT_EQ(appState.lightAngle, 35640.0f);
}

TEST_F(UpdateTest, SphereRotationsStayWithinOneTurn) {
    lower->rotationX = 359.5f;
    lower->rotationY = 359.5f;
    upper->rotationX = 359.9f;
    upper->rotationY = 359.95f;
    appState.lastTick = 0;
    setTicks({100});
    update();
    EXPECT_FLOAT_EQ(lower->rotationX, 0.5f);
    EXPECT_FLOAT_EQ(lower->rotationY, 1.5f);
    EXPECT_NEAR(upper->rotationX, 1.1f, 1e-4);
    EXPECT_NEAR(upper->rotationY, 2.05f, 1e-4);

    // Many frames and one very long pause.
    for (DWORD tick = 100; tick < 100 + 300 * 37; tick += 37) {
        setTicks({tick});
        update();
        for (IModel *sphere : {lower.get(), upper.get()}) {
            ASSERT_GE(sphere->rotationX, 0.0f);
            ASSERT_LT(sphere->rotationX, 360.0f);
            ASSERT_GE(sphere->rotationY, 0.0f);
            ASSERT_LT(sphere->rotationY, 360.0f);
        }
    }
    setTicks({appState.lastTick + 3600000u + 1234u});
    update();
    for (IModel *sphere : {lower.get(), upper.get()}) {
        EXPECT_GE(sphere->rotationX, 0.0f);
        EXPECT_LT(sphere->rotationX, 360.0f);
        EXPECT_GE(sphere->rotationY, 0.0f);
        EXPECT_LT(sphere->rotationY, 360.0f);
    }
}

// The first update measures from the building of the scene, not from the
// machine's start: after an hour of up-time nothing jumps.
TEST(UpdateAfterInitSceneTest, FirstUpdateStartsFromTheSceneAsBuilt) {
    GLTestContext context;
    ASSERT_TRUE(context.ok()) << context.error();
    scenekit::prepareLikeTheShell(context.hDC, 1024, 768);
    setTicks({3600000});
    initScene();
    ASSERT_NE(appState.models[4], nullptr);
    EXPECT_EQ(appState.lastTick, 3600000u);

    update();
    EXPECT_EQ(appState.lightAngle, 0.0f);
    EXPECT_EQ(appState.models[3]->rotationX, 0.0f);
    EXPECT_EQ(appState.models[3]->rotationY, 0.0f);
    EXPECT_EQ(appState.models[4]->rotationX, 0.2f);
    EXPECT_EQ(appState.models[4]->rotationY, 0.1f);

    scenekit::deleteScene();
}

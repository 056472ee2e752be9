// What initScene builds: the renderer and the five models, each in its slot
// with its kind, scale, texture and placement.
#include <gtest/gtest.h>

#include "drawables/CubeModel.h"
#include "drawables/PlaneModel.h"
#include "drawables/SphereModel.h"
#include "support/SceneTestKit.h"
#include "scene/scene.h"
#include "shading/DeferredRendering.h"
#include "support/GLTestContext.h"

namespace {

class SceneBuildTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(context.ok()) << context.error();
        ASSERT_TRUE(folder.ok());
        scenekit::prepareLikeTheShell(context.hDC, 1024, 768);
        // Sides tell the files apart once they are loaded.
        folder.writeTexture("plane.raw", 8, 90, 90, 90);
        folder.writeTexture("box.raw", 4, 160, 110, 60);
        folder.writeTexture("earth.raw", 16, 40, 90, 200);
    }
    void TearDown() override { scenekit::deleteScene(); }

    GLTestContext context;
    scenekit::WorkingFolder folder;
};

GLint textureSide(GLuint texture) {
    GLint side = -1;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &side);
    return side;
}

} // namespace

TEST_F(SceneBuildTest, SlotsHoldTheFiveModelsInPlace) {
    appState.viewMode = viewModeDebug;
    initScene();
    EXPECT_EQ(appState.viewMode, viewModeFinalImage);
    ASSERT_NE(appState.deferredRendering, nullptr);
    EXPECT_EQ(appState.deferredRendering->width, 1024u);
    EXPECT_EQ(appState.deferredRendering->height, 768u);

    IModel *const *m = appState.models;
    for (int slot = 0; slot < 5; ++slot)
        ASSERT_NE(m[slot], nullptr) << "slot " << slot;
    EXPECT_NE(dynamic_cast<PlaneModel *>(m[0]), nullptr);
    EXPECT_NE(dynamic_cast<CubeModel *>(m[1]), nullptr);
    EXPECT_NE(dynamic_cast<CubeModel *>(m[2]), nullptr);
    EXPECT_NE(dynamic_cast<SphereModel *>(m[3]), nullptr);
    EXPECT_NE(dynamic_cast<SphereModel *>(m[4]), nullptr);

    const float scales[5] = {5, 1, 1, 1, 1};
    const float positions[5][3] = {
        {0, 0, 0}, {-1, 3, -1}, {-1, 1, -1}, {1.5f, 2, 0.5f}, {1.5f, 5, 0.5f}};
    const GLint sides[5] = {8, 4, 4, 16, 16};
    for (int slot = 0; slot < 5; ++slot) {
        SCOPED_TRACE(testing::Message() << "slot " << slot);
        EXPECT_EQ(m[slot]->scale, scales[slot]);
        EXPECT_EQ(m[slot]->positionX, positions[slot][0]);
        EXPECT_EQ(m[slot]->positionY, positions[slot][1]);
        EXPECT_EQ(m[slot]->positionZ, positions[slot][2]);
        EXPECT_EQ(m[slot]->rotationX, 0.0f);
        EXPECT_EQ(m[slot]->rotationY, slot == 2 ? 20.0f : 0.0f);
        EXPECT_EQ(m[slot]->rotationZ, 0.0f);
        ASSERT_NE(m[slot]->texture, 0u);
        EXPECT_EQ(textureSide(m[slot]->texture), sides[slot]);
        EXPECT_NE(m[slot]->worldMatrixLocation, -1);
    }
    // Nothing is shared: every model has its own texture and program.
    EXPECT_NE(m[1]->texture, m[2]->texture);
    EXPECT_NE(m[3]->texture, m[4]->texture);
    EXPECT_NE(m[3]->shader.shaderProgram, m[4]->shader.shaderProgram);
}

TEST_F(SceneBuildTest, MissingEarthTextureStillGivesTwoUntexturedSpheres) {
    folder.remove("earth.raw");
    initScene();
    for (int slot : {3, 4}) {
        ASSERT_NE(dynamic_cast<SphereModel *>(appState.models[slot]), nullptr);
        EXPECT_EQ(appState.models[slot]->texture, 0u);
    }
    EXPECT_NE(appState.models[2]->texture, 0u);
    render(); // and the frame draws them
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SceneBuildTest, ModelThatFailsLeavesTheRendererAndTheEarlierSlots) {
    folder.remove("deferredShading.frag");
    try {
        initScene();
        ADD_FAILURE() << "the scene was built without the models' fragment shader";
    } catch (std::exception *failure) {
        EXPECT_NE(std::string(failure->what()).find("deferredShading.frag"), std::string::npos);
        delete failure;
    }
    EXPECT_NE(appState.deferredRendering, nullptr);
    for (IModel *model : appState.models)
        EXPECT_EQ(model, nullptr);
}

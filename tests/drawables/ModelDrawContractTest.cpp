// What a model's draw leaves behind and what it hands its shader.
#include <gtest/gtest.h>

#include <memory>

#include "drawables/CubeModel.h"
#include "drawables/ModelTestKit.h"
#include "drawables/PlaneModel.h"
#include "drawables/SphereModel.h"
#include "support/GLTestContext.h"

namespace {

class ModelDrawContractTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(context.ok()) << context.error();
        ASSERT_TRUE(dir.ok());
        shaders = testkit::writeTestShaders(dir);
    }

    template <class Kind> std::unique_ptr<IModel> make(float scale = 1.0f) {
        return std::make_unique<Kind>(shaders.vertex, shaders.fragment, scale);
    }

    GLTestContext context;
    TempDir dir;
    testkit::TestShaders shaders;
};

std::array<GLfloat, 16> worldMatrixOf(const IModel &model) {
    std::array<GLfloat, 16> m{};
    glGetUniformfvARB(model.shader.shaderProgram, model.worldMatrixLocation, m.data());
    return m;
}

std::array<GLfloat, 16> modelviewMatrix() {
    std::array<GLfloat, 16> m{};
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

GLint integer(GLenum name) {
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

GLuint makeTexture() {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    const unsigned char pixel[4] = {10, 20, 30, 255};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    return name;
}

} // namespace

TEST_F(ModelDrawContractTest, NewModelStartsAtRestWithItsUniformLocations) {
    auto model = make<CubeModel>(2.5f);
    EXPECT_EQ(model->rotationX, 0.0f);
    EXPECT_EQ(model->rotationY, 0.0f);
    EXPECT_EQ(model->rotationZ, 0.0f);
    EXPECT_EQ(model->positionX, 0.0f);
    EXPECT_EQ(model->positionY, 0.0f);
    EXPECT_EQ(model->positionZ, 0.0f);
    EXPECT_EQ(model->texture, 0u);
    EXPECT_EQ(model->scale, 2.5f);
    EXPECT_NE(model->worldMatrixLocation, -1);
    EXPECT_NE(model->diffuseLocation, -1);
    EXPECT_EQ(model->worldMatrixLocation,
              glGetUniformLocationARB(model->shader.shaderProgram, "WorldMatrix"));
    EXPECT_EQ(model->diffuseLocation,
              glGetUniformLocationARB(model->shader.shaderProgram, "tDiffuse"));
    EXPECT_EQ(static_cast<const SphereModel &>(*make<SphereModel>()).tessellation, 64);
}

TEST_F(ModelDrawContractTest, WorldMatrixIsTheViewFromBeforeTheModelsOwnTransforms) {
    auto plane = make<PlaneModel>(5.0f);
    auto cube = make<CubeModel>(1.0f);
    auto sphere = make<SphereModel>(1.0f);
    cube->positionX = -1;
    cube->positionY = 3;
    cube->rotationY = 20;
    sphere->positionX = 1.5f;
    sphere->rotationX = 33;

    // A view like the camera's, one level down the stack.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix();
    glRotatef(20, 1, 0, 0);
    glTranslatef(0, -6.5f, -11);
    const auto view = modelviewMatrix();
    const GLint depth = integer(GL_MODELVIEW_STACK_DEPTH);

    for (IModel *model : {plane.get(), cube.get(), sphere.get()}) {
        model->draw();
        EXPECT_EQ(integer(GL_MODELVIEW_STACK_DEPTH), depth);
        EXPECT_EQ(modelviewMatrix(), view);
        EXPECT_EQ(integer(GL_MATRIX_MODE), GL_MODELVIEW);
        EXPECT_EQ(integer(GL_CURRENT_PROGRAM), 0);
    }
    // Every model of the pass received the same matrix: the view itself.
    EXPECT_EQ(worldMatrixOf(*plane), view);
    EXPECT_EQ(worldMatrixOf(*cube), view);
    EXPECT_EQ(worldMatrixOf(*sphere), view);
    for (IModel *model : {plane.get(), cube.get(), sphere.get()}) {
        GLint sampler = -1;
        glGetUniformivARB(model->shader.shaderProgram, model->diffuseLocation, &sampler);
        EXPECT_EQ(sampler, 0);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ModelDrawContractTest, TextureStaysBoundOnWhicheverUnitIsActive) {
    auto cube = make<CubeModel>();
    cube->texture = makeTexture();
    const GLuint onUnitZero = makeTexture();

    glActiveTextureARB(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, onUnitZero);
    glActiveTextureARB(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, 0);
    cube->draw();

    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE2); // draw selects no unit
    EXPECT_EQ(static_cast<GLuint>(integer(GL_TEXTURE_BINDING_2D)), cube->texture);
    glActiveTextureARB(GL_TEXTURE0);
    EXPECT_EQ(static_cast<GLuint>(integer(GL_TEXTURE_BINDING_2D)), onUnitZero);

    // An untextured model binds texture 0.
    auto plane = make<PlaneModel>();
    plane->draw();
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), 0);
}

TEST_F(ModelDrawContractTest, ProgramWithoutTheUniformsStillDraws) {
    const std::string vertex = dir.file("bare.vert"), fragment = dir.file("bare.frag");
    dir.write("bare.vert", "void main() { gl_Position = ftransform(); }\n");
    dir.write("bare.frag", "void main() { gl_FragColor = vec4(1.0); }\n");
    CubeModel cube(vertex, fragment, 1.0f);
    EXPECT_EQ(cube.worldMatrixLocation, -1);
    EXPECT_EQ(cube.diffuseLocation, -1);
    const GLint depth = integer(GL_MODELVIEW_STACK_DEPTH);
    cube.draw();
    EXPECT_EQ(integer(GL_MODELVIEW_STACK_DEPTH), depth);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ModelDrawContractTest, DestroyingAModelLeavesItsTextureAndProgram) {
    auto sphere = make<SphereModel>();
    sphere->texture = makeTexture();
    const GLuint texture = sphere->texture;
    const GLuint program = sphere->shader.shaderProgram;
    sphere.reset();
    EXPECT_TRUE(glIsTexture(texture));
    EXPECT_TRUE(glIsProgram(program));
}

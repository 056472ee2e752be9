// Whole frames of the real scene: the state a frame leaves for the next, and
// the debug view's layout. drawFrame is the frame without its SwapBuffers, so
// the test reads the finished picture from the back buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "drawables/IModel.h"
#include "scene/scene.h"
#include "shading/DeferredRendering.h"
#include "support/GLTestContext.h"
#include "support/SceneGeometry.h"
#include "support/SceneTestKit.h"
#include "support/savePicture.h"

namespace {

using namespace scenegeometry;

constexpr int width = 1024, height = 768;

GLint integer(GLenum name) {
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

using scenekit::textureFloats;

class RenderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(context.ok()) << context.error();
        scenekit::prepareLikeTheShell(context.hDC, width, height);
        initScene();
        // One bit of quantisation of the window's colour format, plus rounding.
        tolerance = 255.0 / ((1 << integer(GL_GREEN_BITS)) - 1) + 2.0;
    }
    void TearDown() override { scenekit::deleteScene(); }

    void renderMoment(float lightAngle, std::uint8_t viewMode) {
        scenekit::setMoment(lightAngle);
        appState.viewMode = viewMode;
        drawFrame();
        presented = scenekit::readBackBuffer();
        ASSERT_EQ(presented.width, width);
        ASSERT_EQ(presented.height, height);
    }

    GLTestContext context{width, height};
    scenekit::Image presented;
    double tolerance = 3.0;
};

} // namespace

TEST_F(RenderTest, FrameLeavesEveryStackAndSettingAsTheNextFrameNeedsIt) {
    GLfloat cameraProjection[16], projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, cameraProjection);
    const GLint modelviewDepth = integer(GL_MODELVIEW_STACK_DEPTH);
    const GLint projectionDepth = integer(GL_PROJECTION_STACK_DEPTH);
    const GLint attribDepth = integer(GL_ATTRIB_STACK_DEPTH);

    for (std::uint8_t viewMode : {0, 1, 0}) {
        SCOPED_TRACE(testing::Message() << "view mode " << int(viewMode));
        appState.viewMode = viewMode;
        render();
        EXPECT_EQ(integer(GL_MODELVIEW_STACK_DEPTH), modelviewDepth);
        EXPECT_EQ(integer(GL_PROJECTION_STACK_DEPTH), projectionDepth);
        EXPECT_EQ(integer(GL_ATTRIB_STACK_DEPTH), attribDepth);
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        EXPECT_TRUE(std::equal(projection, projection + 16, cameraProjection));
        EXPECT_EQ(integer(GL_MATRIX_MODE), GL_MODELVIEW);
        EXPECT_EQ(integer(GL_FRONT_FACE), GL_CCW);
        EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING_EXT), 0);
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], width);
        EXPECT_EQ(viewport[3], height);
        GLfloat clear[4];
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
        EXPECT_EQ(clear[0], 0.0f);
        EXPECT_EQ(clear[1], 0.0f);
        EXPECT_EQ(clear[2], 0.0f);
        EXPECT_EQ(clear[3], 1.0f);
    }
    // The composite received the light's and the camera's matrices.
    const DeferredRendering &renderer = *appState.deferredRendering;
    EXPECT_NEAR(renderer.worldToCameraViewMatrix[13],
                -6.5 * std::cos(20 * degrees) + 11.0 * std::sin(20 * degrees), 1e-5);
    EXPECT_NEAR(renderer.lightViewToProjectionMatrix[5], 1.0 / std::tan(10 * degrees), 1e-4);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

namespace {

// One quad of the debug view: where it lies in the window (y up) and the
// texture it shows, as values 0..1 per channel.
struct Quad {
    const char *name;
    int left, bottom, w, h;
    std::vector<float> texels; // RGB
    int texWidth, texHeight;
};

// Counts the window pixels of the quad whose colour lies outside the range
// of the four texels that linear filtering blends for that pixel.
int pixelsOutsideTheirTexels(const scenekit::Image &image, const Quad &q, double tolerance) {
    int outside = 0;
    for (int y = q.bottom; y < q.bottom + q.h; ++y)
        for (int x = q.left; x < q.left + q.w; ++x) {
            const double u = (x + 0.5 - q.left) / q.w * q.texWidth - 0.5;
            const double v = (y + 0.5 - q.bottom) / q.h * q.texHeight - 0.5;
            const int u0 = std::clamp(static_cast<int>(std::floor(u)), 0, q.texWidth - 1);
            const int v0 = std::clamp(static_cast<int>(std::floor(v)), 0, q.texHeight - 1);
            const int u1 = std::min(u0 + 1, q.texWidth - 1), v1 = std::min(v0 + 1, q.texHeight - 1);
            const unsigned char *p = image.at(x, y);
            for (int c = 0; c < 3; ++c) {
                double lo = 1e9, hi = -1e9;
                for (int tv : {v0, v1})
                    for (int tu : {u0, u1}) {
                        const double t = std::clamp(
                            q.texels[3 * (static_cast<std::size_t>(tv) * q.texWidth + tu) + c],
                            0.0f, 1.0f);
                        lo = std::min(lo, t * 255.0);
                        hi = std::max(hi, t * 255.0);
                    }
                if (p[c] < lo - tolerance || p[c] > hi + tolerance) {
                    ++outside;
                    break;
                }
            }
        }
    return outside;
}

} // namespace

TEST_F(RenderTest, DebugViewShowsTheFourTexturesInTheirPlaces) {
    renderMoment(40.0f, 1);
    savePicture("scene-debug-view", presented.width, presented.height, 3, presented.rgb.data());

    const DeferredRendering &renderer = *appState.deferredRendering;
    std::vector<float> depth(1024 * 1024);
    glBindTexture(GL_TEXTURE_2D, renderer.shadowMap.depthTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    std::vector<float> depthRgb;
    for (float d : depth)
        depthRgb.insert(depthRgb.end(), {d, d, d});
    // The shadow map must hold something besides the cleared far depth.
    EXPECT_LT(*std::min_element(depth.begin(), depth.end()), 0.9f);

    const Quad quads[] = {
        {"diffuse", 0, 384, 512, 384,
         textureFloats(renderer.gBuffer.diffuseTexture, GL_RGB, 3, width, height), width, height},
        {"position", 512, 384, 512, 384,
         textureFloats(renderer.gBuffer.positionTexture, GL_RGB, 3, width, height), width, height},
        {"normals", 0, 0, 512, 384,
         textureFloats(renderer.gBuffer.normalsTexture, GL_RGB, 3, width, height), width, height},
        {"shadow map", 512, 0, 384, 384, depthRgb, 1024, 1024},
    };
    for (const Quad &q : quads) {
        SCOPED_TRACE(q.name);
        EXPECT_LT(pixelsOutsideTheirTexels(presented, q, tolerance), q.w * q.h / 1000);
    }

    // The strip that no quad covers shows the window's black clear colour.
    int lit = 0;
    for (int y = 0; y < 384; ++y)
        for (int x = 896; x < 1024; ++x) {
            const unsigned char *p = presented.at(x, y);
            if (p[0] || p[1] || p[2])
                ++lit;
        }
    EXPECT_EQ(lit, 0);
}

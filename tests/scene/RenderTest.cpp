// Whole frames of the real scene: the state a frame leaves behind, and the
// pictures it makes, checked against the scene's geometry.
//
// The frame ends with SwapBuffers, after which the back buffer's contents are
// undefined, so the test wraps SwapBuffers (C linkage, wrapped at link time
// by its plain name) and reads the finished picture just before it is shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "drawables/IModel.h"
#include "scene/SceneGeometry.h"
#include "scene/SceneTestKit.h"
#include "scene/scene.h"
#include "shading/DeferredRendering.h"
#include "support/GLTestContext.h"
#include "support/savePicture.h"

namespace {
scenekit::Image presented; // the back buffer as the last SwapBuffers found it
int swaps = 0;
} // namespace

extern "C" BOOL __real_SwapBuffers(HDC hDC);
extern "C" BOOL __wrap_SwapBuffers(HDC hDC) {
    ++swaps;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    presented.width = viewport[2];
    presented.height = viewport[3];
    presented.rgb.assign(3 * static_cast<std::size_t>(viewport[2]) * viewport[3], 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, viewport[2], viewport[3], GL_RGB, GL_UNSIGNED_BYTE, presented.rgb.data());
    return __real_SwapBuffers(hDC);
}

namespace {

using namespace scenegeometry;

constexpr int width = 1024, height = 768;

GLint integer(GLenum name) {
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

// Level 0 of a texture as floats, rows bottom-up.
std::vector<float> textureFloats(GLuint texture, GLenum format, int channels, int w, int h) {
    std::vector<float> data(static_cast<std::size_t>(w) * h * channels);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_FLOAT, data.data());
    return data;
}

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

    // A fixed moment: light angle and sphere turns chosen by the test.
    void renderMoment(float lightAngle, std::uint8_t viewMode) {
        appState.lightAngle = lightAngle;
        appState.models[3]->rotationX = 30;
        appState.models[3]->rotationY = 60;
        appState.models[4]->rotationX = 75;
        appState.models[4]->rotationY = 150;
        appState.viewMode = viewMode;
        render();
        ASSERT_EQ(presented.width, width);
        ASSERT_EQ(presented.height, height);
    }

    GLTestContext context{width, height};
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
        const int swapsBefore = swaps;
        render();
        EXPECT_EQ(swaps, swapsBefore + 1);
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

// How a surface point came out in the final image: the ratio of its final
// colour to its diffuse colour, in the diffuse colour's strongest channel,
// which does not depend on the texture.
struct Sample {
    enum Outcome {
        measured,
        offscreen,
        mismatch, // the G-buffer shows another point there
        dark,     // the texel is too dark to tell light from shadow
    } outcome;
    double ratio;
};

// What the picture checks read: the final image and the G-buffer.
struct Frame {
    scenekit::Image final;
    std::vector<float> diffuse;  // RGB
    std::vector<float> position; // RGB, world space where a model was drawn

    Sample sampleAt(const Vec3 &point) const {
        const auto pixel = project(point, width, height);
        if (!pixel)
            return {Sample::offscreen, 0};
        const int x = static_cast<int>(pixel->x), y = static_cast<int>(pixel->y);
        if (pixel->x < 1 || pixel->y < 1 || x >= width - 1 || y >= height - 1)
            return {Sample::offscreen, 0};
        const std::size_t i = 3 * (static_cast<std::size_t>(y) * width + x);
        // The G-buffer must show this very point there.
        const Vec3 seen{position[i], position[i + 1], position[i + 2]};
        if (dot(seen - point, seen - point) > 0.05 * 0.05)
            return {Sample::mismatch, 0};
        int channel = 0;
        for (int c = 1; c < 3; ++c)
            if (diffuse[i + c] > diffuse[i + channel])
                channel = c;
        const double d = diffuse[i + channel] * 255.0;
        if (d < 40.0)
            return {Sample::dark, 0};
        return {Sample::measured, final.at(x, y)[channel] / d};
    }
};

double median(std::vector<double> values) {
    if (values.empty())
        return 0.0;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

Frame readFrame() {
    const DeferredRendering &renderer = *appState.deferredRendering;
    return {presented, textureFloats(renderer.gBuffer.diffuseTexture, GL_RGB, 3, width, height),
            textureFloats(renderer.gBuffer.positionTexture, GL_RGB, 3, width, height)};
}

} // namespace

TEST_F(RenderTest, FinalImageShowsSkyShadowsAndCleanLitSurfaces) {
    for (const float lightAngle : {0.0f, 130.0f, 250.0f}) {
        SCOPED_TRACE(testing::Message() << "light angle " << lightAngle);
        renderMoment(lightAngle, 0);
        const Frame frame = readFrame();
        EXPECT_FALSE(savePicture("scene-final-light" + std::to_string(int(lightAngle)),
                                 frame.final.width, frame.final.height, 3, frame.final.rgb.data())
                         .empty());
        const Vec3 light = lightEye(lightAngle);

        // Sky: every pixel whose ray clearly meets nothing keeps the G-buffer's
        // clear colour (0.2, 0.3, 0.8), unlit.
        int skyPixels = 0, wrongSky = 0;
        for (int y = 2; y < height; y += 4)
            for (int x = 2; x < width; x += 4) {
                if (!rayMissesScene(cameraRay(x + 0.5, y + 0.5, width, height), 0.1))
                    continue;
                ++skyPixels;
                const unsigned char *p = frame.final.at(x, y);
                if (std::abs(p[0] - 51) > tolerance || std::abs(p[1] - 77) > tolerance ||
                    std::abs(p[2] - 204) > tolerance)
                    ++wrongSky;
            }
        EXPECT_GT(skyPixels, 10000);
        EXPECT_EQ(wrongSky, 0);

        // Ground points whose way to the light clearly passes through a box or a
        // sphere, and points whose way is clearly free; both seen by the camera.
        std::vector<double> blocked, free;
        int mapped = 0, unmapped = 0;
        for (double gx = -4.9; gx <= 4.9; gx += 0.1)
            for (double gz = -4.9; gz <= 4.9; gz += 0.1) {
                const Vec3 ground{gx, 0.0, gz};
                if (segmentBlocked(cameraEye, ground, 0.1))
                    continue; // hidden from the camera, or too near an edge
                const bool clearlyBlocked = segmentBlocked(ground, light, -0.2);
                const bool clearlyFree = !segmentBlocked(ground, light, 0.2);
                if (!clearlyBlocked && !clearlyFree)
                    continue;
                const Sample s = frame.sampleAt(ground);
                if (s.outcome == Sample::mismatch)
                    ++unmapped;
                if (s.outcome != Sample::measured)
                    continue;
                ++mapped;
                (clearlyBlocked ? blocked : free).push_back(s.ratio);
            }
        // The camera model above agrees with the G-buffer on nearly every point.
        EXPECT_GT(mapped, 20 * unmapped);
        ASSERT_GT(blocked.size(), 50u);
        ASSERT_GT(free.size(), 1000u);
        const double shadowLevel = median(blocked), litLevel = median(free);
        EXPECT_LT(shadowLevel, 0.7 * litLevel) << "shadows are not clearly darker";

        // Every shadowed point is dark, every free point lit: no light leaks
        // into a shadow and no lit ground shadows itself.
        const auto litInShadow = std::count_if(blocked.begin(), blocked.end(), [&](double r) {
            return r > 0.5 * (shadowLevel + litLevel);
        });
        const auto darkInLight = std::count_if(
            free.begin(), free.end(), [&](double r) { return r < 0.5 * (shadowLevel + litLevel); });
        EXPECT_LE(litInShadow, static_cast<long>(blocked.size() / 50));
        EXPECT_EQ(darkInLight, 0);

        // Faces of the boxes and spheres that face the light squarely and whose
        // way to it is clear must be lit all over: no acne.
        std::vector<Vec3> points, normals;
        std::vector<const void *> owners; // the solid each point lies on
        for (const Box &box : boxes)
            for (int axis = 0; axis < 3; ++axis)
                for (double sign : {-1.0, 1.0}) {
                    Vec3 n{0, 0, 0};
                    n[axis] = sign;
                    for (double u = -0.8; u <= 0.8; u += 0.1)
                        for (double v = -0.8; v <= 0.8; v += 0.1) {
                            Vec3 local{0, 0, 0};
                            local[axis] = sign * box.half;
                            local[(axis + 1) % 3] = u;
                            local[(axis + 2) % 3] = v;
                            points.push_back(box.centre + turnY(local, box.turnDegrees));
                            normals.push_back(turnY(n, box.turnDegrees));
                            owners.push_back(&box);
                        }
                }
        for (const Ball &ball : balls)
            for (double a = 0; a < 360; a += 6)
                for (double b = -80; b <= 80; b += 6) {
                    const Vec3 n{std::cos(b * degrees) * std::cos(a * degrees),
                                 std::sin(b * degrees),
                                 std::cos(b * degrees) * std::sin(a * degrees)};
                    points.push_back(ball.centre + ball.radius * n);
                    normals.push_back(n);
                    owners.push_back(&ball);
                }
        int litChecked = 0, acne = 0;
        for (std::size_t k = 0; k < points.size(); ++k) {
            const Vec3 &p = points[k], &n = normals[k];
            if (dot(n, normalised(light - p)) < 0.3 || dot(n, cameraEye - p) <= 0)
                continue;
            if (segmentBlocked(p, light, 0.15, owners[k]) ||
                segmentBlocked(p, cameraEye, 0.05, owners[k]))
                continue;
            const Sample s = frame.sampleAt(p);
            if (s.outcome != Sample::measured)
                continue;
            ++litChecked;
            if (s.ratio < 1.4 * shadowLevel)
                ++acne;
        }
        EXPECT_GT(litChecked, 300);
        EXPECT_EQ(acne, 0);
    }
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
    EXPECT_FALSE(
        savePicture("scene-debug-view", presented.width, presented.height, 3, presented.rgb.data())
            .empty());

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

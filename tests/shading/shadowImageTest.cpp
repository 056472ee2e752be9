// Pictures through all three passes: what the G-buffer holds, and whether the
// composite puts shadows exactly where the scene's geometry says they fall.
#include <cmath>

#include <gtest/gtest.h>

#include "drawables/CubeModel.h"
#include "drawables/PlaneModel.h"
#include "support/GLTestContext.h"
#include "testScene.h"

namespace {

const char *const modelVertexShader = "data/deferredShading.vert";
const char *const modelFragmentShader = "data/deferredShading.frag";
constexpr int width = 1024;
constexpr int height = 768;

class ShadowImageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        setShellState(width, height);
    }
    GLTestContext gl{256, 256};
};

// True if the segment from p to the light's eye meets the box [lo, hi].
bool rayHitsBox(const double p[3], const double light[3], const double lo[3], const double hi[3]) {
    double tNear = 1e-9, tFar = 1.0;
    for (int i = 0; i < 3; ++i) {
        double d = light[i] - p[i];
        if (std::fabs(d) < 1e-12) {
            if (p[i] < lo[i] || p[i] > hi[i])
                return false;
            continue;
        }
        double t0 = (lo[i] - p[i]) / d, t1 = (hi[i] - p[i]) / d;
        if (t0 > t1)
            std::swap(t0, t1);
        tNear = std::max(tNear, t0);
        tFar = std::min(tFar, t1);
    }
    return tNear <= tFar;
}

enum GroundClass { Lit, Shadowed, Penumbra };

// A ground point is lit (or shadowed) with a margin if the light sees (or
// cannot see) every point within margin of it.
GroundClass classifyGround(const double p[3], const double light[3], const double lo[3],
                           const double hi[3], double margin) {
    int hits = 0, total = 0;
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dz = -1; dz <= 1; ++dz) {
            double q[3] = {p[0] + dx * margin, p[1], p[2] + dz * margin};
            hits += rayHitsBox(q, light, lo, hi);
            ++total;
        }
    }
    return hits == 0 ? Lit : hits == total ? Shadowed : Penumbra;
}

double luminance(const unsigned char *p) {
    return 0.3 * p[0] + 0.59 * p[1] + 0.11 * p[2];
}

} // namespace

TEST_F(ShadowImageTest, GBufferHoldsWorldPositionsAndUnitNormalsUnderEveryTransform) {
    DeferredRendering renderer(width, height);
    // The cube's scale applies to its position too: centre (1, 1, -1), edge 4.
    PlaneModel ground(modelVertexShader, modelFragmentShader, 5.0f);
    paint(ground, 200, 200, 200);
    CubeModel cube(modelVertexShader, modelFragmentShader, 2.0f);
    paint(cube, 220, 120, 40);
    cube.positionX = 0.5f;
    cube.positionY = 0.5f;
    cube.positionZ = -0.5f;
    cube.rotationY = 30.0f;
    OffscreenTarget target(width, height);
    // Twice: the second frame's G-buffer must not depend on the first.
    for (int frame = 0; frame < 2; ++frame)
        drawFrame(renderer, target, {&ground, &cube}, {&ground, &cube}, 0.0f, false);

    std::vector<float> position = readTextureRgba(renderer.gBuffer.positionTexture, width, height);
    std::vector<float> normals = readTextureRgba(renderer.gBuffer.normalsTexture, width, height);
    const double angle = 30.0 * M_PI / 180.0, c = std::cos(angle), s = std::sin(angle);
    int onCube = 0, onGround = 0, background = 0, wrong = 0;
    for (size_t i = 0; i < position.size(); i += 4) {
        const float *p = &position[i], *n = &normals[i];
        if (p[3] == 1.0f) {
            ++background;
            wrong += !(std::fabs(p[0] - 0.2f) < 1e-3f && std::fabs(n[2] - 0.8f) < 1e-3f);
            continue;
        }
        wrong += p[3] != 0.0f || n[3] != 0.0f;
        double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        wrong += std::fabs(length - 1.0) > 2e-3;
        // Into the cube's own frame: undo the scale, the translation and the
        // rotation about Y.
        double wx = p[0] / 2.0 - 0.5, wy = p[1] / 2.0 - 0.5, wz = p[2] / 2.0 + 0.5;
        double v[3] = {c * wx - s * wz, wy, s * wx + c * wz};
        double extent = std::max({std::fabs(v[0]), std::fabs(v[1]), std::fabs(v[2])});
        bool onCubeSurface = std::fabs(extent - 1.0) < 2e-3;
        bool onGroundPlane =
            std::fabs(p[1]) < 1e-4 && std::fabs(p[0]) <= 5.001 && std::fabs(p[2]) <= 5.001;
        if (onCubeSurface && onGroundPlane) {
            continue; // where the cube goes through the ground, either is right
        } else if (onCubeSurface) {
            ++onCube;
            // The normal of the face the point lies on, turned into the world.
            int axis = std::fabs(v[0]) > std::fabs(v[1])
                           ? (std::fabs(v[0]) > std::fabs(v[2]) ? 0 : 2)
                           : (std::fabs(v[1]) > std::fabs(v[2]) ? 1 : 2);
            double local[3] = {0, 0, 0};
            local[axis] = v[axis] > 0 ? 1 : -1;
            double world[3] = {c * local[0] + s * local[2], local[1], -s * local[0] + c * local[2]};
            double dot = world[0] * n[0] + world[1] * n[1] + world[2] * n[2];
            int facesTouched =
                (std::fabs(v[0]) > 0.998) + (std::fabs(v[1]) > 0.998) + (std::fabs(v[2]) > 0.998);
            wrong += facesTouched == 1 && dot < 0.999; // an edge pixel may show either face
        } else if (onGroundPlane) {
            ++onGround;
            wrong += n[1] < 0.999f; // half floats round just below 1
        } else {
            ++wrong;
        }
    }
    EXPECT_GT(onCube, 20000);
    EXPECT_GT(onGround, 100000);
    EXPECT_GT(background, 10000);
    EXPECT_EQ(wrong, 0);
}

TEST_F(ShadowImageTest, BoxOnTheGroundShadowsExactlyWhereTheLightIsBlocked) {
    DeferredRendering renderer(width, height);
    PlaneModel ground(modelVertexShader, modelFragmentShader, 5.0f);
    paint(ground, 200, 200, 200);
    CubeModel box(modelVertexShader, modelFragmentShader, 1.0f);
    paint(box, 220, 120, 40);
    box.positionY = 1.0f;
    const double lo[3] = {-1, 0, -1}, hi[3] = {1, 2, 1};
    OffscreenTarget target(width, height);

    for (float lightAngle : {0.0f, 180.0f, 250.0f}) {
        SCOPED_TRACE(testing::Message() << "light angle " << lightAngle);
        // The same frame with nothing in the shadow map gives every pixel's
        // unshadowed colour.
        drawFrame(renderer, target, {&ground, &box}, {}, lightAngle);
        std::vector<unsigned char> unshadowed = target.readPixels();
        FrameMatrices m = drawFrame(renderer, target, {&ground, &box}, {&ground, &box}, lightAngle);
        std::vector<unsigned char> image = target.readPixels();
        std::vector<float> position =
            readTextureRgba(renderer.gBuffer.positionTexture, width, height);
        std::vector<float> normals =
            readTextureRgba(renderer.gBuffer.normalsTexture, width, height);
        savePicture("shading-box-shadow-" + std::to_string(static_cast<int>(lightAngle)), width,
                    height, 4, image.data());
        double light[3];
        eyePoint(m.lightView, light);

        int lit = 0, shadowed = 0, litFaces = 0, background = 0;
        int acne = 0, leaks = 0, wrongBackground = 0;
        for (int i = 0; i < width * height; ++i) {
            const float *p = &position[i * 4], *n = &normals[i * 4];
            const unsigned char *pixel = &image[i * 4], *reference = &unshadowed[i * 4];
            if (p[3] == 1.0f) {
                ++background;
                wrongBackground += std::abs(pixel[0] - 51) > 1 || std::abs(pixel[1] - 77) > 1 ||
                                   std::abs(pixel[2] - 204) > 1;
                continue;
            }
            double point[3] = {p[0], p[1], p[2]};
            bool same = std::abs(pixel[0] - reference[0]) <= 1 &&
                        std::abs(pixel[1] - reference[1]) <= 1 &&
                        std::abs(pixel[2] - reference[2]) <= 1;
            if (n[1] > 0.99f && std::fabs(p[1]) < 1e-4f) {
                // The ground: 0.06 units is about three shadow-map texels.
                switch (classifyGround(point, light, lo, hi, 0.06)) {
                case Lit:
                    ++lit;
                    acne += !same;
                    break;
                case Shadowed:
                    ++shadowed;
                    leaks += luminance(pixel) > 0.5 * luminance(reference);
                    break;
                case Penumbra:
                    break;
                }
            } else {
                // The box's faces turned towards the light see it unhindered.
                double toLight[3] = {light[0] - p[0], light[1] - p[1], light[2] - p[2]};
                double distance = std::sqrt(toLight[0] * toLight[0] + toLight[1] * toLight[1] +
                                            toLight[2] * toLight[2]);
                double nDotL =
                    (n[0] * toLight[0] + n[1] * toLight[1] + n[2] * toLight[2]) / distance;
                if (nDotL > 0.2) {
                    ++litFaces;
                    acne += !same;
                }
            }
        }
        EXPECT_GT(lit, 100000);
        EXPECT_GT(shadowed, 5000);
        EXPECT_GT(litFaces, 3000);
        EXPECT_GT(background, 10000);
        EXPECT_EQ(acne, 0);
        EXPECT_EQ(leaks, 0);
        EXPECT_EQ(wrongBackground, 0);
    }
}

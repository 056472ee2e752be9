// Pictures of the real frame drawn by the real scene: what the G-buffer holds,
// checked pixel by pixel against the scene's geometry worked out apart from
// the program, and whether the composite puts shadows exactly where that
// geometry says the light is blocked. drawFrame is the frame without its
// SwapBuffers, so the finished picture is read from the back buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "scene/scene.h"
#include "shading/DeferredRendering.h"
#include "shell/AppState.h"
#include "support/GLTestContext.h"
#include "support/SceneGeometry.h"
#include "support/SceneTestKit.h"
#include "support/savePicture.h"

namespace {

using namespace scenegeometry;

constexpr int width = 1024, height = 768;

// The band along a shadow edge where the composite's filter may blend light
// and shadow: 0.08 units is about four shadow-map texels where the scene is.
constexpr double penumbraBand = 0.08;

class ShadowImageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(context.ok()) << context.error();
        scenekit::prepareLikeTheShell(context.hDC, width, height);
        initScene();
        appState.viewMode = 0;
    }
    void TearDown() override { scenekit::deleteScene(); }

    // The G-buffer's world positions and normals (RGBA, rows bottom-up).
    void readGBuffer() {
        const DeferredRendering &renderer = *appState.deferredRendering;
        position =
            scenekit::textureFloats(renderer.gBuffer.positionTexture, GL_RGBA, 4, width, height);
        normals =
            scenekit::textureFloats(renderer.gBuffer.normalsTexture, GL_RGBA, 4, width, height);
    }

    GLTestContext context{width, height};
    std::vector<float> position, normals;
};

// A surface of the scene that a point lies on, with its outward normal there.
struct Surface {
    const void *solid; // the box or ball; nullptr for the ground
    Vec3 normal;
};

// Every surface of the scene within a small distance of the point: more than
// one at an edge, or where two solids touch.
std::vector<Surface> surfacesAt(const Vec3 &p) {
    std::vector<Surface> found;
    if (std::abs(p[1]) < 1e-4 && std::abs(p[0]) <= 5.001 && std::abs(p[2]) <= 5.001)
        found.push_back({nullptr, {0, 1, 0}});
    for (const Box &box : boxes) {
        const Vec3 local = turnY(p - box.centre, -box.turnDegrees);
        const double extent =
            std::max({std::abs(local[0]), std::abs(local[1]), std::abs(local[2])});
        if (std::abs(extent - box.half) > 2e-3)
            continue;
        for (int axis = 0; axis < 3; ++axis) {
            if (std::abs(local[axis]) < box.half - 2e-3)
                continue;
            Vec3 n{0, 0, 0};
            n[axis] = local[axis] > 0 ? 1 : -1;
            found.push_back({&box, turnY(n, box.turnDegrees)});
        }
    }
    // The sphere is drawn as 64 slices and stacks, whose faces lie up to
    // about 0.0012 inside the true sphere.
    for (const Ball &ball : balls) {
        const double distance = std::sqrt(dot(p - ball.centre, p - ball.centre));
        if (std::abs(distance - ball.radius) < 3e-3)
            found.push_back({&ball, (1.0 / distance) * (p - ball.centre)});
    }
    return found;
}

// The sky: position and normals textures keep the G-buffer's clear colour.
bool isClearColour(const float *texel) {
    return std::abs(texel[0] - 0.2f) < 1e-3f && std::abs(texel[1] - 0.3f) < 1e-3f &&
           std::abs(texel[2] - 0.8f) < 1e-3f && texel[3] == 1.0f;
}

double luminance(const unsigned char *p) {
    return 0.3 * p[0] + 0.59 * p[1] + 0.11 * p[2];
}

double squaredLuminance(const unsigned char *p) {
    return 0.3 * p[0] * p[0] + 0.59 * p[1] * p[1] + 0.11 * p[2] * p[2];
}

bool samePixel(const unsigned char *a, const unsigned char *b) {
    return std::abs(a[0] - b[0]) <= 1 && std::abs(a[1] - b[1]) <= 1 && std::abs(a[2] - b[2]) <= 1;
}

// How far a point lies outside the square that a box stands on, measured in
// the box's own turned frame (negative inside it).
double outsideFoot(const Vec3 &p, const Box &box) {
    const Vec3 local = turnY(p - box.centre, -box.turnDegrees);
    return std::max(std::abs(local[0]), std::abs(local[2])) - box.half;
}

// Saves the boxes' feet and the shadows around them, enlarged four times, so
// that a person can see the edges pixel by pixel.
void saveEnlargedCrop(const std::string &name, const scenekit::Image &image) {
    constexpr int left = 300, bottom = 60, cropWidth = 384, cropHeight = 288, zoom = 4;
    std::vector<unsigned char> crop(3 * cropWidth * zoom * cropHeight * zoom);
    for (int y = 0; y < cropHeight * zoom; ++y)
        for (int x = 0; x < cropWidth * zoom; ++x)
            std::copy_n(image.at(left + x / zoom, bottom + y / zoom), 3,
                        &crop[3 * (static_cast<std::size_t>(y) * cropWidth * zoom + x)]);
    savePicture(name, cropWidth * zoom, cropHeight * zoom, 3, crop.data());
}

// A second renderer whose composite shader reads the shadow map texel by
// texel, as on a driver without texture gather: built from a copy of the
// shader in which the test for the extension names a macro that no driver
// defines. Null, with a failure reported, if the copy cannot be made.
std::unique_ptr<DeferredRendering> rendererWithoutGather() {
    scenekit::WorkingFolder folder;
    if (!folder.ok()) {
        ADD_FAILURE() << "no temporary working folder";
        return nullptr;
    }
    const char *path = "data/deferredRendering.frag";
    std::stringstream source;
    source << std::ifstream(path).rdbuf();
    std::string text = source.str();
    const std::string test = "def GL_ARB_texture_gather", off = "def SHADOW_FILTER_WITHOUT_GATHER";
    int switched = 0;
    for (std::size_t at = text.find(test); at != std::string::npos; at = text.find(test, at)) {
        text.replace(at, test.size(), off);
        ++switched;
    }
    if (switched == 0) {
        ADD_FAILURE() << "the composite shader no longer tests for GL_ARB_texture_gather";
        return nullptr;
    }
    std::ofstream(path, std::ios::trunc) << text;
    return std::make_unique<DeferredRendering>(width, height);
}

} // namespace

TEST_F(ShadowImageTest, GBufferHoldsWhatTheCameraSeesWithWorldPositionsAndUnitNormals) {
    // One frame only: its G-buffer clear must already reach all three textures.
    scenekit::setMoment(0.0f);
    drawFrame();
    readGBuffer();

    int onGround = 0, onSolids = 0, sky = 0;
    int offSurface = 0, wrongNormal = 0, wrongPixel = 0, wrongSky = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::size_t i = 4 * (static_cast<std::size_t>(y) * width + x);
            const float *p = &position[i], *n = &normals[i];
            const Vec3 ray = cameraRay(x + 0.5, y + 0.5, width, height);
            if (p[3] == 1.0f) {
                ++sky;
                // Only where the camera's ray misses even a slightly shrunk scene.
                wrongSky += !isClearColour(p) || !isClearColour(n) || !rayMissesScene(ray, -0.02);
                continue;
            }
            const Vec3 point{p[0], p[1], p[2]}, normal{n[0], n[1], n[2]};
            // The pixel shows the point where its camera ray goes: within
            // two pixels' angle.
            wrongPixel += 1.0 - dot(normalised(point - cameraEye), ray) > 2e-6;
            wrongNormal += p[3] != 0.0f || n[3] != 0.0f || std::abs(dot(normal, normal) - 1) > 4e-3;
            const std::vector<Surface> surfaces = surfacesAt(point);
            if (surfaces.empty()) {
                ++offSurface;
                continue;
            }
            (surfaces.front().solid ? onSolids : onGround) += 1;
            bool matches = false;
            for (const Surface &s : surfaces)
                matches = matches || dot(s.normal, normal) > (s.solid == nullptr ? 0.999 : 0.995);
            wrongNormal += !matches;
        }
    EXPECT_GT(onGround, 200000);
    EXPECT_GT(onSolids, 50000);
    EXPECT_GT(sky, 50000);
    EXPECT_EQ(offSurface, 0);
    EXPECT_EQ(wrongNormal, 0);
    EXPECT_EQ(wrongPixel, 0);
    EXPECT_EQ(wrongSky, 0);
}

TEST_F(ShadowImageTest, ShadowsFallExactlyWhereTheSceneBlocksTheLight) {
    DeferredRendering &renderer = *appState.deferredRendering;
    for (const float lightAngle : scenekit::lightAnglesToCheck({0.0f, 130.0f, 250.0f})) {
        SCOPED_TRACE(testing::Message() << "light angle " << lightAngle);
        scenekit::setMoment(lightAngle);
        drawFrame();
        const scenekit::Image image = scenekit::readBackBuffer();
        savePicture("shadows-light" + std::to_string(static_cast<int>(lightAngle)), width, height,
                    3, image.rgb.data());
        // The composite once more over the same G-buffer with nothing in the
        // shadow map gives every pixel's unshadowed colour.
        renderer.shadowMap.start();
        renderer.shadowMap.stop();
        renderer.render();
        const scenekit::Image unshadowed = scenekit::readBackBuffer();
        readGBuffer();
        const Vec3 light = lightEye(lightAngle);

        int litGround = 0, shadowedGround = 0, litSolids = 0, sky = 0;
        int acne = 0, leaks = 0, wrongSky = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::size_t i = static_cast<std::size_t>(y) * width + x;
                const float *p = &position[4 * i], *n = &normals[4 * i];
                const unsigned char *pixel = image.at(x, y), *reference = unshadowed.at(x, y);
                if (p[3] == 1.0f) {
                    // The sky keeps the G-buffer's colour, unlit.
                    const unsigned char skyColour[3] = {51, 77, 204};
                    ++sky;
                    wrongSky += !samePixel(pixel, skyColour);
                    continue;
                }
                const Vec3 point{p[0], p[1], p[2]}, normal{n[0], n[1], n[2]};
                const std::vector<Surface> surfaces = surfacesAt(point);
                if (surfaces.size() != 1)
                    continue; // an edge, or off every surface (the G-buffer test's concern)
                const void *solid = surfaces.front().solid;
                if (solid == nullptr) {
                    // The ground, away from the band along each shadow edge.
                    if (!segmentBlocked(point, light, penumbraBand)) {
                        ++litGround;
                        acne += !samePixel(pixel, reference);
                    } else if (segmentBlocked(point, light, -penumbraBand)) {
                        ++shadowedGround;
                        leaks += luminance(pixel) > 0.5 * luminance(reference);
                    }
                } else if (dot(normal, normalised(light - point)) > 0.3 &&
                           !segmentBlocked(point, light, 0.15, solid) &&
                           insideOutline(point, light, solid, penumbraBand)) {
                    // A box or sphere surface that faces the light squarely,
                    // sees it past every other solid, and lies away from its
                    // own outline as the light sees it. Along that outline the
                    // solid's far side, which the shadow map holds, is only a
                    // sliver behind the lit face, and the turned-away side
                    // beyond it is in shadow: the outline is a shadow edge
                    // like those on the ground, with the same band.
                    ++litSolids;
                    acne += !samePixel(pixel, reference);
                }
            }
        EXPECT_GT(litGround, 100000);
        EXPECT_GT(shadowedGround, 5000);
        EXPECT_GT(litSolids, 8000);
        EXPECT_GT(sky, 50000);
        EXPECT_EQ(acne, 0);
        EXPECT_EQ(leaks, 0);
        EXPECT_EQ(wrongSky, 0);
    }
}

TEST_F(ShadowImageTest, ShadowEdgesRiseSmoothlyAndNoFootHasADarkLineOnItsLitSide) {
    DeferredRendering &renderer = *appState.deferredRendering;
    const Box &lowerBox = boxes[1], &upperBox = boxes[0];
    // Some angles hide the lit side of the feet or the shadows' edges; the
    // counts over all angles show that there was enough to check.
    int litFootSeen = 0, crossingsSeen = 0;
    const std::vector<float> angles =
        scenekit::lightAnglesToCheck({0.0f, 45.0f, 90.0f, 135.0f, 180.0f, 225.0f, 270.0f, 315.0f});
    for (const float lightAngle : angles) {
        const int angle = static_cast<int>(lightAngle);
        SCOPED_TRACE(testing::Message() << "light angle " << angle);
        scenekit::setMoment(lightAngle);
        drawFrame();
        const scenekit::Image image = scenekit::readBackBuffer();
        saveEnlargedCrop("shadow-edges-4x-light" + std::to_string(angle), image);
        // The composite once more over the same G-buffer with a shadow map
        // that blocks all light (cleared to depth 0) and one that blocks none.
        // The composite's output squared is linear in the lit fraction, so
        // the three pictures give every pixel's lit fraction.
        glClearDepth(0.0);
        renderer.shadowMap.start();
        renderer.shadowMap.stop();
        glClearDepth(1.0);
        renderer.render();
        const scenekit::Image dark = scenekit::readBackBuffer();
        renderer.shadowMap.start();
        renderer.shadowMap.stop();
        renderer.render();
        const scenekit::Image unshadowed = scenekit::readBackBuffer();
        readGBuffer();
        const Vec3 light = lightEye(angle);

        // Per ground pixel that the light reaches at a useful angle: whether
        // the light is blocked exactly (-1 elsewhere), whether it is clearly
        // lit or shadowed outside the band along the edges (-1 inside it),
        // its lit fraction, and how much rounding the pictures to bytes may
        // have moved that.
        const int pixels = width * height;
        std::vector<int> blocked(pixels, -1), clearly(pixels, -1);
        std::vector<double> lit(pixels, 0.0), rounding(pixels, 0.0);
        std::vector<bool> nearFoot(pixels, false);
        int litFoot = 0, darkFoot = 0;
        for (int i = 0; i < pixels; ++i) {
            const float *p = &position[4 * i];
            if (p[3] == 1.0f)
                continue;
            const Vec3 point{p[0], p[1], p[2]};
            const std::vector<Surface> surfaces = surfacesAt(point);
            if (surfaces.size() != 1)
                continue;
            const int x = i % width, y = i / width;
            const double none = squaredLuminance(dark.at(x, y));
            const double range = squaredLuminance(unshadowed.at(x, y)) - none;
            if (range < 1000.0)
                continue; // too little light to measure a fraction of it
            const double fraction = (squaredLuminance(image.at(x, y)) - none) / range;
            // A foot: the lower box's on the ground, the upper box's on the
            // lower box's top face.
            const void *support = surfaces.front().solid;
            const Box *standing = support == nullptr ? &lowerBox
                                  : support == &lowerBox && surfaces.front().normal[1] > 0.99
                                      ? &upperBox
                                      : nullptr;
            const double fromFoot = standing ? outsideFoot(point, *standing) : 1.0;
            if (support == nullptr) {
                blocked[i] = segmentBlocked(point, light, 0.0);
                clearly[i] = !segmentBlocked(point, light, penumbraBand)   ? 0
                             : segmentBlocked(point, light, -penumbraBand) ? 1
                                                                           : -1;
                lit[i] = fraction;
                rounding[i] = (luminance(image.at(x, y)) + luminance(unshadowed.at(x, y)) +
                               luminance(dark.at(x, y))) /
                              range;
                nearFoot[i] = fromFoot < 0.1;
            }
            if (!standing || fromFoot <= 0.0 || fromFoot > 0.05)
                continue;
            // Within the filter's reach of the foot, and the light reaches
            // every point of the supporting surface within 0.06 of it that
            // the box does not stand on. A light that grazes a side leaves a
            // true shadow along its foot only about a pixel wide, hence the
            // fine grid.
            bool lightAllAround = true;
            for (int dx = -6; dx <= 6 && lightAllAround; ++dx)
                for (int dz = -6; dz <= 6 && lightAllAround; ++dz) {
                    const Vec3 q = point + Vec3{0.01 * dx, 0.0, 0.01 * dz};
                    if (outsideFoot(q, *standing) <= 0.0 ||
                        (support != nullptr && outsideFoot(q, lowerBox) >= 0.0))
                        continue;
                    lightAllAround = !segmentBlocked(q, light, 0.0, support);
                }
            if (lightAllAround) {
                ++litFoot;
                darkFoot += fraction < 0.97;
            }
        }
        litFootSeen += litFoot;
        EXPECT_EQ(darkFoot, 0) << "of " << litFoot << " pixels by the lit side of a foot";

        // Every place where a row or column of ground pixels crosses a true
        // shadow edge, with no other edge within twelve pixels and no foot
        // near: from shadow to light the lit fraction never falls, and at
        // least two pixels lie clearly between shadow and light.
        constexpr int side = 12;
        int crossings = 0, falling = 0, abrupt = 0;
        for (int axis = 0; axis < 2; ++axis) {
            const int step = axis == 0 ? 1 : width;
            const int along = axis == 0 ? width : height, across = axis == 0 ? height : width;
            for (int line = 0; line < across; ++line)
                for (int k = side; k + side < along; ++k) {
                    const int last = axis == 0 ? line * width + k - 1 : (k - 1) * width + line;
                    const int next = last + step;
                    if (blocked[last] < 0 || blocked[next] < 0 || blocked[last] == blocked[next])
                        continue;
                    // 2 x side pixels across the crossing, shadow side first.
                    std::vector<int> run;
                    for (int j = 1 - side; j <= side; ++j)
                        run.push_back(last + j * step);
                    if (blocked[last] == 0)
                        std::reverse(run.begin(), run.end());
                    bool usable = true;
                    for (int j = 0; j < 2 * side; ++j) {
                        const int i = run[j], shadowSide = j < side;
                        const bool farFromEdge = j < side / 3 || j >= 2 * side - side / 3;
                        usable = usable && blocked[i] == shadowSide && !nearFoot[i] &&
                                 (!farFromEdge || clearly[i] == shadowSide);
                    }
                    if (!usable)
                        continue;
                    ++crossings;
                    int between = 0;
                    bool fell = false;
                    for (int j = 0; j < 2 * side; ++j) {
                        const int i = run[j];
                        fell = fell || (j > 0 && lit[i] < lit[run[j - 1]] - rounding[i] -
                                                              rounding[run[j - 1]]);
                        between += lit[i] > 0.02 && lit[i] < 0.98;
                    }
                    falling += fell;
                    abrupt += between < 2;
                }
        }
        crossingsSeen += crossings;
        EXPECT_EQ(falling, 0) << "of " << crossings
                              << " edge crossings get less light somewhere towards the light";
        EXPECT_EQ(abrupt, 0) << "of " << crossings
                             << " edge crossings go from shadow to light within one pixel";
    }
    // Enough of both, on average over the angles checked.
    const int checked = static_cast<int>(angles.size());
    EXPECT_GT(litFootSeen, 187 * checked);
    EXPECT_GT(crossingsSeen, 187 * checked);
}

// The shadow filter without gather reads the same texels with the same
// weights and edge clamping, so the picture is the same to within a level.
TEST_F(ShadowImageTest, WithoutTextureGatherTheFilterGivesTheSamePicture) {
    if (!GLEW_ARB_texture_gather)
        GTEST_SKIP() << "the driver offers no texture gather: the composite reads texel by texel";
    std::unique_ptr<DeferredRendering> withoutGather = rendererWithoutGather();
    ASSERT_NE(withoutGather, nullptr);
    DeferredRendering *withGather = appState.deferredRendering;
    for (int angle = 0; angle < 360; angle += 45) {
        SCOPED_TRACE(testing::Message() << "light angle " << angle);
        scenekit::setMoment(static_cast<float>(angle));
        drawFrame();
        const scenekit::Image gathered = scenekit::readBackBuffer();
        appState.deferredRendering = withoutGather.get();
        drawFrame();
        appState.deferredRendering = withGather;
        const scenekit::Image plain = scenekit::readBackBuffer();
        int differing = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                differing += !samePixel(gathered.at(x, y), plain.at(x, y));
        EXPECT_LE(differing, width * height / 1000) << "pixels more than one level apart";
    }
}

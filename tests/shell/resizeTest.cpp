// The viewport and the camera projection that resize sets, read back from
// OpenGL and compared with the perspective matrix computed here.
#include <gtest/gtest.h>

#include <cmath>

#include "shell/AppState.h"
#include "shell/shell.h"
#include "support/GLTestContext.h"

namespace {

// 40 degrees vertical field of view, near 1, far 30; column-major.
std::vector<double> cameraProjection(double aspect) {
    const double cotangent = 1.0 / std::tan(20.0 * M_PI / 180.0);
    std::vector<double> m(16, 0.0);
    m[0] = cotangent / aspect;
    m[5] = cotangent;
    m[10] = -(30.0 + 1.0) / (30.0 - 1.0);
    m[11] = -1.0;
    m[14] = -2.0 * 30.0 * 1.0 / (30.0 - 1.0);
    return m;
}

std::vector<double> matrix(GLenum which) {
    std::vector<double> m(16);
    glGetDoublev(which, m.data());
    return m;
}

void expectMatrixNear(const std::vector<double> &got, const std::vector<double> &want) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(got[i], want[i], 1e-5 * std::max(1.0, std::fabs(want[i]))) << "element " << i;
}

void expectViewport(int width, int height) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], width);
    EXPECT_EQ(viewport[3], height);
}

// resize leaves the modelview matrix current and the identity.
void expectModelviewIdentity() {
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    expectMatrixNear(matrix(GL_MODELVIEW_MATRIX), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
}

} // namespace

TEST(Resize, SetsViewportAndPerspectiveForTheWindowAspect) {
    GLTestContext gl;
    ASSERT_TRUE(gl.ok()) << gl.error();

    // The aspect is a floating-point division: 1024 / 768 and 333 / 777
    // would both come out wrong as integer divisions.
    const int sizes[][2] = {{1024, 768}, {800, 600}, {1280, 720}, {333, 777}};
    for (const auto &size : sizes) {
        SCOPED_TRACE(testing::Message() << size[0] << " x " << size[1]);
        // Leave both matrices changed and the projection current: resize must
        // not depend on what it finds.
        glMatrixMode(GL_MODELVIEW);
        glTranslatef(1.0f, 2.0f, 3.0f);
        glMatrixMode(GL_PROJECTION);
        glTranslatef(1.0f, 2.0f, 3.0f);
        resize(size[0], size[1]);

        EXPECT_EQ(appState.screenWidth, size[0]);
        EXPECT_EQ(appState.screenHeight, size[1]);
        expectViewport(size[0], size[1]);
        expectMatrixNear(matrix(GL_PROJECTION_MATRIX),
                         cameraProjection(static_cast<double>(size[0]) / size[1]));
        expectModelviewIdentity();
    }
}

TEST(Resize, NoHeightKeepsTheProjectionFiniteAndTheNextSizeRestoresIt) {
    GLTestContext gl;
    ASSERT_TRUE(gl.ok()) << gl.error();

    const int empty[][2] = {{0, 0}, {640, 0}, {0, 480}};
    for (const auto &size : empty) {
        SCOPED_TRACE(testing::Message() << size[0] << " x " << size[1]);
        resize(size[0], size[1]);
        EXPECT_EQ(appState.screenWidth, size[0]);
        EXPECT_EQ(appState.screenHeight, size[1]);
        expectViewport(size[0], size[1]);
        for (double element : matrix(GL_PROJECTION_MATRIX))
            EXPECT_TRUE(std::isfinite(element));
        expectModelviewIdentity();
    }

    resize(800, 600);
    expectViewport(800, 600);
    expectMatrixNear(matrix(GL_PROJECTION_MATRIX), cameraProjection(800.0 / 600.0));
}

TEST(Resize, BeforeAnyContextExistsOnlyTheSizeIsStored) {
    // As for a WM_SIZE during window creation: no context is current.
    resize(640, 480);
    EXPECT_EQ(appState.screenWidth, 640);
    EXPECT_EQ(appState.screenHeight, 480);
}

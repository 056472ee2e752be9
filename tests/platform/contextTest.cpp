// Pixel formats and rendering contexts on a hidden window.
#include "support/GLTestContext.h"

#include <gtest/gtest.h>

TEST(Context, ClearedColourReadsBack) {
    GLTestContext gl(64, 48);
    ASSERT_TRUE(gl.ok()) << gl.error();
    glClearColor(1.0f, 0.5f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {};
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 255);
    EXPECT_NEAR(pixel[1], 128, 1);
    EXPECT_EQ(pixel[2], 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(Context, FixedFunctionQuadDraws) {
    GLTestContext gl(64, 48);
    ASSERT_TRUE(gl.ok()) << gl.error();
    glViewport(0, 0, 64, 48);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(0.0f, 1.0f, 0.0f);
    glBegin(GL_QUADS); // left half of the window
    glVertex2f(-1.0f, -1.0f);
    glVertex2f(0.0f, -1.0f);
    glVertex2f(0.0f, 1.0f);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
    unsigned char left[4] = {}, right[4] = {};
    glReadPixels(10, 24, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, left);
    glReadPixels(54, 24, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, right);
    EXPECT_EQ(left[1], 255);
    EXPECT_EQ(right[1], 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

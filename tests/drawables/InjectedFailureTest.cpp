// Failures that no real file or driver produces on demand: GLU running out of
// memory for a quadric, and a read that delivers fewer bytes than the file's
// length promised. Both are injected by wrapping the library call at link time.
#include <gtest/gtest.h>

#include <cstdio>

#include "drawables/SphereModel.h"
#include "drawables/TextureTestModel.h"
#include "drawables/loadTexture.h"
#include "support/GLTestContext.h"

namespace {
bool failQuadrics = false;
std::size_t readLimit = static_cast<std::size_t>(-1);
int quadricRequests = 0;
} // namespace

extern "C" {
GLUquadric *__real_gluNewQuadric();
GLUquadric *__wrap_gluNewQuadric() {
    ++quadricRequests;
    return failQuadrics ? nullptr : __real_gluNewQuadric();
}

std::size_t __real_fread(void *buffer, std::size_t size, std::size_t count, std::FILE *file);
std::size_t __wrap_fread(void *buffer, std::size_t size, std::size_t count, std::FILE *file) {
    return __real_fread(buffer, size, count < readLimit ? count : readLimit, file);
}
}

namespace {

class InjectedFailureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(context.ok()) << context.error();
        ASSERT_TRUE(dir.ok());
        shaders = testkit::writeTestShaders(dir);
    }

    GLTestContext context;
    TempDir dir;
    testkit::TestShaders shaders;
};

GLint integer(GLenum name) {
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

} // namespace

TEST_F(InjectedFailureTest, SphereWithoutAQuadricIsLeftOutAndTheDrawStaysBalanced) {
    SphereModel sphere(shaders.vertex, shaders.fragment, 1.0f);
    sphere.positionX = 2;
    const GLint depth = integer(GL_MODELVIEW_STACK_DEPTH);

    failQuadrics = true;
    const auto polygons = testkit::capturePolygons([&] { sphere.draw(); });
    failQuadrics = false;

    EXPECT_EQ(quadricRequests, 1);
    EXPECT_TRUE(polygons.empty());
    EXPECT_EQ(integer(GL_MODELVIEW_STACK_DEPTH), depth);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(m[12], 0.0f); // the sphere's translation did not stay behind
    EXPECT_EQ(integer(GL_CURRENT_PROGRAM), 0);

    // The next draw, with memory back, shows the sphere again.
    EXPECT_FALSE(testkit::capturePolygons([&] { sphere.draw(); }).empty());
}

TEST_F(InjectedFailureTest, ShortReadUploadsOnlyTheBytesThatArrived) {
    testkit::TextureTestModel model(shaders);
    const auto bytes = testkit::pattern(3 * 8 * 8); // promises an 8 x 8 image
    dir.write("short.raw", bytes);

    readLimit = 3 * 5 * 5 + 4; // but only enough for 5 x 5 arrives
    const bool loaded = loadTexture(dir.file("short.raw"), model);
    readLimit = static_cast<std::size_t>(-1);

    ASSERT_TRUE(loaded);
    ASSERT_EQ(testkit::boundSide(), 5);
    const auto pixels = testkit::boundPixels(5);
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), bytes.begin()));
}

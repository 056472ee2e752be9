// The composite pass: what reaches its program, the state it leaves, how it
// covers the window, and how its construction fails.
#include "shading/DeferredRendering.h"

#include <gtest/gtest.h>

#include "shadingTestSupport.h"
#include "support/GLTestContext.h"

namespace {

GLint getInteger(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

const char *const passThroughVertex = "#version 120\n"
                                      "void main() {\n"
                                      "    gl_TexCoord[0] = gl_MultiTexCoord0;\n"
                                      "    gl_Position = ftransform();\n"
                                      "}\n";

class DeferredRenderingTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(gl.ok()) << gl.error(); }

    // The render state the frame leaves for the composite: depth test with
    // LEQUAL against a cleared depth buffer, back faces culled, CCW in front.
    static void frameState() {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CCW);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    GLTestContext gl{256, 256};
};

// A composite program of the test's own, loaded from data/ in a temporary
// working directory, as DeferredRendering looks for it.
class OwnComposite {
  public:
    explicit OwnComposite(const std::string &fragment) {
        dir.write("data/deferredRendering.vert", passThroughVertex);
        dir.write("data/deferredRendering.frag", fragment);
    }
    DeferredRendering *create(int width, int height) {
        ScopedWorkingDirectory inside(dir.path());
        return new DeferredRendering(width, height);
    }
    TempDir dir;
};

GLuint colourAttachment(GLuint fbo, int index) {
    GLint previous = getInteger(GL_FRAMEBUFFER_BINDING_EXT);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fbo);
    GLint name = 0;
    glGetFramebufferAttachmentParameterivEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT + index,
                                             GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME_EXT, &name);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, static_cast<GLuint>(previous));
    return static_cast<GLuint>(name);
}

// Replaces GLEW's pointer to glCheckFramebufferStatusEXT with a fake that
// reports an incomplete framebuffer on a chosen call, and notes which
// framebuffer was bound at each call.
struct FailingStatusCheck {
    static PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC real;
    static int callsLeft;
    static std::vector<GLuint> boundAtCall;
    static std::vector<GLuint> diffuseAtCall; // colour attachment 0 of the bound framebuffer

    explicit FailingStatusCheck(int failingCall) {
        real = __glewCheckFramebufferStatusEXT;
        callsLeft = failingCall;
        boundAtCall.clear();
        diffuseAtCall.clear();
        __glewCheckFramebufferStatusEXT = &check;
    }
    ~FailingStatusCheck() { __glewCheckFramebufferStatusEXT = real; }

    static GLenum GLAPIENTRY check(GLenum target) {
        GLuint bound = static_cast<GLuint>(getInteger(GL_FRAMEBUFFER_BINDING_EXT));
        boundAtCall.push_back(bound);
        diffuseAtCall.push_back(colourAttachment(bound, 0));
        if (--callsLeft == 0)
            return GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT;
        return real(target);
    }
};
PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC FailingStatusCheck::real = nullptr;
int FailingStatusCheck::callsLeft = 0;
std::vector<GLuint> FailingStatusCheck::boundAtCall;
std::vector<GLuint> FailingStatusCheck::diffuseAtCall;

} // namespace

TEST_F(DeferredRenderingTest, MatricesAndSamplersReachTheProgramAndUnitsAreReleased) {
    DeferredRendering renderer(1024, 768);
    EXPECT_EQ(renderer.width, 1024u);
    EXPECT_EQ(renderer.height, 768u);
    // The composite uses all seven uniforms.
    for (GLint location :
         {renderer.diffuseLocation, renderer.positionLocation, renderer.normalsLocation,
          renderer.shadowMapLocation, renderer.worldToLightViewMatrixLocation,
          renderer.lightViewToProjectionMatrixLocation, renderer.worldToCameraViewMatrixLocation})
        EXPECT_NE(location, -1);
    EXPECT_EQ(getInteger(GL_CURRENT_PROGRAM), 0); // construction does not use the program

    // Distinct, asymmetric values: a transposed or swapped upload shows.
    for (int i = 0; i < 16; ++i) {
        renderer.worldToLightViewMatrix[i] = 1.0f + static_cast<float>(i);
        renderer.lightViewToProjectionMatrix[i] = 100.0f + static_cast<float>(i);
        renderer.worldToCameraViewMatrix[i] = -200.0f - static_cast<float>(i);
    }
    OffscreenTarget window(320, 240);
    window.bind();
    frameState();
    glMatrixMode(GL_MODELVIEW);
    GLint projectionDepth = getInteger(GL_PROJECTION_STACK_DEPTH);
    GLint modelviewDepth = getInteger(GL_MODELVIEW_STACK_DEPTH);
    renderer.render();

    GLhandleARB program = renderer.shader.shaderProgram;
    const struct {
        GLint location;
        const GLfloat *expected;
    } matrices[3] = {
        {renderer.worldToLightViewMatrixLocation, renderer.worldToLightViewMatrix},
        {renderer.lightViewToProjectionMatrixLocation, renderer.lightViewToProjectionMatrix},
        {renderer.worldToCameraViewMatrixLocation, renderer.worldToCameraViewMatrix},
    };
    for (const auto &m : matrices) {
        GLfloat uploaded[16] = {};
        glGetUniformfvARB(program, m.location, uploaded);
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(uploaded[i], m.expected[i]) << "element " << i;
    }
    const GLint samplers[4] = {renderer.diffuseLocation, renderer.positionLocation,
                               renderer.normalsLocation, renderer.shadowMapLocation};
    for (int unit = 0; unit < 4; ++unit) {
        GLint value = -1;
        glGetUniformivARB(program, samplers[unit], &value);
        EXPECT_EQ(value, unit);
    }

    EXPECT_EQ(getInteger(GL_ACTIVE_TEXTURE), GL_TEXTURE3);
    for (int unit = 0; unit < 4; ++unit) {
        glActiveTextureARB(GL_TEXTURE0 + unit);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "unit " << unit;
        EXPECT_EQ(getInteger(GL_TEXTURE_BINDING_2D), 0) << "unit " << unit;
    }
    EXPECT_EQ(getInteger(GL_CURRENT_PROGRAM), 0);
    EXPECT_EQ(getInteger(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_EQ(getInteger(GL_PROJECTION_STACK_DEPTH), projectionDepth);
    EXPECT_EQ(getInteger(GL_MODELVIEW_STACK_DEPTH), modelviewDepth);
    GLfloat colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 1.0f);
    EXPECT_EQ(colour[1], 1.0f);
    EXPECT_EQ(colour[2], 1.0f);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(DeferredRenderingTest, QuadCoversAWindowOfAnotherSizeWithCoordinatesZeroToOne) {
    OwnComposite composite("#version 120\n"
                           "void main() { gl_FragColor = vec4(gl_TexCoord[0].st, 1.0, 1.0); }\n");
    std::unique_ptr<DeferredRendering> renderer(composite.create(1024, 768));
    // The window was resized after creation; the composite keeps its size.
    OffscreenTarget window(640, 400);
    window.bind();
    frameState();
    renderer->render();
    EXPECT_EQ(renderer->width, 1024u);
    EXPECT_EQ(renderer->height, 768u);

    std::vector<unsigned char> pixels = window.readPixels();
    savePicture("shading-composite-resized", 640, 400, 4, pixels.data());
    int uncovered = 0;
    for (size_t i = 0; i < pixels.size(); i += 4)
        uncovered += pixels[i + 2] != 255;
    EXPECT_EQ(uncovered, 0);
    Rgba bottomLeft = readPixel(0, 0), topRight = readPixel(639, 399), middle = readPixel(320, 200);
    EXPECT_LE(bottomLeft.r, 1);
    EXPECT_LE(bottomLeft.g, 1);
    EXPECT_GE(topRight.r, 254);
    EXPECT_GE(topRight.g, 254);
    EXPECT_NEAR(middle.r, 128, 1);
    EXPECT_NEAR(middle.g, 128, 1);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

TEST_F(DeferredRenderingTest, ProgramWithoutTheUniformsStillDraws) {
    OwnComposite composite("#version 120\n"
                           "void main() { gl_FragColor = vec4(1.0, 0.5, 0.0, 1.0); }\n");
    std::unique_ptr<DeferredRendering> renderer(composite.create(1024, 768));
    for (GLint location :
         {renderer->diffuseLocation, renderer->positionLocation, renderer->normalsLocation,
          renderer->shadowMapLocation, renderer->worldToLightViewMatrixLocation,
          renderer->lightViewToProjectionMatrixLocation, renderer->worldToCameraViewMatrixLocation})
        EXPECT_EQ(location, -1);
    OffscreenTarget window(1024, 768);
    window.bind();
    frameState();
    renderer->render();
    for (auto [x, y] : {std::pair{0, 0}, {1023, 767}, {512, 384}}) {
        Rgba p = readPixel(x, y);
        EXPECT_EQ(p.r, 255) << x << "," << y;
        EXPECT_NEAR(p.g, 128, 1) << x << "," << y;
        EXPECT_EQ(p.b, 0) << x << "," << y;
    }
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(DeferredRenderingTest, MissingCompositeShaderFileIsReported) {
    TempDir empty;
    ASSERT_TRUE(empty.ok());
    ScopedWorkingDirectory inside(empty.path());
    EXPECT_EQ(thrownMessage([] { delete new DeferredRendering(1024, 768); }),
              "Can't load GLSL Vertex Shader from file: data/deferredRendering.vert");
    empty.write("data/deferredRendering.vert", passThroughVertex);
    EXPECT_EQ(thrownMessage([] { delete new DeferredRendering(1024, 768); }),
              "Can't load GLSL Fragment Shader from file: data/deferredRendering.frag");
}

TEST_F(DeferredRenderingTest, ShadowMapFailureDestroysTheGBufferBeforeTheFailureLeaves) {
    FailingStatusCheck fake(2); // the G-buffer's check passes, the shadow map's fails
    std::string message = thrownMessage([] { delete new DeferredRendering(1024, 768); });
    EXPECT_EQ(message, "Can't initialize an FBO render texture. FBO initialization failed.");
    ASSERT_EQ(FailingStatusCheck::boundAtCall.size(), 2u);
    GLuint gBufferFbo = FailingStatusCheck::boundAtCall[0];
    GLuint shadowFbo = FailingStatusCheck::boundAtCall[1];
    EXPECT_NE(gBufferFbo, shadowFbo);
    // The G-buffer's objects are gone; the failed shadow map stays bound.
    EXPECT_FALSE(glIsFramebufferEXT(gBufferFbo));
    EXPECT_NE(FailingStatusCheck::diffuseAtCall[0], 0u);
    EXPECT_FALSE(glIsTexture(FailingStatusCheck::diffuseAtCall[0]));
    EXPECT_EQ(getInteger(GL_FRAMEBUFFER_BINDING_EXT), static_cast<GLint>(shadowFbo));
    EXPECT_TRUE(glIsFramebufferEXT(shadowFbo));
}

TEST_F(DeferredRenderingTest, GBufferFailureLeavesItsObjectsAndBuildsNoShadowMap) {
    {
        FailingStatusCheck fake(1);
        std::string message = thrownMessage([] { delete new DeferredRendering(1024, 768); });
        EXPECT_EQ(message, "Can't initialize an FBO render texture. FBO initialization failed.");
        ASSERT_EQ(FailingStatusCheck::boundAtCall.size(), 1u); // no shadow map was begun
    }
    GLuint gBufferFbo = static_cast<GLuint>(getInteger(GL_FRAMEBUFFER_BINDING_EXT));
    EXPECT_TRUE(glIsFramebufferEXT(gBufferFbo));
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(glIsTexture(colourAttachment(gBufferFbo, i))) << "attachment " << i;
}

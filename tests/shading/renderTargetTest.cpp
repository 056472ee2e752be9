// The G-buffer and the shadow map: creation, start/stop and the debug quads.
#include "shading/FBORenderTexture.h"
#include "shading/ShadowMapFBO.h"

#include <gtest/gtest.h>

#include "shadingTestSupport.h"
#include "support/GLTestContext.h"

namespace {

GLint getInteger(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

struct Viewport {
    GLint x, y, width, height;
};

Viewport currentViewport() {
    GLint v[4] = {};
    glGetIntegerv(GL_VIEWPORT, v);
    return {v[0], v[1], v[2], v[3]};
}

// RGBA floats of one pixel of a colour attachment of the bound framebuffer.
void readAttachment(GLenum attachment, int x, int y, float rgba[4]) {
    glReadBuffer(attachment);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_FLOAT, rgba);
}

class RenderTargetTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(gl.ok()) << gl.error(); }
    GLTestContext gl{1024, 768};
};

} // namespace

TEST_F(RenderTargetTest, GBufferFirstStartClearsAllThreeTexturesAndDepth) {
    FBORenderTexture gBuffer(1024, 768);
    EXPECT_EQ(getInteger(GL_FRAMEBUFFER_BINDING_EXT), 0);
    EXPECT_EQ(gBuffer.width, 1024);
    EXPECT_EQ(gBuffer.height, 768);

    glViewport(3, 4, 50, 60);
    glClearColor(0.2f, 0.3f, 0.8f, 1.0f);
    gBuffer.start();

    EXPECT_EQ(getInteger(GL_FRAMEBUFFER_BINDING_EXT), static_cast<GLint>(gBuffer.fbo));
    Viewport inside = currentViewport();
    EXPECT_EQ(inside.width, 1024);
    EXPECT_EQ(inside.height, 768);
    EXPECT_EQ(getInteger(GL_DRAW_BUFFER0), GL_COLOR_ATTACHMENT0_EXT);
    EXPECT_EQ(getInteger(GL_DRAW_BUFFER1), GL_COLOR_ATTACHMENT1_EXT);
    EXPECT_EQ(getInteger(GL_DRAW_BUFFER2), GL_COLOR_ATTACHMENT2_EXT);
    EXPECT_EQ(getInteger(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLfloat clear[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0], 0.0f);
    EXPECT_EQ(clear[1], 0.0f);
    EXPECT_EQ(clear[2], 0.0f);
    EXPECT_EQ(clear[3], 1.0f);

    // The very first clear reaches every attachment, in every corner.
    const GLenum attachments[3] = {GL_COLOR_ATTACHMENT0_EXT, GL_COLOR_ATTACHMENT1_EXT,
                                   GL_COLOR_ATTACHMENT2_EXT};
    const int points[3][2] = {{0, 0}, {512, 384}, {1023, 767}};
    for (GLenum attachment : attachments) {
        for (const auto &p : points) {
            float rgba[4] = {};
            readAttachment(attachment, p[0], p[1], rgba);
            SCOPED_TRACE(testing::Message() << "attachment " << attachment - attachments[0]
                                            << " at " << p[0] << "," << p[1]);
            EXPECT_NEAR(rgba[0], 0.2f, 0.003f);
            EXPECT_NEAR(rgba[1], 0.3f, 0.003f);
            EXPECT_NEAR(rgba[2], 0.8f, 0.003f);
            EXPECT_EQ(rgba[3], 1.0f);
        }
    }
    float depth = 0.0f;
    glReadPixels(700, 100, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_EQ(depth, 1.0f);

    // Position and normals keep full float precision, not bytes.
    glDrawBuffers(1, attachments + 1);
    glClearColor(-3.25f, 12.5f, 1000.125f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    float position[4] = {};
    readAttachment(GL_COLOR_ATTACHMENT1_EXT, 10, 10, position);
    EXPECT_EQ(position[0], -3.25f);
    EXPECT_EQ(position[1], 12.5f);
    EXPECT_EQ(position[2], 1000.125f);

    gBuffer.stop();
    EXPECT_EQ(getInteger(GL_FRAMEBUFFER_BINDING_EXT), 0);
    Viewport after = currentViewport();
    EXPECT_EQ(after.x, 3);
    EXPECT_EQ(after.y, 4);
    EXPECT_EQ(after.width, 50);
    EXPECT_EQ(after.height, 60);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RenderTargetTest, ShadowMapIsCompleteDepthOnlyAndClearsToOne) {
    ShadowMapFBO shadowMap;
    EXPECT_EQ(getInteger(GL_FRAMEBUFFER_BINDING_EXT), 0);
    EXPECT_EQ(shadowMap.width, 1024);
    EXPECT_EQ(shadowMap.height, 1024);

    // No colour is drawn or read, so the object is complete by every rule.
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, shadowMap.fbo);
    EXPECT_EQ(getInteger(GL_DRAW_BUFFER), GL_NONE);
    EXPECT_EQ(getInteger(GL_READ_BUFFER), GL_NONE);
    EXPECT_EQ(glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT),
              static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE_EXT));
    GLint attached = 0;
    glGetFramebufferAttachmentParameterivEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT,
                                             GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME_EXT, &attached);
    EXPECT_EQ(attached, static_cast<GLint>(shadowMap.depthTexture));
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);

    // Sampling returns stored depth: no comparison mode.
    glBindTexture(GL_TEXTURE_2D, shadowMap.depthTexture);
    GLint compareMode = -1;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, &compareMode);
    EXPECT_EQ(compareMode, GL_NONE);

    glViewport(0, 0, 300, 200);
    shadowMap.start();
    Viewport inside = currentViewport();
    EXPECT_EQ(inside.width, 1024);
    EXPECT_EQ(inside.height, 1024);
    shadowMap.stop();
    EXPECT_EQ(getInteger(GL_FRAMEBUFFER_BINDING_EXT), 0);
    EXPECT_EQ(currentViewport().width, 300);
    EXPECT_EQ(currentViewport().height, 200);

    glBindTexture(GL_TEXTURE_2D, shadowMap.depthTexture);
    std::vector<float> depth(1024 * 1024, 0.0f);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    size_t notOne = 0;
    for (float d : depth)
        notOne += d != 1.0f;
    EXPECT_EQ(notOne, 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RenderTargetTest, DebugQuadsLandWhereTheDebugViewPutsThem) {
    FBORenderTexture gBuffer(1024, 768);
    ShadowMapFBO shadowMap;
    // Fill each G-buffer texture with a colour of its own, and the shadow map
    // with depth 0.5.
    const float colours[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, gBuffer.fbo);
    for (int i = 0; i < 3; ++i) {
        glDrawBuffer(GL_COLOR_ATTACHMENT0_EXT + i);
        glClearColor(colours[i][0], colours[i][1], colours[i][2], 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, shadowMap.fbo);
    glClearDepth(0.5);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);

    OffscreenTarget window(1024, 768);
    window.bind();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_CULL_FACE);
    GLint projectionDepth = getInteger(GL_PROJECTION_STACK_DEPTH);
    GLint modelviewDepth = getInteger(GL_MODELVIEW_STACK_DEPTH);

    gBuffer.showTexture(0, 1024, 768, 512, 384, 0, 0);
    gBuffer.showTexture(1, 1024, 768, 512, 384, 512, 0);
    gBuffer.showTexture(2, 1024, 768, 512, 384, 0, 384);
    shadowMap.showTexture(1024, 768, 384, 384, 512, 384);

    EXPECT_EQ(getInteger(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(getInteger(GL_TEXTURE_BINDING_2D), 0);
    EXPECT_EQ(getInteger(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_EQ(getInteger(GL_PROJECTION_STACK_DEPTH), projectionDepth);
    EXPECT_EQ(getInteger(GL_MODELVIEW_STACK_DEPTH), modelviewDepth);

    std::vector<unsigned char> pixels = window.readPixels();
    savePicture("shading-debug-view", 1024, 768, 4, pixels.data());
    // y counted from the top, as the debug view places its quads.
    auto at = [&](int x, int yFromTop) {
        const unsigned char *p = &pixels[((767 - yFromTop) * 1024 + x) * 4];
        return Rgba{p[0], p[1], p[2], p[3]};
    };
    auto expectColour = [&](int x, int y, int r, int g, int b) {
        Rgba p = at(x, y);
        EXPECT_NEAR(p.r, r, 1) << "at " << x << "," << y;
        EXPECT_NEAR(p.g, g, 1) << "at " << x << "," << y;
        EXPECT_NEAR(p.b, b, 1) << "at " << x << "," << y;
    };
    // Each quarter's corners, just inside.
    for (int x : {0, 511})
        for (int y : {0, 383})
            expectColour(x, y, 255, 0, 0);
    for (int x : {512, 1023})
        for (int y : {0, 383})
            expectColour(x, y, 0, 255, 0);
    for (int x : {0, 511})
        for (int y : {384, 767})
            expectColour(x, y, 0, 0, 255);
    // The shadow map's 384 x 384 square from the centre, grey for depth 0.5,
    // and the black strip to its right that no quad covers.
    for (int x : {512, 895})
        for (int y : {384, 767})
            expectColour(x, y, 128, 128, 128);
    for (int x : {896, 1023})
        for (int y : {384, 767})
            expectColour(x, y, 0, 0, 0);

    // Any selector other than 1 and 2 shows the diffuse texture.
    for (int selector : {3, -1}) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        gBuffer.showTexture(selector, 1024, 768, 100, 100, 10, 10);
        Rgba p = readPixel(50, 767 - 50);
        EXPECT_EQ(p.r, 255) << "selector " << selector;
        EXPECT_EQ(p.g, 0) << "selector " << selector;
        Rgba outside = readPixel(150, 767 - 150);
        EXPECT_EQ(outside.r, 0) << "selector " << selector;
    }
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RenderTargetTest, DestructionDeletesEveryObject) {
    GLuint gObjects[5], gRenderbuffers[4], sObjects[2], sRenderbuffer;
    {
        FBORenderTexture gBuffer(64, 32);
        ShadowMapFBO shadowMap;
        GLuint g[5] = {gBuffer.fbo, gBuffer.diffuseTexture, gBuffer.positionTexture,
                       gBuffer.normalsTexture, 0};
        std::copy(g, g + 5, gObjects);
        GLuint r[4] = {gBuffer.diffuseRenderbuffer, gBuffer.positionRenderbuffer,
                       gBuffer.normalsRenderbuffer, gBuffer.depthRenderbuffer};
        std::copy(r, r + 4, gRenderbuffers);
        sObjects[0] = shadowMap.fbo;
        sObjects[1] = shadowMap.depthTexture;
        sRenderbuffer = shadowMap.depthRenderbuffer;
        EXPECT_TRUE(glIsFramebufferEXT(gBuffer.fbo));
        EXPECT_TRUE(glIsTexture(gBuffer.normalsTexture));
        EXPECT_TRUE(glIsRenderbufferEXT(gBuffer.depthRenderbuffer));
        EXPECT_TRUE(glIsTexture(shadowMap.depthTexture));
    }
    EXPECT_FALSE(glIsFramebufferEXT(gObjects[0]));
    for (int i = 1; i < 4; ++i)
        EXPECT_FALSE(glIsTexture(gObjects[i]));
    for (GLuint r : gRenderbuffers)
        EXPECT_FALSE(glIsRenderbufferEXT(r));
    EXPECT_FALSE(glIsFramebufferEXT(sObjects[0]));
    EXPECT_FALSE(glIsTexture(sObjects[1]));
    EXPECT_FALSE(glIsRenderbufferEXT(sRenderbuffer));
}

#include "testScene.h"

TestModel::TestModel(Kind kind, float scale, float x, float y, float z, float rotationY,
                     unsigned char r, unsigned char g, unsigned char b)
    : kind(kind), shader("data/deferredShading.vert", "data/deferredShading.frag"), scale(scale),
      x(x), y(y), z(z), rotationY(rotationY) {
    worldMatrixLocation = glGetUniformLocationARB(shader.shaderProgram, "WorldMatrix");
    diffuseLocation = glGetUniformLocationARB(shader.shaderProgram, "tDiffuse");
    const unsigned char texel[2 * 2 * 3] = {r, g, b, r, g, b, r, g, b, r, g, b};
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, texel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
}

TestModel::~TestModel() {
    glDeleteTextures(1, &texture);
}

namespace {

void vertex(float s, float t, float nx, float ny, float nz, float x, float y, float z) {
    glTexCoord2f(s, t);
    glNormal3f(nx, ny, nz);
    glVertex3f(x, y, z);
}

void drawCubeGeometry() {
    glBegin(GL_QUADS);
    vertex(0, 0, 0, 0, 1, -1, -1, 1); // +Z
    vertex(1, 0, 0, 0, 1, 1, -1, 1);
    vertex(1, 1, 0, 0, 1, 1, 1, 1);
    vertex(0, 1, 0, 0, 1, -1, 1, 1);
    vertex(1, 0, 0, 0, -1, -1, -1, -1); // -Z
    vertex(1, 1, 0, 0, -1, -1, 1, -1);
    vertex(0, 1, 0, 0, -1, 1, 1, -1);
    vertex(0, 0, 0, 0, -1, 1, -1, -1);
    vertex(0, 1, 0, 1, 0, -1, 1, -1); // +Y
    vertex(0, 0, 0, 1, 0, -1, 1, 1);
    vertex(1, 0, 0, 1, 0, 1, 1, 1);
    vertex(1, 1, 0, 1, 0, 1, 1, -1);
    vertex(1, 1, 0, -1, 0, -1, -1, -1); // -Y
    vertex(0, 1, 0, -1, 0, 1, -1, -1);
    vertex(0, 0, 0, -1, 0, 1, -1, 1);
    vertex(1, 0, 0, -1, 0, -1, -1, 1);
    vertex(1, 0, 1, 0, 0, 1, -1, -1); // +X
    vertex(1, 1, 1, 0, 0, 1, 1, -1);
    vertex(0, 1, 1, 0, 0, 1, 1, 1);
    vertex(0, 0, 1, 0, 0, 1, -1, 1);
    vertex(0, 0, -1, 0, 0, -1, -1, -1); // -X
    vertex(1, 0, -1, 0, 0, -1, -1, 1);
    vertex(1, 1, -1, 0, 0, -1, 1, 1);
    vertex(0, 1, -1, 0, 0, -1, 1, -1);
    glEnd();
}

void drawPlaneGeometry() {
    glBegin(GL_QUADS);
    vertex(0, 1, 0, 1, 0, -1, 0, -1);
    vertex(0, 0, 0, 1, 0, -1, 0, 1);
    vertex(1, 0, 0, 1, 0, 1, 0, 1);
    vertex(1, 1, 0, 1, 0, 1, 0, -1);
    glEnd();
}

} // namespace

void TestModel::draw() {
    glPushMatrix();
    GLfloat view[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, view);
    if (kind == Cube) {
        glScalef(scale, scale, scale);
        glTranslatef(x, y, z);
        glRotatef(rotationY, 0, 1, 0);
    } else {
        glTranslatef(x, y, z);
        glRotatef(rotationY, 0, 1, 0);
        glScalef(scale, scale, scale);
    }
    glUseProgramObjectARB(shader.shaderProgram);
    glBindTexture(GL_TEXTURE_2D, texture);
    glUniform1iARB(diffuseLocation, 0);
    glUniformMatrix4fvARB(worldMatrixLocation, 1, GL_FALSE, view);
    if (kind == Cube)
        drawCubeGeometry();
    else
        drawPlaneGeometry();
    glUseProgramObjectARB(0);
    glPopMatrix();
}

void setShellState(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(40.0, static_cast<double>(width) / height, 1.0, 30.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_CULL_FACE);
}

FrameMatrices drawFrame(DeferredRendering &renderer, const OffscreenTarget &target,
                        const std::vector<TestModel *> &models,
                        const std::vector<TestModel *> &shadowCasters, float lightAngle,
                        bool composite) {
    FrameMatrices m{};
    target.bind();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.2f, 0.3f, 0.8f, 1.0f);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(20.0, 1.0, 40.0, 70.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(55, 1, 0, 0);
    glRotatef(-45, 0, 1, 0);
    glTranslatef(-25, -50, -25);
    glRotatef(lightAngle, 0, 1, 0);
    glFrontFace(GL_CW);
    renderer.shadowMap.start();
    for (TestModel *model : shadowCasters)
        model->draw();
    renderer.shadowMap.stop();
    glGetFloatv(GL_MODELVIEW_MATRIX, m.lightView);
    glGetFloatv(GL_PROJECTION_MATRIX, m.lightProjection);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glGetFloatv(GL_PROJECTION_MATRIX, m.cameraProjection);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(20, 1, 0, 0);
    glTranslatef(0, -6.5f, -11);
    glFrontFace(GL_CCW);
    glGetFloatv(GL_MODELVIEW_MATRIX, m.cameraView);
    // The render targets return to framebuffer 0; the target stands in for it.
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, target.fbo);
    renderer.gBuffer.start();
    for (TestModel *model : models)
        model->draw();
    renderer.gBuffer.stop();
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, target.fbo);

    if (composite) {
        std::copy(m.lightView, m.lightView + 16, renderer.worldToLightViewMatrix);
        std::copy(m.lightProjection, m.lightProjection + 16, renderer.lightViewToProjectionMatrix);
        std::copy(m.cameraView, m.cameraView + 16, renderer.worldToCameraViewMatrix);
        renderer.render();
    }
    return m;
}

void eyePoint(const GLfloat view[16], double eye[3]) {
    // Column-major: the rotation's columns are view[0..2], view[4..6],
    // view[8..10]; the eye is -R^T t.
    for (int i = 0; i < 3; ++i)
        eye[i] =
            -(view[i * 4 + 0] * view[12] + view[i * 4 + 1] * view[13] + view[i * 4 + 2] * view[14]);
}

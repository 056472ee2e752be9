#include "testScene.h"

#include "scene/frameViews.h"
#include "shell/shell.h"

void paint(IModel &model, unsigned char r, unsigned char g, unsigned char b) {
    const unsigned char texel[2 * 2 * 3] = {r, g, b, r, g, b, r, g, b, r, g, b};
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glGenTextures(1, &model.texture);
    glBindTexture(GL_TEXTURE_2D, model.texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, texel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

void setShellState(int width, int height) {
    resize(width, height);
    setFixedRenderState();
}

FrameMatrices drawFrame(DeferredRendering &renderer, const OffscreenTarget &target,
                        const std::vector<IModel *> &models,
                        const std::vector<IModel *> &shadowCasters, float lightAngle,
                        bool composite) {
    FrameMatrices m{};
    target.bind();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.2f, 0.3f, 0.8f, 1.0f);

    loadLightProjectionAndView(lightAngle);
    glFrontFace(GL_CW);
    renderer.shadowMap.start();
    for (IModel *model : shadowCasters)
        model->draw();
    renderer.shadowMap.stop();
    glGetFloatv(GL_MODELVIEW_MATRIX, m.lightView);
    glGetFloatv(GL_PROJECTION_MATRIX, m.lightProjection);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glGetFloatv(GL_PROJECTION_MATRIX, m.cameraProjection);

    loadCameraView();
    glFrontFace(GL_CCW);
    glGetFloatv(GL_MODELVIEW_MATRIX, m.cameraView);
    // The render targets return to framebuffer 0; the target stands in for it.
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, target.fbo);
    renderer.gBuffer.start();
    for (IModel *model : models)
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

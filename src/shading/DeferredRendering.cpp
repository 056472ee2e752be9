#include "shading/DeferredRendering.h"

// The members are built in declaration order; if one of them throws, the ones
// already built are destroyed in reverse order before the exception leaves.
DeferredRendering::DeferredRendering(int width, int height)
    : shader("data/deferredRendering.vert", "data/deferredRendering.frag"), gBuffer(width, height),
      shadowMap(), width(static_cast<GLuint>(width)), height(static_cast<GLuint>(height)),
      worldToLightViewMatrix(), lightViewToProjectionMatrix(), worldToCameraViewMatrix() {
    GLhandleARB program = shader.shaderProgram;
    diffuseLocation = glGetUniformLocationARB(program, "tDiffuse");
    positionLocation = glGetUniformLocationARB(program, "tPosition");
    normalsLocation = glGetUniformLocationARB(program, "tNormals");
    shadowMapLocation = glGetUniformLocationARB(program, "tShadowMap");
    worldToLightViewMatrixLocation = glGetUniformLocationARB(program, "worldToLightViewMatrix");
    lightViewToProjectionMatrixLocation =
        glGetUniformLocationARB(program, "lightViewToProjectionMatrix");
    worldToCameraViewMatrixLocation = glGetUniformLocationARB(program, "worldToCameraViewMatrix");
}

void DeferredRendering::render() {
    const GLdouble right = static_cast<GLdouble>(width);
    const GLdouble top = static_cast<GLdouble>(height);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, right, 0.0, top, 0.1, 2.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();

    glUseProgramObjectARB(shader.shaderProgram);

    const struct {
        GLenum unit;
        GLuint texture;
        GLint location;
    } inputs[4] = {
        {GL_TEXTURE0, gBuffer.diffuseTexture, diffuseLocation},
        {GL_TEXTURE1, gBuffer.positionTexture, positionLocation},
        {GL_TEXTURE2, gBuffer.normalsTexture, normalsLocation},
        {GL_TEXTURE3, shadowMap.depthTexture, shadowMapLocation},
    };
    for (int i = 0; i < 4; ++i) {
        glActiveTextureARB(inputs[i].unit);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, inputs[i].texture);
        glUniform1iARB(inputs[i].location, i);
    }

    glUniformMatrix4fv(worldToCameraViewMatrixLocation, 1, GL_FALSE, worldToCameraViewMatrix);
    glUniformMatrix4fv(lightViewToProjectionMatrixLocation, 1, GL_FALSE,
                       lightViewToProjectionMatrix);
    glUniformMatrix4fv(worldToLightViewMatrixLocation, 1, GL_FALSE, worldToLightViewMatrix);

    // One quad over the whole viewport, at eye depth -1 between the planes.
    const GLfloat w = static_cast<GLfloat>(width);
    const GLfloat h = static_cast<GLfloat>(height);
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 1.0f);
    glTranslatef(0.0f, 0.0f, -1.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(w, 0.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(w, h, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(0.0f, h, 0.0f);
    glEnd();

    for (int i = 0; i < 4; ++i) {
        glActiveTextureARB(inputs[i].unit);
        glDisable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, 0);
    }

    glUseProgramObjectARB(0);

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

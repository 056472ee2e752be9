#include "drawables/IModel.h"

IModel::IModel(const std::string &vertexShaderPath, const std::string &fragmentShaderPath,
               float scale)
    : shader(vertexShaderPath, fragmentShaderPath), rotationX(0.0f), rotationY(0.0f),
      rotationZ(0.0f), positionX(0.0f), positionY(0.0f), positionZ(0.0f), texture(0), scale(scale) {
    worldMatrixLocation = glGetUniformLocationARB(shader.shaderProgram, "WorldMatrix");
    diffuseLocation = glGetUniformLocationARB(shader.shaderProgram, "tDiffuse");
}

IModel::~IModel() = default;

void IModel::beginDraw(GLfloat view[16]) {
    glPushMatrix();
    glGetFloatv(GL_MODELVIEW_MATRIX, view);
}

void IModel::rotate() {
    glRotatef(rotationX, 1.0f, 0.0f, 0.0f);
    glRotatef(rotationY, 0.0f, 1.0f, 0.0f);
    glRotatef(rotationZ, 0.0f, 0.0f, 1.0f);
}

void IModel::bindProgram(const GLfloat view[16]) {
    glUseProgramObjectARB(shader.shaderProgram);
    glBindTexture(GL_TEXTURE_2D, texture);
    glUniform1iARB(diffuseLocation, 0);
    glUniformMatrix4fvARB(worldMatrixLocation, 1, GL_FALSE, view);
}

void IModel::endDraw() {
    glUseProgramObjectARB(0);
    glPopMatrix();
}

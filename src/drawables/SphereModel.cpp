#include "drawables/SphereModel.h"

SphereModel::SphereModel(const std::string &vertexShaderPath, const std::string &fragmentShaderPath,
                         float scale)
    : IModel(vertexShaderPath, fragmentShaderPath, scale), tessellation(64) {}

void SphereModel::draw() {
    GLfloat view[16];
    beginDraw(view);

    glTranslatef(positionX, positionY, positionZ);
    rotate();

    bindProgram(view);

    // The quadric lives for this one draw. GLU returns none when it is out of
    // memory; the sphere is then left out of this draw rather than crashing,
    // and the program and matrix are still restored below.
    GLUquadric *quadric = gluNewQuadric();
    if (quadric) {
        gluQuadricTexture(quadric, GL_TRUE);
        gluSphere(quadric, static_cast<GLdouble>(scale), tessellation, tessellation);
        gluDeleteQuadric(quadric);
    }

    endDraw();
}

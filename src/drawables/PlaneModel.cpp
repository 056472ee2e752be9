#include "drawables/PlaneModel.h"

PlaneModel::PlaneModel(const std::string &vertexShaderPath, const std::string &fragmentShaderPath,
                       float scale)
    : IModel(vertexShaderPath, fragmentShaderPath, scale) {}

void PlaneModel::draw() {
    GLfloat view[16];
    beginDraw(view);

    glTranslatef(positionX, positionY, positionZ);
    rotate();
    glScalef(scale, scale, scale);

    bindProgram(view);

    // Counter-clockwise seen from above; the texture is stretched once over
    // the square whatever the scale.
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glNormal3f(0.0f, 1.0f, 0.0f);
    glVertex3f(-1.0f, 0.0f, -1.0f);
    glTexCoord2f(0.0f, 0.0f);
    glNormal3f(0.0f, 1.0f, 0.0f);
    glVertex3f(-1.0f, 0.0f, 1.0f);
    glTexCoord2f(1.0f, 0.0f);
    glNormal3f(0.0f, 1.0f, 0.0f);
    glVertex3f(1.0f, 0.0f, 1.0f);
    glTexCoord2f(1.0f, 1.0f);
    glNormal3f(0.0f, 1.0f, 0.0f);
    glVertex3f(1.0f, 0.0f, -1.0f);
    glEnd();

    endDraw();
}

#include "drawables/CubeModel.h"

namespace {

struct CubeVertex {
    GLfloat s, t;
    GLfloat nx, ny, nz;
    GLfloat x, y, z;
};

// Six faces of four vertices, each wound counter-clockwise as seen from
// outside, each carrying the whole texture once.
const CubeVertex cubeVertices[24] = {
    // +Z
    {0, 0, 0, 0, 1, -1, -1, 1},
    {1, 0, 0, 0, 1, 1, -1, 1},
    {1, 1, 0, 0, 1, 1, 1, 1},
    {0, 1, 0, 0, 1, -1, 1, 1},
    // -Z
    {1, 0, 0, 0, -1, -1, -1, -1},
    {1, 1, 0, 0, -1, -1, 1, -1},
    {0, 1, 0, 0, -1, 1, 1, -1},
    {0, 0, 0, 0, -1, 1, -1, -1},
    // +Y
    {0, 1, 0, 1, 0, -1, 1, -1},
    {0, 0, 0, 1, 0, -1, 1, 1},
    {1, 0, 0, 1, 0, 1, 1, 1},
    {1, 1, 0, 1, 0, 1, 1, -1},
    // -Y
    {1, 1, 0, -1, 0, -1, -1, -1},
    {0, 1, 0, -1, 0, 1, -1, -1},
    {0, 0, 0, -1, 0, 1, -1, 1},
    {1, 0, 0, -1, 0, -1, -1, 1},
    // +X
    {1, 0, 1, 0, 0, 1, -1, -1},
    {1, 1, 1, 0, 0, 1, 1, -1},
    {0, 1, 1, 0, 0, 1, 1, 1},
    {0, 0, 1, 0, 0, 1, -1, 1},
    // -X
    {0, 0, -1, 0, 0, -1, -1, -1},
    {1, 0, -1, 0, 0, -1, -1, 1},
    {1, 1, -1, 0, 0, -1, 1, 1},
    {0, 1, -1, 0, 0, -1, 1, -1},
};

} // namespace

CubeModel::CubeModel(const std::string &vertexShaderPath, const std::string &fragmentShaderPath,
                     float scale)
    : IModel(vertexShaderPath, fragmentShaderPath, scale) {}

void CubeModel::draw() {
    GLfloat view[16];
    beginDraw(view);

    glScalef(scale, scale, scale);
    glTranslatef(positionX, positionY, positionZ);
    rotate();

    bindProgram(view);

    glBegin(GL_QUADS);
    for (const CubeVertex &v : cubeVertices) {
        glTexCoord2f(v.s, v.t);
        glNormal3f(v.nx, v.ny, v.nz);
        glVertex3f(v.x, v.y, v.z);
    }
    glEnd();

    endDraw();
}

// The abstract drawable model: its own shader pair, one texture, a rotation,
// a position and a scale, and one drawing operation.
#pragma once

#include <string>

#include "platform/opengl.h"
#include "shading/GLSLProgram.h"

class IModel {
  public:
    // Loads, compiles and links the shader pair and looks up the uniforms
    // "WorldMatrix" and "tDiffuse". Rotation, position and texture start at 0.
    IModel(const std::string &vertexShaderPath, const std::string &fragmentShaderPath, float scale);
    // Deletes no OpenGL object: the texture and the program end with the context.
    virtual ~IModel();
    IModel(const IModel &) = delete;
    IModel &operator=(const IModel &) = delete;

    // Draws the model with the modelview matrix current. Leaves the modelview
    // matrix as it found it, no program in use and the texture bound on the
    // active unit.
    virtual void draw() = 0;

    GLSLProgram shader;
    GLint worldMatrixLocation; // "WorldMatrix", -1 if the program lacks it
    GLfloat rotationX;         // degrees
    GLfloat rotationY;
    GLfloat rotationZ;
    GLfloat positionX; // world units
    GLfloat positionY;
    GLfloat positionZ;
    GLint diffuseLocation; // "tDiffuse", -1 if the program lacks it
    GLuint texture;        // 0 until loadTexture gives the model one
    GLfloat scale;

  protected:
    // The parts of the draw sequence that every kind shares. A kind's draw()
    // calls them around its own transforms and geometry:
    //   beginDraw(view); <transforms>; bindProgram(view); <geometry>; endDraw();

    // Pushes the modelview matrix and captures it, before any of the model's
    // own transforms, as the view matrix of the pass in progress.
    void beginDraw(GLfloat view[16]);
    // Multiplies on the rotations about X, then Y, then Z, so that a vertex
    // is turned about Z first.
    void rotate();
    // Puts the program in use, binds the texture on the active unit and sets
    // "tDiffuse" to unit 0 and "WorldMatrix" to the captured view matrix.
    void bindProgram(const GLfloat view[16]);
    // Takes the program out of use and pops the modelview matrix.
    void endDraw();
};

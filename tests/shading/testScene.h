// A small scene drawn through the three passes of a frame, for image checks:
// models that follow the drawing contract of the real ones (view captured as
// "WorldMatrix", then their own transforms) with plain one-colour textures.
#pragma once

#include <vector>

#include "shading/DeferredRendering.h"
#include "shadingTestSupport.h"

struct TestModel {
    enum Kind { Plane, Cube };
    // Plane: translate, rotate, scale the geometry. Cube: scale everything,
    // then translate and rotate (the position is scaled too).
    TestModel(Kind kind, float scale, float x, float y, float z, float rotationY, unsigned char r,
              unsigned char g, unsigned char b);
    ~TestModel();
    TestModel(const TestModel &) = delete;
    TestModel &operator=(const TestModel &) = delete;
    void draw();

    Kind kind;
    GLSLProgram shader;
    GLint worldMatrixLocation;
    GLint diffuseLocation;
    GLuint texture = 0;
    float scale, x, y, z, rotationY;
};

// Matrices of one frame, as the frame reads them back.
struct FrameMatrices {
    GLfloat lightView[16];
    GLfloat lightProjection[16];
    GLfloat cameraView[16];
    GLfloat cameraProjection[16];
};

// Sets the render state the shell leaves for every frame: depth test with
// LEQUAL, back-face culling, and the camera projection for the given aspect.
void setShellState(int width, int height);

// Draws one frame into target in the order the frame uses: light pass into
// the shadow map, camera pass into the G-buffer, then the composite (or the
// G-buffer only if composite is false). Models in shadowCasters go into the
// shadow map; all models go into the G-buffer.
FrameMatrices drawFrame(DeferredRendering &renderer, const OffscreenTarget &target,
                        const std::vector<TestModel *> &models,
                        const std::vector<TestModel *> &shadowCasters, float lightAngle,
                        bool composite = true);

// The world point a view matrix maps to the origin (its eye point), for a
// view built from rotations and translations.
void eyePoint(const GLfloat view[16], double eye[3]);

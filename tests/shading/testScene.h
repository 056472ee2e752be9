// A small scene drawn through the three passes of a frame, for image checks:
// the real models with plain one-colour textures, into an off-screen target.
#pragma once

#include <vector>

#include "drawables/IModel.h"
#include "shading/DeferredRendering.h"
#include "shadingTestSupport.h"

// Gives a model a one-colour texture in place of a RAW file, so that image
// checks can tell the models apart.
void paint(IModel &model, unsigned char r, unsigned char g, unsigned char b);

// Matrices of one frame, as the frame reads them back.
struct FrameMatrices {
    GLfloat lightView[16];
    GLfloat lightProjection[16];
    GLfloat cameraView[16];
    GLfloat cameraProjection[16];
};

// Sets what the shell leaves for every frame: the drawing size with its
// viewport and camera projection, and the fixed render state.
void setShellState(int width, int height);

// Draws one frame into target in the order the frame uses: light pass into
// the shadow map, camera pass into the G-buffer, then the composite (or the
// G-buffer only if composite is false). Models in shadowCasters go into the
// shadow map; all models go into the G-buffer.
FrameMatrices drawFrame(DeferredRendering &renderer, const OffscreenTarget &target,
                        const std::vector<IModel *> &models,
                        const std::vector<IModel *> &shadowCasters, float lightAngle,
                        bool composite = true);

// The world point a view matrix maps to the origin (its eye point), for a
// view built from rotations and translations.
void eyePoint(const GLfloat view[16], double eye[3]);

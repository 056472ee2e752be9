// A composite shader program together with the uniform locations that
// DeferredRendering looks up for it, so that the benchmark can switch the
// renderer between composites without rebuilding it.
#pragma once

#include "platform/opengl.h"
#include "shading/DeferredRendering.h"

struct CompositeProgram {
    GLhandleARB program = 0;
    GLint diffuse = -1;
    GLint position = -1;
    GLint normals = -1;
    GLint shadowMap = -1;
    GLint worldToLightViewMatrix = -1;
    GLint lightViewToProjectionMatrix = -1;
    GLint worldToCameraViewMatrix = -1;
};

// The program the renderer draws its composite with now.
CompositeProgram currentComposite(const DeferredRendering &renderer);

// Looks up the seven uniforms on program, as the renderer does for its own.
CompositeProgram compositeFor(GLhandleARB program);

// Makes the renderer draw its composite with this program from now on.
void useComposite(DeferredRendering &renderer, const CompositeProgram &composite);

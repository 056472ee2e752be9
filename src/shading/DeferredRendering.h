// The deferred composite: owns the composite program, the G-buffer and the
// shadow map, and draws the final image from their four textures.
#pragma once

#include "platform/opengl.h"
#include "shading/FBORenderTexture.h"
#include "shading/GLSLProgram.h"
#include "shading/ShadowMapFBO.h"

class DeferredRendering {
  public:
    // Loads "data/deferredRendering.vert" and ".frag", creates the G-buffer
    // at width x height and the shadow map, and looks up the composite's
    // uniforms. A failure of any member leaves as that member's exception,
    // after the members already built have been destroyed.
    DeferredRendering(int width, int height);

    DeferredRendering(const DeferredRendering &) = delete;
    DeferredRendering &operator=(const DeferredRendering &) = delete;

    // Draws one quad over the whole viewport with the composite program,
    // reading the G-buffer on units 0 to 2 and the shadow map on unit 3.
    // Leaves unit 3 active, texturing off and texture 0 bound on units 0 to 3.
    void render();

    GLSLProgram shader;
    FBORenderTexture gBuffer;
    ShadowMapFBO shadowMap;
    GLuint width;
    GLuint height;
    // Column-major, as OpenGL returns them; the frame fills all three before
    // every render.
    GLfloat worldToLightViewMatrix[16];
    GLfloat lightViewToProjectionMatrix[16];
    GLfloat worldToCameraViewMatrix[16];
    GLint diffuseLocation;
    GLint positionLocation;
    GLint normalsLocation;
    GLint shadowMapLocation;
    GLint worldToLightViewMatrixLocation;
    GLint lightViewToProjectionMatrixLocation;
    GLint worldToCameraViewMatrixLocation;
};

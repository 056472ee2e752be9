#include "CompositeProgram.h"

CompositeProgram currentComposite(const DeferredRendering &renderer) {
    CompositeProgram c;
    c.program = renderer.shader.shaderProgram;
    c.diffuse = renderer.diffuseLocation;
    c.position = renderer.positionLocation;
    c.normals = renderer.normalsLocation;
    c.shadowMap = renderer.shadowMapLocation;
    c.worldToLightViewMatrix = renderer.worldToLightViewMatrixLocation;
    c.lightViewToProjectionMatrix = renderer.lightViewToProjectionMatrixLocation;
    c.worldToCameraViewMatrix = renderer.worldToCameraViewMatrixLocation;
    return c;
}

CompositeProgram compositeFor(GLhandleARB program) {
    CompositeProgram c;
    c.program = program;
    c.diffuse = glGetUniformLocationARB(program, "tDiffuse");
    c.position = glGetUniformLocationARB(program, "tPosition");
    c.normals = glGetUniformLocationARB(program, "tNormals");
    c.shadowMap = glGetUniformLocationARB(program, "tShadowMap");
    c.worldToLightViewMatrix = glGetUniformLocationARB(program, "worldToLightViewMatrix");
    c.lightViewToProjectionMatrix = glGetUniformLocationARB(program, "lightViewToProjectionMatrix");
    c.worldToCameraViewMatrix = glGetUniformLocationARB(program, "worldToCameraViewMatrix");
    return c;
}

void useComposite(DeferredRendering &renderer, const CompositeProgram &composite) {
    renderer.shader.shaderProgram = composite.program;
    renderer.diffuseLocation = composite.diffuse;
    renderer.positionLocation = composite.position;
    renderer.normalsLocation = composite.normals;
    renderer.shadowMapLocation = composite.shadowMap;
    renderer.worldToLightViewMatrixLocation = composite.worldToLightViewMatrix;
    renderer.lightViewToProjectionMatrixLocation = composite.lightViewToProjectionMatrix;
    renderer.worldToCameraViewMatrixLocation = composite.worldToCameraViewMatrix;
}

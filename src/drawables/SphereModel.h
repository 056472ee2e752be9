// A textured sphere of radius `scale`, drawn through a GLU quadric.
#pragma once

#include "drawables/IModel.h"

class SphereModel : public IModel {
  public:
    SphereModel(const std::string &vertexShaderPath, const std::string &fragmentShaderPath,
                float scale);

    // A vertex v lands at position + Rx * Ry * Rz * v; the scale is the radius
    // and never enters the modelview matrix.
    void draw() override;

    GLint tessellation; // slices around the Z axis and stacks along it
};

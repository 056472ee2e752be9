// A textured square in the plane y = 0 with corners at +-1 in x and z,
// facing up.
#pragma once

#include "drawables/IModel.h"

class PlaneModel : public IModel {
  public:
    PlaneModel(const std::string &vertexShaderPath, const std::string &fragmentShaderPath,
               float scale);

    // The scale applies to the geometry only:
    // a vertex v lands at position + Rx * Ry * Rz * (scale * v).
    void draw() override;
};

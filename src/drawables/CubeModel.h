// A textured box: a cube with corners at +-1 on every axis.
#pragma once

#include "drawables/IModel.h"

class CubeModel : public IModel {
  public:
    CubeModel(const std::string &vertexShaderPath, const std::string &fragmentShaderPath,
              float scale);

    // The scale applies to everything, the position included:
    // a vertex v lands at scale * (position + Rx * Ry * Rz * v).
    void draw() override;
};

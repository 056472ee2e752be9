// A real model (its program is built from the shader files in data/) that
// records its destruction, so tests can see when and in what order the
// shell gives the scene back.
#pragma once

#include <string>

#include "drawables/IModel.h"
#include "startupRecorder.h"

class RecordingModel : public IModel {
  public:
    explicit RecordingModel(int slot)
        : IModel("data/deferredShading.vert", "data/deferredShading.frag", 1.0f), slot(slot) {}
    ~RecordingModel() override { recorder::calls.push_back("~model" + std::to_string(slot)); }
    void draw() override {}

    int slot;
};

#include "rebuild.h"

#include <iterator>
#include <memory>
#include <vector>

#include "drawables/IModel.h"
#include "shading/DeferredRendering.h"
#include "shading/GLSLProgram.h"
#include "shell/AppState.h"
#include "shell/shell.h"

const char *const compositeShaderFiles[2] = {"data/deferredRendering.vert",
                                             "data/deferredRendering.frag"};
const char *const modelShaderFiles[2] = {"data/deferredShading.vert", "data/deferredShading.frag"};

namespace {

// Runs `build`, turning what the scene's parts raise into `failure`.
bool buildOrExplain(const std::function<void()> &build, BuildFailure &failure) {
    return explainSetupFailure(build, failure.message, failure.details);
}

// The program and its two shaders, which GLSLProgram leaves to the context.
void deleteObjects(const GLSLProgram &program) {
    glDeleteObjectARB(program.shaderProgram);
    glDeleteObjectARB(program.vertexShader);
    glDeleteObjectARB(program.fragmentShader);
}

} // namespace

bool rebuildComposite(BuildFailure &failure) {
    DeferredRendering *old = appState.deferredRendering;
    DeferredRendering *fresh = nullptr;
    if (!buildOrExplain(
            [&] {
                fresh = new DeferredRendering(static_cast<int>(old->width),
                                              static_cast<int>(old->height));
            },
            failure))
        return false;
    appState.deferredRendering = fresh;
    deleteObjects(old->shader);
    delete old; // its render targets go with it
    return true;
}

bool rebuildModelPrograms(BuildFailure &failure) {
    std::vector<std::unique_ptr<GLSLProgram>> programs;
    bool built = buildOrExplain(
        [&] {
            for (std::size_t slot = 0; slot < std::size(appState.models); ++slot)
                programs.push_back(
                    std::make_unique<GLSLProgram>(modelShaderFiles[0], modelShaderFiles[1]));
        },
        failure);
    if (!built) {
        for (const auto &program : programs)
            deleteObjects(*program);
        return false;
    }
    for (std::size_t slot = 0; slot < programs.size(); ++slot) {
        IModel &model = *appState.models[slot];
        const GLSLProgram &program = *programs[slot];
        deleteObjects(model.shader);
        model.shader.vertexShader = program.vertexShader;
        model.shader.fragmentShader = program.fragmentShader;
        model.shader.shaderProgram = program.shaderProgram;
        // The uniforms that IModel looks up when it is made.
        model.worldMatrixLocation = glGetUniformLocationARB(program.shaderProgram, "WorldMatrix");
        model.diffuseLocation = glGetUniformLocationARB(program.shaderProgram, "tDiffuse");
    }
    return true;
}

// Building the scene's programs again from their files while the lab runs.
// Only a program that built replaces the one in use; the one it replaces is
// deleted, so that reloading again and again does not pile programs up.
#pragma once

#include <string>

// The vertex and fragment shader files of the composite and of the models,
// as start-up loads them.
extern const char *const compositeShaderFiles[2];
extern const char *const modelShaderFiles[2];

// Why a program could not be built: the loader's message and, for a shader
// that did not compile or a program that did not link, its files and the
// driver's log, as start-up would report them.
struct BuildFailure {
    std::string message;
    std::string details;
};

// The composite: the whole renderer is made again at its present size, as
// start-up makes it, and takes the old one's place. False if it failed.
bool rebuildComposite(BuildFailure &failure);

// The models' programs: one for each model, all built before any is swapped
// in, so that the models never draw with programs of different texts.
bool rebuildModelPrograms(BuildFailure &failure);

#include "scene/scene.h"

#include "shell/AppState.h"

// Placeholder until the scene exists: nothing to build yet.
void initScene() { appState.viewMode = 0; }

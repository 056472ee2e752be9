#include "scene/scene.h"

#include "platform/opengl.h"
#include "shell/AppState.h"

// Placeholder until the scene exists: clear the window and present it.
void render() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SwapBuffers(appState.hDC);
}

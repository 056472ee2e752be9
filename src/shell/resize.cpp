#include "shell/shell.h"

#include "platform/opengl.h"
#include "shell/AppState.h"

void resize(std::int32_t width, std::int32_t height) {
    appState.screenWidth = width;
    appState.screenHeight = height;

    // Before the context exists (a WM_SIZE during window creation) these
    // calls have nothing to act on and do nothing.
    glViewport(0, 0, width, height);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // A minimised window, or one dragged down to no height, has no aspect
    // ratio; a square one keeps the projection finite until the next resize.
    double aspect = 1.0;
    if (width > 0 && height > 0)
        aspect = static_cast<double>(width) / static_cast<double>(height);
    gluPerspective(40.0, aspect, 1.0, 30.0);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

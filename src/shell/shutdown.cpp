#include "shell/shell.h"

#include "drawables/IModel.h"
#include "shading/DeferredRendering.h"
#include "shell/AppState.h"

void shutdown() {
    // The renderer deletes its framebuffers and textures, so the context
    // must still be current here.
    if (appState.deferredRendering)
        delete appState.deferredRendering;
    for (IModel *model : appState.models)
        if (model)
            delete model;

    wglMakeCurrent(appState.hDC, nullptr);
    wglDeleteContext(appState.hRC);
    ReleaseDC(appState.hWnd, appState.hDC);
}

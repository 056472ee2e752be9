// The scene and the frame: building the fixed scene, animating it, drawing it.
#pragma once

// Builds the renderer and the five models. Needs a current context and GLEW.
void initScene();

// Advances the light and the spheres by the time since the previous call.
void update();

// Draws one whole frame and presents it: drawFrame, then SwapBuffers.
void render();

// Draws one whole frame into the window's back buffer without presenting it,
// so that what the frame drew can still be read back from there.
void drawFrame();

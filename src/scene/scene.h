// The scene and the frame: building the fixed scene, animating it, drawing it.
#pragma once

// Builds the renderer and the five models. Needs a current context and GLEW.
void initScene();

// Advances the light and the spheres by the time since the previous call.
void update();

// Draws one whole frame and presents it.
void render();

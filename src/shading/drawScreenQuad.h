// Draws a texture as a screen-aligned debug quad; shared by the render targets.
#pragma once

#include "platform/opengl.h"

// Draws texture on unit 0 as a quad of quadWidth x quadHeight window pixels
// whose top-left corner lies x pixels from the left and y pixels from the top
// of a screenWidth x screenHeight window. Both matrix stacks are restored;
// unit 0 stays active with 2-D texturing on and texture 0 bound, the current
// colour is white and the modelview matrix is current.
void drawScreenQuad(GLuint texture, float screenWidth, float screenHeight, float quadWidth,
                    float quadHeight, float x, float y);

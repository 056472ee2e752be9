// Times the three passes of the real render() with GL_TIME_ELAPSED queries.
// render() is one function, so the passes are found from outside it: at the
// framebuffer binds with which the render targets start and stop, and at the
// swap that ends the frame.
//   shadow     from binding the shadow map to binding the window again
//   G-buffer   from binding the G-buffer to binding the window again
//   composite  from there to the call of SwapBuffers
// The driver does the timing; what it counts is up to the driver (on Mesa's
// llvmpipe, the rasterizer threads' work, not the vertex processing done on
// the calling thread while the draw calls are made).
#pragma once

#include "platform/opengl.h"

enum { shadowPass, gBufferPass, compositePass, passCount };

extern const char *const passNames[passCount];

// The timer-query extension that the current context offers
// ("GL_ARB_timer_query" or "GL_EXT_timer_query"), or nullptr if none.
const char *timerQueryExtension();

// Starts watching the binds of the two render targets with these framebuffer
// objects. False, and nothing is watched, when there is no timer query.
bool startPassTiming(GLuint shadowMapFramebuffer, GLuint gBufferFramebuffer);

// Stops watching; render() then runs as it does in the program.
void stopPassTiming();

// Milliseconds that each pass of the last frame took. Call after glFinish.
// False if a pass of that frame went untimed.
bool readPassTimes(double milliseconds[passCount]);

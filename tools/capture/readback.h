// Reading pictures back from OpenGL: the window and the render targets'
// textures, turned into viewable RGB images.
#pragma once

#include "RgbImage.h"
#include "platform/opengl.h"

// The window's back buffer, width x height pixels from its bottom-left
// corner, turned top-down: what the frame just drew, read before it is
// presented. Reading OpenGL rather than the screen gives the frame itself on
// every driver, whenever and however the driver presents it.
RgbImage readBackBuffer(int width, int height);

// A colour texture of the G-buffer as it is stored (diffuse colour).
RgbImage readDiffuseTexture(GLuint texture);
// A position texture: world coordinates from -6 to 6 mapped to 0..255.
RgbImage readPositionTexture(GLuint texture);
// A normals texture: unit vectors mapped from -1..1 to 0..255.
RgbImage readNormalsTexture(GLuint texture);
// A depth texture: white where nothing was drawn (depth 1), elsewhere grey
// levels stretched over the range of depths found, nearer being darker.
RgbImage readDepthTexture(GLuint texture);

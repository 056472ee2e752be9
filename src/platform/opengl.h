// OpenGL for the whole program: the platform API first, then GLEW (which must
// come before any other GL header), then GLU.
#pragma once

#include "platform/windows_api.h"

#include <GL/glew.h>
#include <GL/glu.h>

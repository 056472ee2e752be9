// The two viewpoints of a frame, built on the fixed-function matrix stacks.
#pragma once

// Keeps the camera projection underneath on the projection stack and loads
// the light's perspective (20 degrees, aspect 1, near 40, far 70), then loads
// the light's view into the modelview matrix: the light sits at (25, 50, 25)
// turned by -lightAngle degrees about the Y axis, looking down at the scene's
// centre. Leaves the modelview matrix current.
void loadLightProjectionAndView(float lightAngle);

// Loads the camera's view into the modelview matrix: the eye at (0, 6.5, 11),
// looking along -Z and pitched 20 degrees down.
void loadCameraView();

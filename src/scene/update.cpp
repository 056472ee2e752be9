#include "scene/scene.h"

// Placeholder until the scene exists: nothing moves yet.
void update() {}

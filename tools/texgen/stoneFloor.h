// The floor texture of the ground plane: square stone tiles of varying
// colour, with bevelled, slightly chipped edges set in grout.
#pragma once

#include "Image.h"

Image makeStoneFloor(int side);

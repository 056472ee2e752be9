// The wooden crate texture of the boxes: one face of a crate, a frame of
// four dark boards round vertical planks, a diagonal brace, nail heads.
#pragma once

#include "Image.h"

Image makeCrate(int side);

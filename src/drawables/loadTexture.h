// Loads a RAW texture file into a model's texture.
#pragma once

#include <string>

class IModel;

// Reads a headerless square image of 8-bit RGB pixels (3 * side * side bytes,
// rows one after the other, first row at t = 0) and makes it the model's
// mipmapped, repeating texture, replacing any texture the model had. The new
// texture is left bound on the active unit, whose environment is set to
// GL_MODULATE. Returns false, and changes nothing, when the file cannot be
// opened, is not a regular file (a directory, a FIFO, a device), or holds an
// image whose side is above GL_MAX_TEXTURE_SIZE. Bytes beyond the largest
// square image that the file holds are ignored.
bool loadTexture(const std::string &path, IModel &model);

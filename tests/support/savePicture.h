// Saving the pictures that tests make, so that a person can look at them.
#pragma once

#include <string>

// Writes width x height pixels of `channels` bytes each (3 for RGB, 4 for
// RGBA), bottom row first as OpenGL reads them back, to <name>.png in the
// test output folder under the build folder (in its subfolder named by
// KORVANE_TEST_DRIVER, when that is set). Returns the file's path, or an
// empty string when it could not be written.
std::string savePicture(const std::string &name, int width, int height, int channels,
                        const unsigned char *pixels);

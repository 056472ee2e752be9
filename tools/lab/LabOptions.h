// The shader lab's command line.
#pragma once

#include <string>
#include <vector>

struct LabOptions {
    float lightAngle = 0.0f; // degrees about the world Y axis, any finite value
    bool stopped = false;    // start with the light and the spheres held still
    bool help = false;
};

// Parses the arguments after the program name. On a mistake returns false
// and puts a one-line explanation in `error`.
bool parseLabOptions(const std::vector<std::string> &args, LabOptions &options, std::string &error);

// What --help prints.
extern const char labUsage[];

// The capture tool's command line.
#pragma once

#include <string>
#include <vector>

struct CaptureOptions {
    float lightAngle = 0.0f;                   // degrees about the world Y axis
    float lowerSphere[3] = {0.0f, 0.0f, 0.0f}; // rotation of slot 3, degrees
    float upperSphere[3] = {0.0f, 0.0f, 0.0f}; // rotation of slot 4, degrees
    int turnFrames = 0;     // with --turn: final images over one turn of the light
    bool noShadows = false; // final images drawn with an empty shadow map
    std::string outputDir = ".";
    bool help = false;
};

// Parses the arguments after the program name. On a mistake returns false
// and puts a one-line explanation in `error`.
bool parseCaptureOptions(const std::vector<std::string> &args, CaptureOptions &options,
                         std::string &error);

// What --help prints.
extern const char captureUsage[];

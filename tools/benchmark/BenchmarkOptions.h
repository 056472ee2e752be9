// Command line of korvane-benchmark.
#pragma once

#include <string>
#include <vector>

struct BenchmarkOptions {
    int runs = 5;          // measurement rounds; each times both composites in turn
    int framesPerRun = 20; // frames timed per composite and run
    int warmUpFrames = 5;  // frames drawn before timing starts, per composite
    std::string lightAngle = "30";
    bool firstFrameOnly = false; // draw one frame and end (the tool times itself so)
    // What is started for each first frame, with the first-frame option
    // added; empty: the tool itself. A launcher may come first, such as
    // Wine with the tool's Windows build.
    std::vector<std::string> firstFrameCommand;
    bool help = false;
};

extern const char *const benchmarkUsage;

// Fills options from the arguments (without the program name). On false,
// error says what is wrong.
bool parseBenchmarkOptions(const std::vector<std::string> &args, BenchmarkOptions &options,
                           std::string &error);

// The light angle in degrees (parseBenchmarkOptions has checked it).
float lightAngleDegrees(const BenchmarkOptions &options);

// Command line of korvane-benchmark.
#pragma once

#include <string>
#include <vector>

struct BenchmarkOptions {
    int rounds = 10;         // each round times every composite once, in turn
    int framesPerRound = 20; // frames timed per composite and round
    int warmUpFrames = 5;    // frames drawn before timing starts, per composite
    float lightAngle = 30.0f;
    bool help = false;
};

extern const char *const benchmarkUsage;

// Fills options from the arguments (without the program name). On false,
// error says what is wrong.
bool parseBenchmarkOptions(const std::vector<std::string> &args, BenchmarkOptions &options,
                           std::string &error);

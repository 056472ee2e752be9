#include "BenchmarkOptions.h"

#include <cstdlib>

const char *const benchmarkUsage =
    "usage: korvane-benchmark [--rounds N] [--frames N] [--warm-up N] [--light-angle DEGREES]\n"
    "\n"
    "Draws the real frame (light pass, G-buffer pass, composite, swap) in a 1024x768\n"
    "window, alternating between the real composite shader and a floor composite that\n"
    "only reads its four textures, and prints the frame times of both and their ratio.\n"
    "\n"
    "  --rounds N          rounds of timing, each composite once per round (default 10)\n"
    "  --frames N          frames timed per composite and round (default 20)\n"
    "  --warm-up N         untimed frames per composite before timing (default 5)\n"
    "  --light-angle DEG   the light's angle about the Y axis (default 30)\n";

namespace {

bool parseCount(const std::string &text, int minimum, int &value) {
    char *end = nullptr;
    long parsed = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || parsed < minimum || parsed > 1000000)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

} // namespace

bool parseBenchmarkOptions(const std::vector<std::string> &args, BenchmarkOptions &options,
                           std::string &error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = "unknown option or missing value: " + arg;
            return false;
        }
        const std::string &value = args[++i];
        bool ok = false;
        if (arg == "--rounds")
            ok = parseCount(value, 1, options.rounds);
        else if (arg == "--frames")
            ok = parseCount(value, 1, options.framesPerRound);
        else if (arg == "--warm-up")
            ok = parseCount(value, 0, options.warmUpFrames);
        else if (arg == "--light-angle") {
            char *end = nullptr;
            options.lightAngle = std::strtof(value.c_str(), &end);
            ok = !value.empty() && *end == '\0';
        } else {
            error = "unknown option: " + arg;
            return false;
        }
        if (!ok) {
            error = "bad value for " + arg + ": " + value;
            return false;
        }
    }
    return true;
}

#include "BenchmarkOptions.h"

#include <cmath>
#include <cstdlib>

#include "firstFrame.h"

const char *const benchmarkUsage =
    "usage: korvane-benchmark [--runs N] [--frames N] [--warm-up N] [--light-angle DEGREES]\n"
    "\n"
    "Draws the real frame (light pass, G-buffer pass, composite, swap) in a 1024x768\n"
    "window, alternating between the real composite shader and a floor composite that\n"
    "reads each of its four textures once and writes the diffuse colour. Reports the\n"
    "frames per second, the milliseconds of each pass (GL timer queries), the time from\n"
    "starting the tool to its first frame, and the real/floor frame-time ratio, each as\n"
    "the median, minimum and maximum over the runs.\n"
    "Run it from the folder that holds data/, with DISPLAY set to an X server.\n"
    "\n"
    "  --runs N            measurement rounds; each times both composites and starts\n"
    "                      the tool once more for its first frame (default 5)\n"
    "  --frames N          frames timed per composite and run (default 20)\n"
    "  --warm-up N         untimed frames per composite before the runs (default 5)\n"
    "  --light-angle DEG   the light's angle about the Y axis (default 30)\n"
    "  --first-frame-of \"COMMAND\"\n"
    "                      time the first frame of this command instead of the tool's\n"
    "                      own, for example \"wine korvane-benchmark.exe\" for its Windows\n"
    "                      build; words are split at spaces\n";

namespace {

bool parseCount(const std::string &text, int minimum, int &value) {
    char *end = nullptr;
    long parsed = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || parsed < minimum || parsed > 1000000)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

std::vector<std::string> words(const std::string &text) {
    std::vector<std::string> found;
    std::string word;
    for (char c : text + ' ') {
        if (c != ' ') {
            word += c;
        } else if (!word.empty()) {
            found.push_back(word);
            word.clear();
        }
    }
    return found;
}

bool isAngle(const std::string &text) {
    char *end = nullptr;
    double parsed = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && std::isfinite(parsed);
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
        if (arg == firstFrameOption) {
            options.firstFrameOnly = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = "unknown option or missing value: " + arg;
            return false;
        }
        const std::string &value = args[++i];
        bool ok = false;
        if (arg == "--runs" || arg == "--rounds")
            ok = parseCount(value, 1, options.runs);
        else if (arg == "--frames")
            ok = parseCount(value, 1, options.framesPerRun);
        else if (arg == "--warm-up")
            ok = parseCount(value, 0, options.warmUpFrames);
        else if (arg == "--first-frame-of") {
            options.firstFrameCommand = words(value);
            ok = !options.firstFrameCommand.empty();
        } else if (arg == "--light-angle") {
            ok = isAngle(value);
            options.lightAngle = value;
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

float lightAngleDegrees(const BenchmarkOptions &options) {
    return std::strtof(options.lightAngle.c_str(), nullptr);
}

// korvane-texgen: writes the generated textures box.raw (a wooden crate) and
// plane.raw (a stone tile floor) into a directory. The output depends on
// nothing but the side length: every run writes the same bytes.
//
// Usage: korvane-texgen [--side N] OUTPUT_DIR

#include "Image.h"
#include "crate.h"
#include "stoneFloor.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const int defaultSide = 512;
const int maxSide = 4096;

int usage(const char *why) {
    std::fprintf(stderr,
                 "korvane-texgen: %s\nusage: korvane-texgen [--side N] OUTPUT_DIR\n"
                 "  N: a multiple of 4 from 4 to %d (default %d)\n",
                 why, maxSide, defaultSide);
    return 2;
}

bool parseSide(const std::string &text, int &side) {
    if (text.empty() || text.size() > 5 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    side = std::atoi(text.c_str());
    return side >= 4 && side <= maxSide && side % 4 == 0;
}

bool write(const Image &image, const std::string &path) {
    std::string error;
    if (!image.writeRaw(path, error)) {
        std::fprintf(stderr, "korvane-texgen: %s\n", error.c_str());
        return false;
    }
    std::printf("wrote %s (%d x %d)\n", path.c_str(), image.side(), image.side());
    return true;
}

} // namespace

int main(int argc, char **argv) {
    int side = defaultSide;
    std::string outputDir;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--side") {
            if (i + 1 >= argc || !parseSide(argv[i + 1], side))
                return usage("--side needs a multiple of 4 from 4 to 4096");
            ++i;
        } else if (!arg.empty() && arg[0] == '-') {
            return usage(("unknown option " + arg).c_str());
        } else if (outputDir.empty()) {
            outputDir = arg;
        } else {
            return usage("more than one output directory given");
        }
    }
    if (outputDir.empty())
        return usage("no output directory given");
    if (outputDir.back() != '/')
        outputDir += '/';

    if (!write(makeCrate(side), outputDir + "box.raw"))
        return 1;
    if (!write(makeStoneFloor(side), outputDir + "plane.raw"))
        return 1;
    return 0;
}

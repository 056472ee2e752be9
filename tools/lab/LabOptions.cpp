#include "LabOptions.h"

#include "optionValues.h"

const char labUsage[] =
    "Usage: korvane-lab [--light DEGREES] [--stopped]\n"
    "\n"
    "Shows Korvane's scene in its window and watches its four shaders in data/:\n"
    "save one and the program that uses it is built again and takes over.\n"
    "A shader that does not build is reported as Korvane reports it at start-up,\n"
    "and the last one that built goes on drawing until it is fixed.\n"
    "\n"
    "  --light DEGREES  start with the light at this angle (default 0)\n"
    "  --stopped        start with the light and the spheres held still\n"
    "\n"
    "Keys: F1 final image, F2 debug view, Space stop or start the animation,\n"
    "Left and Right turn the light by 5 degrees.\n"
    "Run it from the folder that holds data/.\n";

bool parseLabOptions(const std::vector<std::string> &args, LabOptions &options,
                     std::string &error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &name = args[i];
        if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--stopped") {
            options.stopped = true;
        } else if (name == "--light") {
            if (i + 1 == args.size()) {
                error = name + " needs a value";
                return false;
            }
            const std::string &value = args[++i];
            if (!parseFloat(value, options.lightAngle)) {
                error = "bad value '" + value + "' for " + name;
                return false;
            }
        } else {
            error = "unknown option '" + name + "' (try --help)";
            return false;
        }
    }
    return true;
}

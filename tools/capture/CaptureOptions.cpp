#include "CaptureOptions.h"

#include <string>

#include "optionValues.h"

const char captureUsage[] =
    "Usage: korvane-capture [--light DEGREES] [--lower-sphere X,Y,Z] [--upper-sphere X,Y,Z]\n"
    "                       [--turn FRAMES] [--no-shadows] [--output DIR]\n"
    "\n"
    "Builds Korvane's scene, sets the light angle and the rotations (degrees) of the\n"
    "lower and upper sphere, draws it in a 1024x768 window and writes into DIR\n"
    "(default: the current folder):\n"
    "  final.png            the final image (F1), as drawn into the window\n"
    "  debug.png            the debug view (F2), as drawn into the window\n"
    "  gbuffer-diffuse.png  the G-buffer's diffuse colour texture\n"
    "  gbuffer-position.png world position, -6..6 on each axis mapped to 0..255\n"
    "  gbuffer-normals.png  world normal, -1..1 on each axis mapped to 0..255\n"
    "  shadow-map.png       the shadow map's depth, stretched over the depths found\n"
    "Where no model was drawn, the position and normals pictures show the G-buffer's\n"
    "clear colour and the shadow map shows white.\n"
    "With --turn FRAMES it writes instead FRAMES final images over one turn of the\n"
    "light, turn-000.png, turn-001.png, ..., the light at DEGREES + 360 * k / FRAMES\n"
    "in the k-th (FRAMES from 1 to 1000).\n"
    "With --no-shadows every final image is drawn again by the same composite over the\n"
    "same G-buffer after the shadow map has been emptied, so that nothing casts a\n"
    "shadow: the lit image alone. The debug view and the textures are as without it.\n"
    "Run it from the folder that holds data/, with DISPLAY set to an X server.\n";

namespace {

// A whole number of frames in a turn, from 1 to 1000 so that the frames'
// three-digit numbers sort in turn order.
bool parseFrameCount(const std::string &text, int &count) {
    if (text.empty() || text.size() > 4 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    count = std::stoi(text);
    return count >= 1 && count <= 1000;
}

// "X,Y,Z" or "X,Y" (Z then stays 0).
bool parseRotation(const std::string &text, float rotation[3]) {
    float parts[3] = {0.0f, 0.0f, 0.0f};
    std::size_t start = 0;
    int count = 0;
    for (;;) {
        std::size_t comma = text.find(',', start);
        std::string part = text.substr(start, comma == std::string::npos ? comma : comma - start);
        if (count == 3 || !parseFloat(part, parts[count]))
            return false;
        ++count;
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (count < 2)
        return false;
    for (int i = 0; i < 3; ++i)
        rotation[i] = parts[i];
    return true;
}

} // namespace

bool parseCaptureOptions(const std::vector<std::string> &args, CaptureOptions &options,
                         std::string &error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &name = args[i];
        if (name == "--help" || name == "-h") {
            options.help = true;
            continue;
        }
        if (name == "--no-shadows") {
            options.noShadows = true;
            continue;
        }
        if (name != "--light" && name != "--lower-sphere" && name != "--upper-sphere" &&
            name != "--turn" && name != "--output") {
            error = "unknown option '" + name + "' (try --help)";
            return false;
        }
        if (i + 1 == args.size()) {
            error = name + " needs a value";
            return false;
        }
        const std::string &value = args[++i];
        bool ok = true;
        if (name == "--light")
            ok = parseFloat(value, options.lightAngle);
        else if (name == "--lower-sphere")
            ok = parseRotation(value, options.lowerSphere);
        else if (name == "--upper-sphere")
            ok = parseRotation(value, options.upperSphere);
        else if (name == "--turn")
            ok = parseFrameCount(value, options.turnFrames);
        else
            ok = !(options.outputDir = value).empty();
        if (!ok) {
            error = "bad value '" + value + "' for " + name;
            return false;
        }
    }
    return true;
}

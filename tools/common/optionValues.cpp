#include "optionValues.h"

#include <cmath>
#include <cstdlib>

bool parseFloat(const std::string &text, float &value) {
    if (text.empty())
        return false;
    char *end = nullptr;
    double parsed = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(parsed))
        return false;
    value = static_cast<float>(parsed);
    return true;
}

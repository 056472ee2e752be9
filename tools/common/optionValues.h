// Values of the tools' command-line options.
#pragma once

#include <string>

// A finite decimal number, the whole text and nothing else ("12.5", "-3",
// "1e2"); false for an empty text, trailing characters, infinity or NaN.
bool parseFloat(const std::string &text, float &value);

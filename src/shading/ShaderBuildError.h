// A shader that does not compile, or a program that does not link. what()
// is the fixed message alone; the details that explain it travel beside it,
// for whoever reports the failure to add after the message.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

class ShaderBuildError : public std::runtime_error {
  public:
    ShaderBuildError(const std::string &message, std::string details)
        : std::runtime_error(message), details(std::move(details)) {}

    // A line naming the file (or, for a link, both files), then the driver's
    // information log exactly as the driver wrote it. Not safe to print as it
    // stands: the log may be long and may hold any byte.
    std::string details;
};

// The details of an error that is a ShaderBuildError; empty for any other.
inline std::string shaderBuildDetailsOf(const std::exception &error) {
    const auto *shaderError = dynamic_cast<const ShaderBuildError *>(&error);
    return shaderError ? shaderError->details : std::string();
}

// The time from starting the tool as a new process to its first frame.
#pragma once

#include <string>

// The option with which the tool draws one frame, says so on stdout with
// firstFrameLine and ends.
extern const char *const firstFrameOption;
extern const char *const firstFrameLine;

// Starts program with firstFrameOption and the extra arguments and returns
// the milliseconds until it has said that its first SwapBuffers returned.
// Negative, with the reason on stderr, if it did not say so or failed.
double timeFirstFrame(const std::string &program, const std::string &lightAngle);

// The path of this program's own executable; empty if unknown.
std::string ownExecutable();

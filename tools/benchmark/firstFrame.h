// The time from starting the tool as a new process to its first frame.
#pragma once

#include <string>
#include <vector>

// The option with which the tool draws one frame, says so on stdout with
// firstFrameLine and ends.
extern const char *const firstFrameOption;
extern const char *const firstFrameLine;

// Starts the command (a program found on PATH, and its arguments) with
// firstFrameOption and the light angle added and returns the milliseconds
// until it has said that its first SwapBuffers returned. Negative, with the
// reason on stderr, if it did not say so or failed.
double timeFirstFrame(const std::vector<std::string> &command, const std::string &lightAngle);

// The path of this program's own executable; empty if unknown.
std::string ownExecutable();

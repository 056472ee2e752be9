// Runs a program as a child process with a chosen working folder and
// DISPLAY, its output kept in files, and watches it until it ends.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

class ChildProcess {
  public:
    ChildProcess() = default;
    // Stops the program (SIGKILL) if it is still running.
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    // Starts `program` (looked up in PATH if it names no folder) with `args`
    // in `workingDir`. An empty `display` starts
    // it without DISPLAY in its environment. stdout and stderr go to files
    // in `outputDir`, unless `closeStandardError` starts it with descriptor 2
    // closed. False if the process cannot be started.
    bool start(const std::string &program, const std::vector<std::string> &args,
               const std::string &workingDir, const std::string &display,
               const std::string &outputDir, bool closeStandardError = false);

    bool running();
    // Ends the program with SIGKILL if it is still running.
    void stop();
    // The exit status once it has ended within `timeout`: the exit code, or
    // 128 + the signal number if a signal ended it. Empty if still running.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);
    // Resident set size in KiB from /proc, or -1 once it has ended.
    long residentKiB() const;

    std::string standardError() const;
    std::string standardOutput() const;
    pid_t pid() const { return pid_; }

  private:
    pid_t pid_ = -1;
    std::optional<int> status_;
    std::string outPath_, errPath_;
};

// Runs a program to its end (at most `timeout`) with DISPLAY set as given;
// returns its exit status, or empty on a time-out (it is then killed).
std::optional<int> runToEnd(const std::vector<std::string> &command, const std::string &display,
                            std::chrono::milliseconds timeout);

// Lines of a text, without their line ends (LF or CR LF); no empty last line.
std::vector<std::string> linesOf(const std::string &text);

#include "firstFrame.h"

#include <chrono>
#include <cstdio>

#ifndef _WIN32
#include <climits>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;
#endif

const char *const firstFrameOption = "--first-frame";
const char *const firstFrameLine = "first frame swapped";

#ifdef _WIN32

double timeFirstFrame(const std::vector<std::string> &, const std::string &) {
    std::fprintf(stderr, "korvane-benchmark: the first frame is timed on POSIX systems only\n");
    return -1.0;
}

std::string ownExecutable() {
    return std::string();
}

#else

namespace {

// Reads from fd up to the first newline (not kept) or the end. A Windows
// program (under Wine) ends its lines with CR LF; the CR is not kept either.
std::string readLine(int fd) {
    std::string line;
    char c = 0;
    while (read(fd, &c, 1) == 1 && c != '\n')
        line += c;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

// Reads from fd until the writer closes it.
void drain(int fd) {
    char buffer[256];
    while (read(fd, buffer, sizeof buffer) > 0) {
    }
}

} // namespace

double timeFirstFrame(const std::vector<std::string> &command, const std::string &lightAngle) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        std::perror("korvane-benchmark: pipe");
        return -1.0;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    std::vector<std::string> words = command;
    words.insert(words.end(), {firstFrameOption, "--light-angle", lightAngle});
    std::vector<char *> argv;
    for (std::string &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const std::string &program = command.front();

    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    pid_t child = 0;
    int spawned = posix_spawnp(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        close(pipeEnds[0]);
        std::fprintf(stderr, "korvane-benchmark: cannot start %s\n", program.c_str());
        return -1.0;
    }
    const std::string line = readLine(pipeEnds[0]);
    const std::chrono::duration<double, std::milli> took = Clock::now() - start;
    drain(pipeEnds[0]);
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (line != firstFrameLine || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "korvane-benchmark: the tool started for its first frame failed\n");
        return -1.0;
    }
    return took.count();
}

std::string ownExecutable() {
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

#endif

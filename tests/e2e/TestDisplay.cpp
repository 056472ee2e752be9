#include "TestDisplay.h"

#include <X11/Xatom.h>
#include <fcntl.h>
#include <sys/prctl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

namespace {

// Starts `argv` with DISPLAY set to `display` (unless empty) and its output
// thrown away; `keepFd` stays open in the child.
pid_t spawn(const std::vector<std::string> &argv, const std::string &display, int keepFd = -1) {
    pid_t pid = fork();
    if (pid != 0)
        return pid;
    // If the test is killed (a time-out), its servers must not outlive it.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    dup2(null, 2);
    for (int fd = 3; fd < 1024; ++fd)
        if (fd != keepFd)
            close(fd);
    if (!display.empty())
        setenv("DISPLAY", display.c_str(), 1);
    std::vector<char *> args;
    for (const std::string &arg : argv)
        args.push_back(const_cast<char *>(arg.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

void stop(pid_t &pid) {
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            pid = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

// The test's own requests may name windows that have just gone away; such
// errors are expected and must not end the test (Xlib's default would).
int ignoreXError(Display *, XErrorEvent *) {
    return 0;
}

} // namespace

TestDisplay::TestDisplay(bool withWindowManager, const std::vector<std::string> &serverOptions) {
    // Xvfb chooses a free display number and writes it to the pipe.
    int fds[2];
    if (pipe(fds) != 0) {
        error_ = "pipe failed";
        return;
    }
    std::vector<std::string> server = {"Xvfb",      "-displayfd", std::to_string(fds[1]),
                                       "-screen",   "0",          "1280x1024x24",
                                       "-nolisten", "tcp"};
    server.insert(server.end(), serverOptions.begin(), serverOptions.end());
    server_ = spawn(server, "", fds[1]);
    close(fds[1]);
    std::string number;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (number.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd fd = {fds[0], POLLIN, 0};
        if (poll(&fd, 1, 100) > 0) {
            char buffer[16];
            ssize_t got = read(fds[0], buffer, sizeof buffer);
            if (got <= 0)
                break;
            number.append(buffer, static_cast<std::size_t>(got));
        }
    }
    close(fds[0]);
    if (number.find('\n') == std::string::npos) {
        error_ = "Xvfb did not start";
        return;
    }
    name_ = ":" + number.substr(0, number.find('\n'));
    x_ = XOpenDisplay(name_.c_str());
    if (!x_) {
        error_ = "cannot connect to Xvfb at " + name_;
        return;
    }
    XSetErrorHandler(ignoreXError);
    if (withWindowManager) {
        windowManager_ = spawn({"openbox", "--sm-disable"}, name_);
        if (!waitForWindowManager())
            error_ = "openbox did not start";
    }
}

// openbox sets _NET_SUPPORTING_WM_CHECK on the root window once it manages
// the screen.
bool TestDisplay::waitForWindowManager() {
    Atom check = XInternAtom(x_, "_NET_SUPPORTING_WM_CHECK", False);
    for (int i = 0; i < 200; ++i) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char *data = nullptr;
        if (XGetWindowProperty(x_, DefaultRootWindow(x_), check, 0, 1, False, XA_WINDOW, &type,
                               &format, &count, &after, &data) == Success) {
            if (data)
                XFree(data);
            if (type == XA_WINDOW && count == 1)
                return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

TestDisplay::~TestDisplay() {
    if (x_)
        XCloseDisplay(x_);
    stop(windowManager_);
    stop(server_);
}

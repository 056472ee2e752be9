#include "ProgramUnderTest.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include "ChildProcess.h"
#include "XProbe.h"

namespace {

// Wine's processes (its server and every Windows program it runs, whose
// executable is one of Wine's loaders) whose environment holds exactly
// `entry`, with their names and ids. Other processes that inherited the
// same environment, such as the test's X server, are not Wine's.
std::string wineProcessesWithEnvironment(const std::string &entry) {
    std::string found;
    for (const auto &process : std::filesystem::directory_iterator("/proc")) {
        const std::string pid = process.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::error_code error;
        const std::string executable =
            std::filesystem::read_symlink(process.path() / "exe", error).filename().string();
        if (executable.rfind("wine", 0) != 0)
            continue;
        std::ifstream environ(process.path() / "environ", std::ios::binary);
        std::string variable;
        bool match = false;
        while (!match && std::getline(environ, variable, '\0'))
            match = variable == entry;
        if (!match)
            continue;
        std::ifstream comm(process.path() / "comm");
        std::string name;
        std::getline(comm, name);
        found += (found.empty() ? "" : ", ") + name + " (" + pid + ")";
    }
    return found;
}

} // namespace

const ProgramUnderTest &ProgramUnderTest::current() {
    static const ProgramUnderTest program;
    return program;
}

ProgramUnderTest::ProgramUnderTest() {
    const char *chosen = std::getenv("KORVANE_E2E_PROGRAM");
    if (!chosen || std::string(chosen) != "windows")
        return;
#ifdef KORVANE_WINDOWS_PACKAGE_DIR
    windowsPackage_ = KORVANE_WINDOWS_PACKAGE_DIR;
    // Wine keeps its state in a prefix. The suite makes one in a temporary
    // folder before its first test; run by hand without it, the test
    // process makes its own and removes it at its end, so that Wine never
    // writes into the user's home.
    winePrefix_ = KORVANE_WINE_PREFIX;
    if (!std::filesystem::is_directory(winePrefix_)) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "korvane-wine-XXXXXX").string();
        if (mkdtemp(pattern.data())) {
            winePrefix_ = pattern;
            ownPrefix_ = true;
        }
    }
    setenv("WINEPREFIX", winePrefix_.c_str(), 1);
    // No debugging output of Wine's own on the program's stderr, which the
    // tests read; no offer to install Mono or Gecko when a prefix is made.
    setenv("WINEDEBUG", "-all", 1);
    setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
#else
    std::fprintf(stderr, "KORVANE_E2E_PROGRAM=windows, but these tests were built without "
                         "KORVANE_WINDOWS_PACKAGE_DIR\n");
    std::exit(1);
#endif
}

ProgramUnderTest::~ProgramUnderTest() {
    if (ownPrefix_) {
        endWine();
        std::error_code ignored;
        std::filesystem::remove_all(winePrefix_, ignored);
    }
}

std::string ProgramUnderTest::name() const {
    return underWine() ? "Windows (Wine)" : "Linux";
}

void ProgramUnderTest::layOut(const std::filesystem::path &folder) const {
    if (underWine())
        std::filesystem::copy(windowsPackage_, folder, std::filesystem::copy_options::recursive);
    else
        std::filesystem::copy(std::filesystem::path(KORVANE_SOURCE_DIR) / "data", folder / "data",
                              std::filesystem::copy_options::recursive);
}

std::vector<std::string> ProgramUnderTest::command(const std::filesystem::path &folder) const {
    if (underWine())
        return {"wine", (folder / "korvane.exe").string()};
    return {KORVANE_PROGRAM};
}

std::string ProgramUnderTest::endWine() const {
    if (!underWine())
        return std::string();
    const std::string entry = "WINEPREFIX=" + winePrefix_.string();
    // wineserver -k ends the prefix's server and with it every process
    // that Wine started there.
    runToEnd({"wineserver", "-k"}, "", std::chrono::seconds(20));
    std::string left;
    waitUntil(std::chrono::seconds(10),
              [&] { return (left = wineProcessesWithEnvironment(entry)).empty(); });
    return left;
}

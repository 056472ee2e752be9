#include "ProgramUnderTest.h"

#include <cctype>
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
    // tests read, except one line with the text of a message box, which is
    // how a test sees what the box shows; no offer to install Mono or Gecko
    // when a prefix is made.
    setenv("WINEDEBUG", "-all,trace+msgbox", 1);
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

std::vector<std::string> ProgramUnderTest::command(const std::filesystem::path &folder,
                                                   const std::string &executable) const {
    if (underWine())
        return {"wine", (folder / (executable + ".exe")).string()};
#ifdef KORVANE_LAB_PROGRAM
    if (executable == "korvane-lab")
        return {KORVANE_LAB_PROGRAM};
#endif
    return {KORVANE_PROGRAM};
}

std::string ProgramUnderTest::messageBoxText(const std::string &standardError) const {
    // Wine traces the box's text as L"..." with C-style escapes, and \HHHH
    // for a character outside printable ASCII.
    std::size_t at = standardError.find(":trace:msgbox:");
    at = at == std::string::npos ? at : standardError.find("L\"", at);
    if (!underWine() || at == std::string::npos)
        return std::string();
    std::string text;
    for (at += 2; at < standardError.size() && standardError[at] != '"'; ++at) {
        char c = standardError[at];
        if (c != '\\' || at + 1 >= standardError.size()) {
            text += c;
            continue;
        }
        char escaped = standardError[++at];
        if (escaped == 'n' || escaped == 'r' || escaped == 't') {
            text += escaped == 'n' ? '\n' : escaped == 'r' ? '\r' : '\t';
        } else if (std::isxdigit(static_cast<unsigned char>(escaped))) {
            unsigned long code = std::stoul(standardError.substr(at, 4), nullptr, 16);
            at += 3;
            if (code < 0x80) {
                text += static_cast<char>(code);
                continue;
            } else if (code < 0x800) {
                text += static_cast<char>(0xC0 | (code >> 6));
            } else {
                text += static_cast<char>(0xE0 | (code >> 12));
                text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            }
            text += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            text += escaped; // \" and \\ (backslash)
        }
    }
    return text;
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

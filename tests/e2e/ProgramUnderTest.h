// Which build of the program an end-to-end test runs, and the one thing that
// differs between them: how it is laid out in its folder and started. The
// Linux build is started directly; the Windows build, chosen by
// KORVANE_E2E_PROGRAM=windows in the environment, runs under Wine from its
// unpacked ZIP (KORVANE_WINDOWS_PACKAGE_DIR, set when the suite is built).
// Every other step of a test is the same code for both.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

class ProgramUnderTest {
  public:
    // The build chosen by the environment of the test process.
    static const ProgramUnderTest &current();

    bool underWine() const { return !windowsPackage_.empty(); }
    // "Linux" or "Windows (Wine)", for messages.
    std::string name() const;

    // Fills `folder` as a user's copy of the program: the repository's data/
    // for the Linux build, the whole unpacked package for the Windows build.
    void layOut(const std::filesystem::path &folder) const;
    // The command that starts the program laid out in `folder`, or the
    // executable of that name that the package ships beside it.
    std::vector<std::string> command(const std::filesystem::path &folder,
                                     const std::string &executable = "korvane") const;

    // Under Wine: the text that the program's message box showed, read from
    // Wine's trace of it in the program's `standardError` (only its first
    // 290 or so characters); empty if no box was shown or not under Wine.
    std::string messageBoxText(const std::string &standardError) const;

    // Under Wine: ends every Wine process of this test's prefix (the program
    // is already stopped) and returns a description of any still left after
    // a few seconds; empty when none is. Nothing to do for the Linux build.
    std::string endWine() const;

  private:
    ProgramUnderTest();
    ~ProgramUnderTest();

    std::filesystem::path windowsPackage_;
    std::filesystem::path winePrefix_;
    bool ownPrefix_ = false; // made by this process, removed at its end
};

// The real program as a process: a start-up failure is reported on stderr
// and ends the process with status 1.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {

// Runs the program with the given environment change; returns its exit
// status and fills `errors` with what it wrote on stderr.
int runProgram(const std::string &environment, std::string &errors) {
    namespace fs = std::filesystem;
    fs::path dir = fs::path(KORVANE_TEST_OUTPUT_DIR) / "process-test";
    fs::create_directories(dir);
    // One file per test, so that tests may run side by side.
    fs::path errorFile =
        dir / (std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + ".txt");

    std::string command = "env " + environment + " '" + std::string(KORVANE_BINARY) + "' 2>'" +
                          errorFile.string() + "' </dev/null >/dev/null";
    int status = std::system(command.c_str());
    std::ifstream in(errorFile);
    std::stringstream text;
    text << in.rdbuf();
    errors = text.str();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const char noServer[] =
    "Korvane: cannot create the window (is DISPLAY set to a running X server?)\n";

} // namespace

TEST(Process, WithoutDisplayItSaysSoAndExitsWithOne) {
    std::string errors;
    EXPECT_EQ(runProgram("-u DISPLAY", errors), 1);
    EXPECT_EQ(errors, noServer);
}

TEST(Process, WithNoServerBehindDisplayItSaysSoAndExitsWithOne) {
    std::string errors;
    EXPECT_EQ(runProgram("DISPLAY=:9999", errors), 1);
    EXPECT_EQ(errors, noServer);
}

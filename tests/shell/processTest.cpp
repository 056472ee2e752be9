// The real program as a process: a start-up failure is reported on stderr
// and ends the process with status 1.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

TEST(Process, WithoutAnXServerItSaysSoAndExitsWithOne) {
    namespace fs = std::filesystem;
    fs::path dir = fs::path(KORVANE_TEST_OUTPUT_DIR) / "process-test";
    fs::create_directories(dir);
    fs::path errors = dir / "stderr.txt";

    std::string command = "env -u DISPLAY '" + std::string(KORVANE_BINARY) + "' 2>'" +
                          errors.string() + "' </dev/null >/dev/null";
    int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);

    std::ifstream in(errors);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(),
              "Korvane: cannot create the window (is DISPLAY set to a running X server?)\n");
}

// Start-up with broken data files: shader files that are missing or broken
// end start-up with one exact message and status 1, followed for a shader
// that the driver refuses by the file and the driver's log; texture files
// that are missing or broken leave the program running.
#include "KorvaneTest.h"

#include <algorithm>
#include <thread>

namespace {

// The fault is on line 4, where the driver's log must point.
const char brokenShader[] = "#version 120\nvoid main()\n{\n    this is not GLSL;\n}\n";
// Compiles, but reads a varying that the models' vertex shader never writes.
const char unlinkableFragmentShader[] =
    "#version 120\nvarying vec3 plantedVarying;\n"
    "void main() { gl_FragColor = vec4(plantedVarying, 1.0); }\n";

struct ShaderFault {
    const char *name;     // for the test's name
    const char *file;     // in data/
    const char *contents; // nullptr: the file is removed
    const char *message;  // the first line on stderr, exactly
    const char *fileLine; // the next line, naming the file(s); nullptr: none
    const char *logHolds; // what the driver's log after it must hold, in Mesa's words
};

// One file that cannot be read, one that the driver refuses to compile and
// a pair it refuses to link: which message each failure of the loader gives
// is the loader's own test.
const ShaderFault shaderFaults[] = {
    {"MissingCompositeFragmentShader", "deferredRendering.frag", nullptr,
     "Can't load GLSL Fragment Shader from file: data/deferredRendering.frag", nullptr, nullptr},
    {"BrokenModelVertexShader", "deferredShading.vert", brokenShader,
     "Vertex shader compilation failed.", "data/deferredShading.vert:", "0:4("},
    {"UnlinkableModelShaders", "deferredShading.frag", unlinkableFragmentShader,
     "Shader program linking failed.",
     "data/deferredShading.vert, data/deferredShading.frag:", "plantedVarying"},
};

// Test names and failure messages name the case, not its bytes.
void PrintTo(const ShaderFault &fault, std::ostream *out) {
    *out << fault.name;
}

// What a report must show: the message on the first line, and for a shader
// the driver refused, the file line next and the log after it.
void expectReport(const std::string &report, const ShaderFault &fault) {
    std::vector<std::string> lines = linesOf(report);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], fault.message);
    if (!fault.fileLine)
        return;
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[1], fault.fileLine);
    EXPECT_NE(report.find(fault.logHolds, report.find(fault.fileLine)), std::string::npos);
}

class ShaderFaultTest : public KorvaneTest, public ::testing::WithParamInterface<ShaderFault> {};

TEST_P(ShaderFaultTest, EndsStartUpWithTheMessageTheLogAndStatusOne) {
    const ShaderFault &fault = GetParam();
    if (fault.contents)
        writeDataFile(fault.file, fault.contents);
    else
        std::filesystem::remove(dataFile(fault.file));
    startDisplay(false);
    startKorvane();

    bool sawMessageBox = false;
    std::optional<int> status = waitForFailedStartUp(30s, sawMessageBox);
    ASSERT_TRUE(status.has_value()) << "the program did not end";
    EXPECT_EQ(*status, 1);
    {
        SCOPED_TRACE("stderr:\n" + korvane.standardError());
        expectReport(korvane.standardError(), fault);
    }
    // The Windows build, which has no console, shows the same text in a box.
    EXPECT_EQ(sawMessageBox, program().underWine());
    if (program().underWine()) {
        std::string box = program().messageBoxText(korvane.standardError());
        SCOPED_TRACE("the message box:\n" + box);
        expectReport(box, fault);
    }
    EXPECT_EQ(findWindow(x(), "Korvane"), 0u) << "a window was left behind";
}

INSTANTIATE_TEST_SUITE_P(Korvane, ShaderFaultTest, ::testing::ValuesIn(shaderFaults),
                         [](const auto &info) { return std::string(info.param.name); });

class TextureFaultTest : public KorvaneTest {
  protected:
    // Runs the program on the changed data, checks that it draws the scene
    // (sky and models) for a while, closes it through the window manager and
    // expects status 0.
    void expectRunsAndClosesCleanly() {
        startDisplay(true);
        startKorvane();
        ::Window window = waitForKorvaneWindow();
        ASSERT_NE(window, 0u) << korvane.standardError();
        EXPECT_TRUE(waitForPicture(window, 10s, [](const Picture &p) {
            return isSky(p.at(2, 2)) && p.share(0, 0, p.width, p.height, isSky) < 0.9;
        })) << "the scene was not drawn";
        std::this_thread::sleep_for(1s);
        ASSERT_TRUE(korvane.running()) << korvane.standardError();
        requestClose(x(), window);
        std::optional<int> status = korvane.waitForExit(exitAfterClose);
        ASSERT_TRUE(status.has_value()) << "still running long after the close";
        EXPECT_EQ(*status, 0) << korvane.standardError();
    }
};

TEST_F(TextureFaultTest, AllTextureFilesMissing) {
    for (const char *file : {"plane.raw", "box.raw", "earth.raw"})
        std::filesystem::remove(dataFile(file));
    expectRunsAndClosesCleanly();
}

TEST_F(TextureFaultTest, EmptyTextureFile) {
    writeDataFile("box.raw", "");
    expectRunsAndClosesCleanly();
}

TEST_F(TextureFaultTest, TextureFilesOfOddSizes) {
    // Not three bytes per pixel of a square: one byte, a square plus one
    // byte, and a few pixels short of a square.
    writeDataFile("plane.raw", "x");
    writeDataFile("box.raw", std::string(3 * 64 * 64 + 1, '\x80'));
    writeDataFile("earth.raw", std::string(3 * 100 * 100 - 30, '\x40'));
    expectRunsAndClosesCleanly();
}

// Started with standard error closed, the program must not let the X
// connection take descriptor 2, or its failure messages would be written
// into the connection.
TEST_F(KorvaneTest, WithStandardErrorClosedDescriptorTwoIsNotTheXConnection) {
    startDisplay(false);
    ASSERT_TRUE(korvane.start(KORVANE_PROGRAM, {}, folder.string(), display->name(),
                              folder.string(), true));
    ASSERT_NE(waitForKorvaneWindow(), 0u);
    std::error_code error;
    std::filesystem::path target =
        std::filesystem::read_symlink("/proc/" + std::to_string(korvane.pid()) + "/fd/2", error);
    EXPECT_EQ(target.string(), "/dev/null") << error.message();
}

class NoDisplayTest : public KorvaneTest {};

// Without an X server to talk to, the program says so in one line and ends.
TEST_F(NoDisplayTest, WithoutDisplaySaysSoAndEndsWithStatusOne) {
    startKorvane(false);
    std::optional<int> status = korvane.waitForExit(20s);
    ASSERT_TRUE(status.has_value()) << "the program did not end";
    EXPECT_EQ(*status, 1);
    std::vector<std::string> lines = linesOf(korvane.standardError());
    ASSERT_EQ(lines.size(), 1u) << korvane.standardError();
    EXPECT_NE(lines[0].find("DISPLAY"), std::string::npos) << lines[0];
}

TEST_F(NoDisplayTest, WithAServerWithoutGlxSaysSoAndEndsWithStatusOne) {
    startDisplay(false, {"-extension", "GLX"});
    startKorvane();
    std::optional<int> status = korvane.waitForExit(20s);
    ASSERT_TRUE(status.has_value()) << "the program did not end";
    EXPECT_EQ(*status, 1);
    std::vector<std::string> lines = linesOf(korvane.standardError());
    EXPECT_NE(
        std::find(lines.begin(), lines.end(), "Korvane: the X server has no GLX (OpenGL) support"),
        lines.end())
        << korvane.standardError();
}

} // namespace

// korvane-benchmark: draws the real frame over and over in runs and reports
// the frames per second, the time of each pass, the time from starting the
// tool to its first frame, and the frame time with the real composite shader
// against a floor composite, which reads each of the four textures once and
// writes the diffuse colour. That ratio is what the real composite's lighting
// and shadow filtering cost; both are measured in the same run, because a
// shared machine's speed drifts too much to compare figures across runs.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <exception>
#include <string>
#include <vector>

#include "BenchmarkOptions.h"
#include "CompositeProgram.h"
#include "Samples.h"
#include "firstFrame.h"
#include "passTiming.h"
#include "platform/opengl.h"
#include "scene/scene.h"
#include "sceneWindow.h"
#include "shading/DeferredRendering.h"
#include "shading/GLSLProgram.h"
#include "shell/AppState.h"

namespace {

const int failed = 1;
const int usageError = 2;

bool openWindow() {
    return openSceneWindow("korvane-benchmark", TEXT("KorvaneBenchmarkClass"),
                           TEXT("Korvane benchmark"));
}

// The times of the frames that one composite drew in one run.
struct RunTimes {
    Samples wall;              // elapsed milliseconds per frame
    Samples cpu;               // processor milliseconds of the whole process per frame
    Samples passes[passCount]; // milliseconds per pass, from the timer queries
};

struct Variant {
    const char *name;
    CompositeProgram composite;
};

// Draws frames one after another, each finished before the next starts, and
// records how long each took, swap included. The processor time counts the
// driver's rendering threads too, and is less disturbed than the elapsed time
// when other programs share the machine.
bool timeFrames(int frames, RunTimes &times) {
    using Clock = std::chrono::steady_clock;
    for (int i = 0; i < frames; ++i) {
        if (!dispatchWaitingMessages())
            return false;
        Clock::time_point start = Clock::now();
        std::clock_t cpuStart = std::clock();
        render();
        glFinish();
        std::chrono::duration<double, std::milli> took = Clock::now() - start;
        times.wall.values.push_back(took.count());
        times.cpu.values.push_back(1000.0 * static_cast<double>(std::clock() - cpuStart) /
                                   CLOCKS_PER_SEC);
        double passes[passCount];
        if (readPassTimes(passes))
            for (int pass = 0; pass < passCount; ++pass)
                times.passes[pass].values.push_back(passes[pass]);
    }
    return true;
}

// One line of the report: a figure taken once per run.
struct Figure {
    std::string name;
    Samples perRun;
    bool measured = true; // false: the driver cannot measure it
};

void printFigure(const Figure &figure) {
    if (!figure.measured) {
        std::printf("%-36s %10s %10s %10s\n", figure.name.c_str(), "n/a", "n/a", "n/a");
        return;
    }
    std::printf("%-36s %10.3f %10.3f %10.3f\n", figure.name.c_str(), figure.perRun.median(),
                figure.perRun.minimum(), figure.perRun.maximum());
}

// What the tool does when it is started to time its own first frame: start
// up as the program does, draw one frame and say so as soon as it is swapped.
int drawFirstFrame(const BenchmarkOptions &options) {
    if (!openWindow())
        return failed;
    appState.viewMode = viewModeFinalImage;
    appState.lightAngle = lightAngleDegrees(options);
    render();
    std::printf("%s\n", firstFrameLine);
    std::fflush(stdout);
    closeSceneWindow();
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    BenchmarkOptions options;
    std::string error;
    if (!parseBenchmarkOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "korvane-benchmark: %s\n%s", error.c_str(), benchmarkUsage);
        return usageError;
    }
    if (options.help) {
        std::fputs(benchmarkUsage, stdout);
        return 0;
    }
    if (options.firstFrameOnly)
        return drawFirstFrame(options);

    // The first frames come first, while this process has no window of its own.
    Figure firstFrame{"first frame ms (start to swap)", {}};
    const std::string self = ownExecutable();
    std::vector<std::string> firstFrameCommand = options.firstFrameCommand;
    if (firstFrameCommand.empty())
        firstFrameCommand = {self.empty() ? argv[0] : self};
    for (int run = 0; run < options.runs; ++run) {
        double milliseconds = timeFirstFrame(firstFrameCommand, options.lightAngle);
        if (milliseconds < 0.0)
            return failed;
        firstFrame.perRun.values.push_back(milliseconds);
    }

    if (!openWindow())
        return failed;
    DeferredRendering &renderer = *appState.deferredRendering;
    GLSLProgram *floorShader = nullptr;
    try {
        floorShader = new GLSLProgram(KORVANE_BENCHMARK_SHADER_DIR "/floorComposite.vert",
                                      KORVANE_BENCHMARK_SHADER_DIR "/floorComposite.frag");
    } catch (std::exception *failure) {
        std::fprintf(stderr, "korvane-benchmark: floor composite: %s\n", failure->what());
        delete failure;
        closeSceneWindow();
        return failed;
    }
    const Variant real = {"real", currentComposite(renderer)};
    const Variant floor = {"floor", compositeFor(floorShader->shaderProgram)};
    const char *timer = timerQueryExtension();
    const bool passesTimed = startPassTiming(renderer.shadowMap.fbo, renderer.gBuffer.fbo);

    appState.viewMode = viewModeFinalImage;
    appState.lightAngle = lightAngleDegrees(options);
    std::printf("korvane-benchmark: %s, window %dx%d, light angle %s\n",
                reinterpret_cast<const char *>(glGetString(GL_RENDERER)), appState.screenWidth,
                appState.screenHeight, options.lightAngle.c_str());
    std::printf("%d runs; each draws %d frames with the real composite, then %d with the floor "
                "composite (%d warm-up frames of each before the first run)\n",
                options.runs, options.framesPerRun, options.framesPerRun, options.warmUpFrames);
    std::printf("frame: wall time from calling render() to glFinish() after it, swap included; "
                "frames per second = frames / their summed frame time\n");
    if (passesTimed)
        std::printf("passes: GL_TIME_ELAPSED queries (%s) begun and ended inside the real "
                    "render(), at the render targets' framebuffer binds and at SwapBuffers; on "
                    "llvmpipe they time the rasterizer threads, not the vertex work of the "
                    "calling thread\n",
                    timer);
    else
        std::printf("passes: n/a (%s)\n", timer ? "cannot watch render() on this system"
                                                : "the driver offers no timer query");
    std::string started = "the tool";
    if (!options.firstFrameCommand.empty()) {
        started = "\"";
        for (const std::string &word : options.firstFrameCommand)
            started += (started.size() > 1 ? " " : "") + word;
        started += "\"";
    }
    std::printf("first frame: from starting %s anew to its first SwapBuffers returning, once "
                "per run\n",
                started.c_str());
    std::printf("ratio: median frame time with the real composite / with the floor composite, "
                "within each run\n\n");

    bool open = true;
    for (const Variant *variant : {&real, &floor}) {
        useComposite(renderer, variant->composite);
        RunTimes ignored;
        open = open && timeFrames(options.warmUpFrames, ignored);
    }
    Figure fps{"frames per second", {}};
    Figure frame{"frame ms", {}};
    std::vector<Figure> passes;
    for (const char *pass : passNames)
        passes.push_back(Figure{std::string("  ") + pass + " pass ms", {}, passesTimed});
    Figure floorFrame{"frame ms, floor composite", {}};
    Figure floorComposite{"  composite pass ms, floor", {}, passesTimed};
    Figure ratio{"ratio real/floor, frame time", {}};
    Figure cpuRatio{"ratio real/floor, process cpu time", {}};
    // Within a run the composites follow each other closely, so that a change
    // in the machine's load falls on both alike.
    for (int run = 0; open && run < options.runs; ++run) {
        RunTimes realTimes, floorTimes;
        useComposite(renderer, real.composite);
        open = timeFrames(options.framesPerRun, realTimes);
        useComposite(renderer, floor.composite);
        open = open && timeFrames(options.framesPerRun, floorTimes);
        if (!open)
            break;
        fps.perRun.values.push_back(1000.0 / realTimes.wall.mean());
        frame.perRun.values.push_back(realTimes.wall.median());
        for (int pass = 0; pass < passCount; ++pass)
            passes[pass].perRun.values.push_back(realTimes.passes[pass].median());
        floorFrame.perRun.values.push_back(floorTimes.wall.median());
        floorComposite.perRun.values.push_back(floorTimes.passes[compositePass].median());
        ratio.perRun.values.push_back(realTimes.wall.median() / floorTimes.wall.median());
        cpuRatio.perRun.values.push_back(realTimes.cpu.median() / floorTimes.cpu.median());
    }
    stopPassTiming();
    useComposite(renderer, real.composite);
    delete floorShader;
    closeSceneWindow();
    if (!open) {
        std::fprintf(stderr, "korvane-benchmark: the window was closed\n");
        return failed;
    }

    std::printf("%-36s %10s %10s %10s\n", "over the runs", "median", "min", "max");
    printFigure(fps);
    printFigure(frame);
    for (const Figure &pass : passes)
        printFigure(pass);
    printFigure(floorFrame);
    printFigure(floorComposite);
    printFigure(ratio);
    printFigure(cpuRatio);
    printFigure(firstFrame);
    return 0;
}

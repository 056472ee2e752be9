// korvane-benchmark: draws the real frame over and over and reports the frame
// time with the real composite shader and with a floor composite, which reads
// each of the four textures once and writes the diffuse colour. Their ratio
// is what the real composite's lighting and shadow filtering cost.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <exception>
#include <string>
#include <vector>

#include "BenchmarkOptions.h"
#include "CompositeProgram.h"
#include "FrameTimes.h"
#include "platform/opengl.h"
#include "scene/scene.h"
#include "shading/DeferredRendering.h"
#include "shading/GLSLProgram.h"
#include "shell/AppState.h"
#include "shell/shell.h"

namespace {

const int failed = 1;
const int usageError = 2;

// Hands every waiting message to the window procedure, as the main loop does
// between frames. False once the window has been closed.
bool dispatchWaitingMessages() {
    MSG msg = {};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            return false;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

// Sets up the window, the context and the scene exactly as the program does.
bool startUp() {
    WNDCLASSW windowClass = {};
    windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WndProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = TEXT("KorvaneBenchmarkClass");
    if (!RegisterClassW(&windowClass)) {
        std::fprintf(stderr, "korvane-benchmark: cannot register the window class\n");
        return false;
    }
    HWND hWnd = CreateWindowExW(WS_EX_APPWINDOW, TEXT("KorvaneBenchmarkClass"),
                                TEXT("Korvane benchmark"), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                1024, 768, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!hWnd) {
        std::fprintf(stderr, "korvane-benchmark: cannot create a window (is DISPLAY set to a "
                             "running X server?)\n");
        return false;
    }
    try {
        if (!initGL(hWnd))
            return false; // initGL has said why
    } catch (std::exception *error) {
        std::fprintf(stderr, "korvane-benchmark: %s\n", error->what());
        delete error;
        return false;
    }
    return dispatchWaitingMessages();
}

struct Variant {
    const char *name;
    CompositeProgram composite;
    FrameTimes wall; // elapsed time per frame
    FrameTimes cpu;  // processor time of the whole process per frame
};

// Draws frames one after another, each finished before the next starts, and
// records how long each took, swap included. The processor time counts the
// driver's rendering threads too, and is less disturbed than the elapsed time
// when other programs share the machine.
bool timeFrames(int frames, Variant &variant) {
    using Clock = std::chrono::steady_clock;
    for (int i = 0; i < frames; ++i) {
        if (!dispatchWaitingMessages())
            return false;
        Clock::time_point start = Clock::now();
        std::clock_t cpuStart = std::clock();
        render();
        glFinish();
        std::chrono::duration<double, std::milli> took = Clock::now() - start;
        variant.wall.milliseconds.push_back(took.count());
        variant.cpu.milliseconds.push_back(1000.0 * static_cast<double>(std::clock() - cpuStart) /
                                           CLOCKS_PER_SEC);
    }
    return true;
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
    if (!startUp())
        return failed;

    DeferredRendering &renderer = *appState.deferredRendering;
    const CompositeProgram real = currentComposite(renderer);
    GLSLProgram *floorShader = nullptr;
    try {
        floorShader = new GLSLProgram(KORVANE_BENCHMARK_SHADER_DIR "/floorComposite.vert",
                                      KORVANE_BENCHMARK_SHADER_DIR "/floorComposite.frag");
    } catch (std::exception *failure) {
        std::fprintf(stderr, "korvane-benchmark: floor composite: %s\n", failure->what());
        delete failure;
        shutdown();
        return failed;
    }
    std::vector<Variant> variants = {{"real", real, {}, {}},
                                     {"floor", compositeFor(floorShader->shaderProgram), {}, {}}};

    appState.viewMode = 0;
    appState.lightAngle = options.lightAngle;
    std::printf("korvane-benchmark: %s, window %dx%d, light angle %g\n",
                reinterpret_cast<const char *>(glGetString(GL_RENDERER)), appState.screenWidth,
                appState.screenHeight, static_cast<double>(options.lightAngle));
    std::printf("%d rounds of %d frames per composite, each after %d warm-up frames\n",
                options.rounds, options.framesPerRound, options.warmUpFrames);

    // Rounds alternate between the composites, so that a change in the
    // machine's load during the run falls on both alike.
    bool open = true;
    for (const Variant &variant : variants) {
        useComposite(renderer, variant.composite);
        Variant ignored = variant;
        open = open && timeFrames(options.warmUpFrames, ignored);
    }
    for (int round = 0; open && round < options.rounds; ++round) {
        for (Variant &variant : variants) {
            useComposite(renderer, variant.composite);
            open = open && timeFrames(options.framesPerRound, variant);
        }
    }
    useComposite(renderer, real);
    delete floorShader;

    if (!open) {
        std::fprintf(stderr, "korvane-benchmark: the window was closed\n");
        return failed;
    }
    std::printf("%-10s %7s %10s %10s %10s %10s\n", "composite", "frames", "median ms", "mean ms",
                "fastest ms", "median cpu ms");
    for (const Variant &variant : variants)
        std::printf("%-10s %7zu %10.2f %10.2f %10.2f %10.2f\n", variant.name,
                    variant.wall.milliseconds.size(), variant.wall.median(), variant.wall.mean(),
                    variant.wall.fastest(), variant.cpu.median());
    const Variant &realTimes = variants[0], &floorTimes = variants[1];
    std::printf("ratio real/floor: %.3f median, %.3f mean, %.3f fastest, %.3f median cpu\n",
                realTimes.wall.median() / floorTimes.wall.median(),
                realTimes.wall.mean() / floorTimes.wall.mean(),
                realTimes.wall.fastest() / floorTimes.wall.fastest(),
                realTimes.cpu.median() / floorTimes.cpu.median());

    HWND hWnd = appState.hWnd;
    shutdown();
    DestroyWindow(hWnd);
    return 0;
}

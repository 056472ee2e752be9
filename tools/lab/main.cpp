// korvane-lab: the program's window, scene and frame, with its shaders
// watched while it runs. Saving a shader builds the program that uses it
// again and swaps it in; one that does not build is reported and the last
// good one goes on drawing. Space holds the light and the spheres still,
// Left and Right turn the light, so that one moment can be studied while
// the shaders change.
#include <cstdio>
#include <string>
#include <vector>

#include "LabOptions.h"
#include "ShaderWatch.h"
#include "labKeys.h"
#include "platform/windows_api.h"
#include "rebuild.h"
#include "scene/scene.h"
#include "sceneWindow.h"
#include "shell/AppState.h"
#include "shell/shell.h"

namespace {

const int failed = 1;
const int usageError = 2;

// How often the shader files are looked at. A change is taken up once it
// has held for one look, so it shows within two of them.
const DWORD lookEveryMs = 250;

// What the caption reports beyond the lab's name: the last build failure of
// each program, empty while the program in use is built from its files.
struct Failures {
    std::string composite;
    std::string models;
};

std::string captionText(const Failures &failures) {
    std::string caption = "Korvane lab";
    if (animationStopped()) {
        char light[64];
        std::snprintf(light, sizeof light, " - stopped, light at %.1f degrees",
                      static_cast<double>(appState.lightAngle));
        caption += light;
    }
    for (const std::string *failure : {&failures.composite, &failures.models})
        if (!failure->empty())
            caption += " - " + *failure;
    return caption;
}

// Sets the caption when its text has changed; every caption is ASCII.
void showCaption(const std::string &text, std::string &shown) {
    if (text == shown)
        return;
    shown = text;
    const std::basic_string<WCHAR> wide(text.begin(), text.end());
    SetWindowTextW(appState.hWnd, wide.c_str());
}

// Builds the programs whose files have settled on a new content and reports
// each outcome: a line on stdout naming the files reloaded, or the failure
// on stderr as start-up reports it.
void reloadChanged(ShaderWatch &watch, Failures &failures) {
    std::vector<std::string> changed = watch.settledChanges();
    // The changed files among a program's two, as a list for the report.
    const auto changedOf = [&](const char *const files[2]) {
        std::string names;
        for (const std::string &path : changed)
            if (path == files[0] || path == files[1])
                names += (names.empty() ? "" : ", ") + path;
        return names;
    };
    const struct {
        std::string files;
        bool (*rebuild)(BuildFailure &);
        std::string &failure;
    } programs[] = {
        {changedOf(compositeShaderFiles), rebuildComposite, failures.composite},
        {changedOf(modelShaderFiles), rebuildModelPrograms, failures.models},
    };
    for (const auto &program : programs) {
        if (program.files.empty())
            continue;
        BuildFailure failure;
        if (program.rebuild(failure)) {
            program.failure.clear();
            std::printf("korvane-lab: reloaded %s\n", program.files.c_str());
            std::fflush(stdout);
        } else {
            program.failure = failure.message;
            writeFailureReport(failure.message, failure.details);
        }
    }
}

} // namespace

int main(int argc, char **argv) {
    LabOptions options;
    std::string error;
    if (!parseLabOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "korvane-lab: %s\n", error.c_str());
        return usageError;
    }
    if (options.help) {
        std::fputs(labUsage, stdout);
        return 0;
    }

    if (!openSceneWindow("korvane-lab", TEXT("KorvaneLabClass"), TEXT("Korvane lab"),
                         labWindowProcedure))
        return failed;
    ShaderWatch watch({compositeShaderFiles[0], compositeShaderFiles[1], modelShaderFiles[0],
                       modelShaderFiles[1]});

    // The scene starts where the options put it, not at the moment the
    // machine started, as the program's first update would have it.
    appState.lightAngle = 0.0f;
    turnLight(options.lightAngle);
    appState.lastTick = GetTickCount();
    setAnimationStopped(options.stopped);

    Failures failures;
    std::string caption = "Korvane lab";
    DWORD lastLook = GetTickCount();
    while (dispatchWaitingMessages()) {
        if (GetTickCount() - lastLook >= lookEveryMs) {
            lastLook = GetTickCount();
            reloadChanged(watch, failures);
        }
        advanceScene();
        render();
        showCaption(captionText(failures), caption);
    }
    closeSceneWindow();
    return 0;
}

// The program's whole life on the current driver, as the entry function runs
// it: start-up through initGL with the real scene, frames in both views, a
// resize, frames again and shutdown. OpenGL must report no error at any
// point. The program reads no error state itself; this test watches it from
// outside, through glGetError and the driver's debug output.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/opengl.h"
#include "scene/scene.h"
#include "sceneWindow.h"
#include "shell/AppState.h"
#include "shell/shell.h"

namespace {

// Every error flag that OpenGL has set since it was last asked, clearing them.
std::string pendingErrors() {
    std::ostringstream errors;
    for (int i = 0; i < 16; ++i) {
        GLenum error = glGetError();
        if (error == GL_NO_ERROR)
            break;
        errors << " 0x" << std::hex << error;
    }
    return errors.str();
}

// The errors that the driver reports through its debug output, as they
// happen: this still sees those raised while shutdown deletes the scene,
// after which there is no context left to ask.
std::vector<std::string> reportedErrors;

void GLAPIENTRY recordError(GLenum, GLenum type, GLuint, GLenum, GLsizei, const GLchar *message,
                            const void *) {
    if (type == GL_DEBUG_TYPE_ERROR)
        reportedErrors.push_back(message);
}

// One frame in the view that the key selects, as the main loop draws it.
void showFrame(HWND hWnd, WPARAM viewKey) {
    WndProc(hWnd, WM_KEYDOWN, viewKey, 0);
    update();
    render();
}

} // namespace

TEST(GLErrors, NoneFromStartUpFramesInBothViewsAResizeOrShutdown) {
    ASSERT_TRUE(openSceneWindow("GL error test", TEXT("KorvaneErrorTestClass"), TEXT("Korvane")));
    HWND hWnd = appState.hWnd;
    EXPECT_EQ(pendingErrors(), "") << "during start-up";

    // From here on the driver reports each error as it is raised. A
    // deliberate one first shows that the reports arrive.
    ASSERT_TRUE(GLEW_KHR_debug) << "the driver offers no debug output";
    glDebugMessageCallback(recordError, nullptr);
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    glEnable(GL_DEBUG_OUTPUT);
    glEnable(GL_TRIANGLES); // not a capability: GL_INVALID_ENUM
    ASSERT_EQ(reportedErrors.size(), 1u) << "the debug output does not report errors";
    ASSERT_EQ(pendingErrors(), " 0x500");
    reportedErrors.clear();

    showFrame(hWnd, VK_F1);
    showFrame(hWnd, VK_F2);
    WndProc(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(800, 600));
    showFrame(hWnd, VK_F1);
    showFrame(hWnd, VK_F2);
    EXPECT_EQ(pendingErrors(), "") << "during frames";

    closeSceneWindow();
    for (const std::string &error : reportedErrors)
        ADD_FAILURE() << error;
}

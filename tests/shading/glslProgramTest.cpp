// Loading, compiling and linking shader pairs from real files.
#include "shading/GLSLProgram.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "shading/ShaderBuildError.h"
#include "shadingTestSupport.h"
#include "support/GLTestContext.h"

namespace {

const char *const goodVertex = "#version 120\n"
                               "void main() { gl_Position = ftransform(); }\n";
const char *const goodFragment = "#version 120\n"
                                 "void main() { gl_FragColor = vec4(1.0, 0.5, 0.0, 1.0); }\n";
const char *const brokenShader = "#version 120\n"
                                 "void main() { this is not GLSL }\n";

class GLSLProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << gl.error();
        ASSERT_TRUE(dir.ok());
    }

    std::string load(const std::string &vertexPath, const std::string &fragmentPath) {
        return thrownMessage([&] { GLSLProgram program(vertexPath, fragmentPath); });
    }

    // The details that a build failure carries beside its message.
    std::string details(const std::string &vertexPath, const std::string &fragmentPath) {
        try {
            GLSLProgram program(vertexPath, fragmentPath);
        } catch (std::exception *failure) {
            std::string text = shaderBuildDetailsOf(*failure);
            delete failure;
            return text;
        }
        return "";
    }

    GLTestContext gl{64, 64};
    TempDir dir;
};

// Draws a quad over a small off-screen target with the program and returns
// the colour of its centre.
Rgba drawWith(const GLSLProgram &program) {
    OffscreenTarget target(16, 16);
    target.bind();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glUseProgramObjectARB(program.shaderProgram);
    glBegin(GL_QUADS);
    glVertex2f(-1.0f, -1.0f);
    glVertex2f(1.0f, -1.0f);
    glVertex2f(1.0f, 1.0f);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
    glUseProgramObjectARB(0);
    Rgba centre = readPixel(8, 8);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    return centre;
}

} // namespace

TEST_F(GLSLProgramTest, BuildsALinkedProgramThatDraws) {
    std::string vertex = dir.write("a.vert", goodVertex);
    std::string fragment = dir.write("a.frag", goodFragment);
    GLSLProgram program(vertex, fragment);
    EXPECT_EQ(program.vertexFileName, vertex);
    EXPECT_EQ(program.fragmentFileName, fragment);
    EXPECT_NE(program.vertexShader, 0u);
    EXPECT_NE(program.fragmentShader, 0u);
    ASSERT_NE(program.shaderProgram, 0u);
    GLint linked = 0;
    glGetObjectParameterivARB(program.shaderProgram, GL_OBJECT_LINK_STATUS_ARB, &linked);
    EXPECT_EQ(linked, 1);
    Rgba centre = drawWith(program);
    EXPECT_EQ(centre.r, 255);
    EXPECT_NEAR(centre.g, 128, 1);
    EXPECT_EQ(centre.b, 0);
}

TEST_F(GLSLProgramTest, MissingFilesNameTheFileOpenedFirst) {
    std::string vertex = dir.write("a.vert", goodVertex);
    std::string fragment = dir.write("a.frag", goodFragment);
    std::string broken = dir.write("broken.vert", brokenShader);
    std::string missingVertex = dir.file("missing.vert");
    std::string missingFragment = dir.file("missing.frag");

    EXPECT_EQ(load(missingVertex, fragment),
              "Can't load GLSL Vertex Shader from file: " + missingVertex);
    EXPECT_EQ(load(vertex, missingFragment),
              "Can't load GLSL Fragment Shader from file: " + missingFragment);
    // Both missing: the vertex file is opened first.
    EXPECT_EQ(load(missingVertex, missingFragment),
              "Can't load GLSL Vertex Shader from file: " + missingVertex);
    // Both files are read before anything is compiled.
    EXPECT_EQ(load(broken, missingFragment),
              "Can't load GLSL Fragment Shader from file: " + missingFragment);
    // A directory opens on some systems but holds no shader text, and a
    // FIFO that nobody writes would block the reader for ever.
    EXPECT_EQ(load(dir.path(), fragment), "Can't load GLSL Vertex Shader from file: " + dir.path());
    std::string fifo = dir.file("fifo.frag");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(load(vertex, fifo), "Can't load GLSL Fragment Shader from file: " + fifo);
}

TEST_F(GLSLProgramTest, CompileAndLinkFailuresHaveTheirOwnMessages) {
    std::string vertex = dir.write("a.vert", goodVertex);
    std::string fragment = dir.write("a.frag", goodFragment);
    std::string broken = dir.write("broken.glsl", brokenShader);
    EXPECT_EQ(load(broken, fragment), "Vertex shader compilation failed.");
    EXPECT_EQ(load(vertex, broken), "Fragment shader compilation failed.");
    EXPECT_EQ(load(broken, broken), "Vertex shader compilation failed.");

    // Each compiles alone, but the fragment shader reads a varying that the
    // vertex shader never declares, and a vertex shader needs a main.
    std::string needsVarying =
        dir.write("needs.frag", "#version 120\nvarying vec3 colour;\n"
                                "void main() { gl_FragColor = vec4(colour, 1.0); }\n");
    std::string noMain = dir.write("nomain.vert", "#version 120\nfloat unused() { return 1.0; }\n");
    EXPECT_EQ(load(vertex, needsVarying), "Shader program linking failed.");
    EXPECT_EQ(load(noMain, fragment), "Shader program linking failed.");

    // Beside the message: the file, or both files for a link, then the
    // driver's log. Its form is the driver's; Mesa's names line 2 as "0:2(".
    std::string compileLog = details(vertex, broken);
    EXPECT_EQ(compileLog.rfind(broken + ":\n", 0), 0u) << compileLog;
    EXPECT_NE(compileLog.find("0:2("), std::string::npos) << compileLog;
    std::string linkLog = details(vertex, needsVarying);
    EXPECT_EQ(linkLog.rfind(vertex + ", " + needsVarying + ":\n", 0), 0u) << linkLog;
    EXPECT_NE(linkLog.find("colour", linkLog.find('\n')), std::string::npos) << linkLog;
}

TEST_F(GLSLProgramTest, ReadsCrLfFilesAndEndsTheTextAtANulByte) {
    std::string crlfVertex =
        dir.write("crlf.vert",
                  "#version 120\r\nvoid main()\r\n{\r\n    gl_Position = ftransform();\r\n}\r\n");
    std::string crlfFragment =
        dir.write("crlf.frag", "#version 120\r\nvoid main()\r\n{\r\n"
                               "    gl_FragColor = vec4(0.0, 1.0, 0.0, 1.0);\r\n}\r\n");
    GLSLProgram crlf(crlfVertex, crlfFragment);
    Rgba green = drawWith(crlf);
    EXPECT_EQ(green.g, 255);
    EXPECT_EQ(green.r, 0);

    // Everything after the NUL is garbage that would not compile.
    std::string withNul =
        std::string("#version 120\n"
                    "void main() { gl_FragColor = vec4(0.0, 0.0, 1.0, 1.0); }\n") +
        std::string(1, '\0') + "this is not GLSL }}}\n";
    std::string nulFragment = dir.write("nul.frag", withNul);
    GLSLProgram nul(crlfVertex, nulFragment);
    GLint length = 0;
    glGetObjectParameterivARB(nul.fragmentShader, GL_OBJECT_SHADER_SOURCE_LENGTH_ARB, &length);
    EXPECT_EQ(length, static_cast<GLint>(withNul.find('\0')) + 1); // counts the terminator
    Rgba blue = drawWith(nul);
    EXPECT_EQ(blue.b, 255);
    EXPECT_EQ(blue.g, 0);
}

#include "shading/GLSLProgram.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "platform/openRegularFile.h"
#include "shading/ShaderBuildError.h"

namespace {

// Reads a whole file, opened in text mode, into a buffer one byte longer than
// the file. Fewer bytes may arrive than the file's size (line-end
// conversion), and a NUL byte in the file ends the text early; either way the
// text ends right after the last byte read. Returns null if the file cannot be
// opened, is not a regular file (a directory or a FIFO holds no shader text,
// and a FIFO would block), is implausibly large for a shader, or fails to read.
std::unique_ptr<char[]> readTextFile(const std::string &path) {
    std::uint64_t size = 0;
    DataFile file = openRegularFile(path, "r", size);
    if (!file || size >= 0x40000000u)
        return nullptr;
    std::unique_ptr<char[]> text(new char[static_cast<std::size_t>(size) + 1]);
    const std::size_t bytesRead =
        std::fread(text.get(), 1, static_cast<std::size_t>(size), file.get());
    if (std::ferror(file.get()))
        return nullptr;
    text[bytesRead] = '\0';
    return text;
}

// Hands the text to the shader as one NUL-terminated string and compiles it.
// Returns the compile status; status is not reset by the caller between calls.
void compile(GLhandleARB shader, const char *text, GLint &status) {
    glShaderSourceARB(shader, 1, &text, nullptr);
    glCompileShaderARB(shader);
    glGetObjectParameterivARB(shader, GL_OBJECT_COMPILE_STATUS_ARB, &status);
}

// The driver's information log of a shader or program object, as the driver
// wrote it. Its form is the driver's own and is not interpreted here. Only
// its start is kept if it is implausibly long for a log.
std::string infoLog(GLhandleARB object) {
    const GLint longest = 1 << 20;
    GLint length = 0;
    glGetObjectParameterivARB(object, GL_OBJECT_INFO_LOG_LENGTH_ARB, &length);
    if (length <= 0)
        return std::string();
    // One byte more than asked for: some drivers leave the terminator out of
    // the length they report.
    std::string log(static_cast<std::size_t>(std::min(length, longest)) + 1, '\0');
    GLsizei written = 0;
    glGetInfoLogARB(object, static_cast<GLsizei>(log.size()), &written, &log[0]);
    log.resize(std::min(static_cast<std::size_t>(std::max(written, 0)), log.size()));
    // Anything after a NUL byte is not part of the log.
    log.resize(std::min(log.find('\0'), log.size()));
    return log;
}

// What a build failure carries beside its message: the line that names the
// file or files, then the driver's log.
std::string failureDetails(const std::string &files, const std::string &log) {
    return files + ":\n" + (log.empty() ? "(the driver wrote no log)" : log);
}

} // namespace

GLSLProgram::GLSLProgram(const std::string &vertexFile, const std::string &fragmentFile)
    : vertexShader(0), fragmentShader(0), shaderProgram(0), vertexFileName(vertexFile),
      fragmentFileName(fragmentFile) {
    vertexShader = glCreateShaderObjectARB(GL_VERTEX_SHADER_ARB);
    fragmentShader = glCreateShaderObjectARB(GL_FRAGMENT_SHADER_ARB);

    // Both files are read before either shader is compiled. The buffers are
    // owned here, so every failure below releases them.
    std::unique_ptr<char[]> vertexText = readTextFile(vertexFileName);
    if (!vertexText)
        throw new std::runtime_error("Can't load GLSL Vertex Shader from file: " + vertexFileName);
    std::unique_ptr<char[]> fragmentText = readTextFile(fragmentFileName);
    if (!fragmentText)
        throw new std::runtime_error("Can't load GLSL Fragment Shader from file: " +
                                     fragmentFileName);

    GLint status = 0;
    compile(vertexShader, vertexText.get(), status);
    if (status == 0)
        throw new ShaderBuildError("Vertex shader compilation failed.",
                                   failureDetails(vertexFileName, infoLog(vertexShader)));
    compile(fragmentShader, fragmentText.get(), status);
    if (status == 0)
        throw new ShaderBuildError("Fragment shader compilation failed.",
                                   failureDetails(fragmentFileName, infoLog(fragmentShader)));

    GLhandleARB program = glCreateProgramObjectARB();
    glAttachObjectARB(program, vertexShader);
    glAttachObjectARB(program, fragmentShader);
    glLinkProgramARB(program);
    GLint linked = 0;
    glGetObjectParameterivARB(program, GL_OBJECT_LINK_STATUS_ARB, &linked);
    if (linked == 0) {
        // A program that failed to link cannot draw; nobody else holds it.
        std::string log = infoLog(program);
        glDeleteObjectARB(program);
        throw new ShaderBuildError("Shader program linking failed.",
                                   failureDetails(vertexFileName + ", " + fragmentFileName, log));
    }
    shaderProgram = program;

    fragmentText.reset();
    vertexText.reset();
}

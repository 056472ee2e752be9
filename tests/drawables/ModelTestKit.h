// Helpers for tests that build and draw models: a temporary folder, a small
// shader pair that declares the models' uniforms, and a capture of the
// polygons a draw produces (OpenGL feedback mode), mapped back to the space
// the model was drawn into.
#pragma once

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/opengl.h"

namespace testkit {

// A fresh folder under the system's temporary folder, removed again at the end.
class TempDir {
  public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "korvane-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data()))
            path_ = buffer.data();
    }
    ~TempDir() {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    bool ok() const { return !path_.empty(); }
    std::string file(const std::string &name) const { return (path_ / name).string(); }
    const std::filesystem::path &path() const { return path_; }

  private:
    std::filesystem::path path_;
};

inline void writeFile(const std::string &path, const std::string &bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline void writeFile(const std::string &path, const std::vector<unsigned char> &bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char *>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// A shader pair in the models' interface: fixed-function transform, texture
// set 0, sampler "tDiffuse" and matrix "WorldMatrix". WorldMatrix has no
// visible effect but takes part in the output, so the linker keeps it.
struct TestShaders {
    std::string vertex;
    std::string fragment;
};

inline TestShaders writeTestShaders(const TempDir &dir) {
    TestShaders shaders{dir.file("model.vert"), dir.file("model.frag")};
    writeFile(shaders.vertex, "uniform mat4 WorldMatrix;\n"
                              "varying vec4 worldMarker;\n"
                              "void main() {\n"
                              "    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;\n"
                              "    gl_TexCoord[0] = gl_MultiTexCoord0;\n"
                              "    worldMarker = WorldMatrix * gl_Vertex;\n"
                              "}\n");
    writeFile(shaders.fragment, "uniform sampler2D tDiffuse;\n"
                                "varying vec4 worldMarker;\n"
                                "void main() {\n"
                                "    gl_FragColor = texture2D(tDiffuse, gl_TexCoord[0].st)\n"
                                "                 + 1.0e-9 * worldMarker;\n"
                                "}\n");
    return shaders;
}

using Vec3 = std::array<double, 3>;
using Polygon = std::vector<Vec3>;

// Half the edge of the box that the capture covers: x, y and z from -extent
// to +extent in the space the model is drawn into.
constexpr double captureExtent = 8.0;
constexpr int captureViewport = 800;

// Runs draw() in feedback mode with an orthographic projection over the
// capture box and the modelview matrix the caller set up (usually identity),
// and returns the polygons that came out of the pipeline, culling included,
// in the space of the modelview matrix's entry (for an identity modelview:
// the space the model is placed in).
inline std::vector<Polygon> capturePolygons(const std::function<void()> &draw) {
    std::vector<GLfloat> buffer(400000);
    glViewport(0, 0, captureViewport, captureViewport);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-captureExtent, captureExtent, -captureExtent, captureExtent, -captureExtent,
            captureExtent);
    glMatrixMode(GL_MODELVIEW);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint count = glRenderMode(GL_RENDER);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    auto toSpace = [](const GLfloat *w) {
        const double e = captureExtent;
        return Vec3{(w[0] / captureViewport * 2.0 - 1.0) * e,
                    (w[1] / captureViewport * 2.0 - 1.0) * e, -(w[2] * 2.0 - 1.0) * e};
    };

    std::vector<Polygon> polygons;
    for (GLint i = 0; i < count;) {
        const auto token = static_cast<GLint>(buffer[i++]);
        switch (token) {
        case GL_POLYGON_TOKEN: {
            const auto n = static_cast<GLint>(buffer[i++]);
            Polygon polygon;
            for (GLint k = 0; k < n; ++k, i += 3)
                polygon.push_back(toSpace(&buffer[i]));
            polygons.push_back(polygon);
            break;
        }
        case GL_POINT_TOKEN:
        case GL_BITMAP_TOKEN:
        case GL_DRAW_PIXEL_TOKEN:
        case GL_COPY_PIXEL_TOKEN:
            i += 3;
            break;
        case GL_LINE_TOKEN:
        case GL_LINE_RESET_TOKEN:
            i += 6;
            break;
        case GL_PASS_THROUGH_TOKEN:
            i += 1;
            break;
        default:
            return {}; // unknown token: the buffer cannot be read on
        }
    }
    return polygons;
}

inline Vec3 sub(const Vec3 &a, const Vec3 &b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
inline double dot(const Vec3 &a, const Vec3 &b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
inline Vec3 cross(const Vec3 &a, const Vec3 &b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// The polygon's normal from its winding: counter-clockwise seen from the
// side it points to. Its length is twice the polygon's area.
inline Vec3 windingNormal(const Polygon &p) {
    Vec3 n{0, 0, 0};
    for (std::size_t k = 1; k + 1 < p.size(); ++k) {
        const Vec3 c = cross(sub(p[k], p[0]), sub(p[k + 1], p[0]));
        n = {n[0] + c[0], n[1] + c[1], n[2] + c[2]};
    }
    return n;
}

inline Vec3 centroid(const Polygon &p) {
    Vec3 c{0, 0, 0};
    for (const Vec3 &v : p)
        c = {c[0] + v[0], c[1] + v[1], c[2] + v[2]};
    const double n = static_cast<double>(p.size());
    return {c[0] / n, c[1] / n, c[2] / n};
}

} // namespace testkit

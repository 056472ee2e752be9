// Helpers for tests that build and draw models: a small shader pair that declares the models'
// uniforms, and a capture of the polygons a draw produces (OpenGL feedback mode), mapped back to
// the space the model was drawn into.
#pragma once

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/opengl.h"
#include "support/SceneGeometry.h"
#include "support/TempDir.h"

namespace testkit {

using scenegeometry::operator+;
using scenegeometry::operator-;
using scenegeometry::operator*;

// A shader pair in the models' interface: fixed-function transform, texture
// set 0, sampler "tDiffuse" and matrix "WorldMatrix". WorldMatrix has no
// visible effect but takes part in the output, so the linker keeps it.
struct TestShaders {
    std::string vertex;
    std::string fragment;
};

inline TestShaders writeTestShaders(const TempDir &dir) {
    TestShaders shaders{dir.file("model.vert"), dir.file("model.frag")};
    dir.write("model.vert", "uniform mat4 WorldMatrix;\n"
                            "varying vec4 worldMarker;\n"
                            "void main() {\n"
                            "    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;\n"
                            "    gl_TexCoord[0] = gl_MultiTexCoord0;\n"
                            "    worldMarker = WorldMatrix * gl_Vertex;\n"
                            "}\n");
    dir.write("model.frag", "uniform sampler2D tDiffuse;\n"
                            "varying vec4 worldMarker;\n"
                            "void main() {\n"
                            "    gl_FragColor = texture2D(tDiffuse, gl_TexCoord[0].st)\n"
                            "                 + 1.0e-9 * worldMarker;\n"
                            "}\n");
    return shaders;
}

using scenegeometry::Vec3;
using Polygon = std::vector<Vec3>;

// Half the edge of the box that the capture covers: x, y and z from -extent
// to +extent in the space the model is drawn into.
constexpr double captureExtent = 8.0;
constexpr int captureViewport = 800;

// A vertex that came out of the pipeline: where it lies (see capturePolygons)
// and its texture coordinate.
struct TexturedVertex {
    Vec3 position;
    double s, t;
};
using TexturedPolygon = std::vector<TexturedVertex>;

// Runs draw() in feedback mode with an orthographic projection over the
// capture box and the modelview matrix the caller set up (usually identity),
// and returns the polygons that came out of the pipeline, culling included,
// in the space of the modelview matrix's entry (for an identity modelview:
// the space the model is placed in), with their texture coordinates.
inline std::vector<TexturedPolygon> captureTexturedPolygons(const std::function<void()> &draw) {
    std::vector<GLfloat> buffer(400000);
    glViewport(0, 0, captureViewport, captureViewport);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-captureExtent, captureExtent, -captureExtent, captureExtent, -captureExtent,
            captureExtent);
    glMatrixMode(GL_MODELVIEW);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint count = glRenderMode(GL_RENDER);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    // Each vertex is x y z (window), r g b a, s t r q.
    constexpr GLint stride = 11;
    auto vertexAt = [&](GLint i) {
        const double e = captureExtent;
        const GLfloat *w = &buffer[i];
        return TexturedVertex{{(w[0] / captureViewport * 2.0 - 1.0) * e,
                               (w[1] / captureViewport * 2.0 - 1.0) * e, -(w[2] * 2.0 - 1.0) * e},
                              w[7],
                              w[8]};
    };

    std::vector<TexturedPolygon> polygons;
    for (GLint i = 0; i < count;) {
        const auto token = static_cast<GLint>(buffer[i++]);
        switch (token) {
        case GL_POLYGON_TOKEN: {
            const auto n = static_cast<GLint>(buffer[i++]);
            TexturedPolygon polygon;
            for (GLint k = 0; k < n; ++k, i += stride)
                polygon.push_back(vertexAt(i));
            polygons.push_back(polygon);
            break;
        }
        case GL_POINT_TOKEN:
        case GL_BITMAP_TOKEN:
        case GL_DRAW_PIXEL_TOKEN:
        case GL_COPY_PIXEL_TOKEN:
            i += stride;
            break;
        case GL_LINE_TOKEN:
        case GL_LINE_RESET_TOKEN:
            i += 2 * stride;
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

// The same polygons without their texture coordinates.
inline std::vector<Polygon> capturePolygons(const std::function<void()> &draw) {
    std::vector<Polygon> polygons;
    for (const TexturedPolygon &textured : captureTexturedPolygons(draw)) {
        Polygon polygon;
        for (const TexturedVertex &v : textured)
            polygon.push_back(v.position);
        polygons.push_back(polygon);
    }
    return polygons;
}

// The polygon's normal from its winding: counter-clockwise seen from the
// side it points to. Its length is twice the polygon's area.
inline Vec3 windingNormal(const Polygon &p) {
    Vec3 n{0, 0, 0};
    for (std::size_t k = 1; k + 1 < p.size(); ++k)
        n = n + scenegeometry::cross(p[k] - p[0], p[k + 1] - p[0]);
    return n;
}

inline Vec3 centroid(const Polygon &p) {
    Vec3 c{0, 0, 0};
    for (const Vec3 &v : p)
        c = c + v;
    return (1.0 / static_cast<double>(p.size())) * c;
}

} // namespace testkit

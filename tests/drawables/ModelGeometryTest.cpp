// Where each kind of model puts its vertices, and which way its faces wind,
// read back from the pipeline with OpenGL's feedback mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <utility>

#include "drawables/CubeModel.h"
#include "drawables/ModelTestKit.h"
#include "drawables/PlaneModel.h"
#include "drawables/SphereModel.h"
#include "support/GLTestContext.h"

using testkit::Polygon;
using namespace scenegeometry;

namespace {

using Mat3 = std::array<std::array<double, 3>, 3>;

Mat3 rotation(double degrees, int axis) {
    const double r = degrees * M_PI / 180.0;
    const double c = std::cos(r), s = std::sin(r);
    Mat3 m{};
    const int a = (axis + 1) % 3, b = (axis + 2) % 3;
    m[axis][axis] = 1.0;
    m[a][a] = c;
    m[a][b] = -s;
    m[b][a] = s;
    m[b][b] = c;
    return m;
}

Mat3 mul(const Mat3 &x, const Mat3 &y) {
    Mat3 m{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k)
                m[i][j] += x[i][k] * y[k][j];
    return m;
}

Vec3 turn(const Mat3 &m, const Vec3 &v) {
    return {m[0][0] * v[0] + m[0][1] * v[1] + m[0][2] * v[2],
            m[1][0] * v[0] + m[1][1] * v[1] + m[1][2] * v[2],
            m[2][0] * v[0] + m[2][1] * v[1] + m[2][2] * v[2]};
}

double gap(const Vec3 &a, const Vec3 &b) {
    return std::sqrt(dot(a - b, a - b));
}

// The distinct vertices of the polygons, merged within a small tolerance.
std::vector<Vec3> distinctVertices(const std::vector<Polygon> &polygons) {
    std::vector<Vec3> all;
    for (const Polygon &p : polygons)
        all.insert(all.end(), p.begin(), p.end());
    std::sort(all.begin(), all.end());
    std::vector<Vec3> distinct;
    for (const Vec3 &v : all) {
        bool seen = false;
        for (auto it = distinct.rbegin(); it != distinct.rend() && v[0] - (*it)[0] < 1e-3; ++it)
            if (gap(v, *it) < 1e-3) {
                seen = true;
                break;
            }
        if (!seen)
            distinct.push_back(v);
    }
    return distinct;
}

// True when every point of `expected` has a point of `actual` within the
// tolerance and the two sets have the same size.
bool sameVertexSet(const std::vector<Vec3> &expected, const std::vector<Vec3> &actual) {
    if (expected.size() != actual.size())
        return false;
    for (const Vec3 &e : expected) {
        const bool found = std::any_of(actual.begin(), actual.end(),
                                       [&](const Vec3 &a) { return gap(a, e) < 2e-3; });
        if (!found)
            return false;
    }
    return true;
}

struct Bounds {
    Vec3 min{1e9, 1e9, 1e9};
    Vec3 max{-1e9, -1e9, -1e9};
};

Bounds boundsOf(const std::vector<Polygon> &polygons) {
    Bounds b;
    for (const Polygon &p : polygons)
        for (const Vec3 &v : p)
            for (int i = 0; i < 3; ++i) {
                b.min[i] = std::min(b.min[i], v[i]);
                b.max[i] = std::max(b.max[i], v[i]);
            }
    return b;
}

double area(const Polygon &p) {
    const Vec3 n = testkit::windingNormal(p);
    return 0.5 * std::sqrt(dot(n, n));
}

class ModelGeometryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(context.ok()) << context.error();
        ASSERT_TRUE(dir.ok());
        shaders = testkit::writeTestShaders(dir);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_CULL_FACE);
    }

    template <class Kind> std::unique_ptr<IModel> make(float scale) {
        return std::make_unique<Kind>(shaders.vertex, shaders.fragment, scale);
    }

    std::vector<Polygon> capture(IModel &model) {
        return testkit::capturePolygons([&] { model.draw(); });
    }

    GLTestContext context;
    TempDir dir;
    testkit::TestShaders shaders;
};

void place(IModel &model, float x, float y, float z) {
    model.positionX = x;
    model.positionY = y;
    model.positionZ = z;
}

void expectBounds(const Bounds &b, const Vec3 &min, const Vec3 &max) {
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(b.min[i], min[i], 1e-3) << "axis " << i;
        EXPECT_NEAR(b.max[i], max[i], 1e-3) << "axis " << i;
    }
}

} // namespace

TEST_F(ModelGeometryTest, ScaleAndPositionPlaceEachKindItsOwnWay) {
    auto cube = make<CubeModel>(2.0f);
    place(*cube, 1, 0, 0);
    // The cube's scale applies to its position too: centred at x = 2.
    expectBounds(boundsOf(capture(*cube)), {0, -2, -2}, {4, 2, 2});

    auto plane = make<PlaneModel>(2.0f);
    place(*plane, 1, 0, 0);
    // The plane's scale applies to its geometry only: centred at x = 1.
    expectBounds(boundsOf(capture(*plane)), {-1, 0, -2}, {3, 0, 2});

    auto sphere = make<SphereModel>(2.0f);
    place(*sphere, 1, 0, 0);
    const auto polygons = capture(*sphere);
    ASSERT_FALSE(polygons.empty());
    expectBounds(boundsOf(polygons), {-1, -2, -2}, {3, 2, 2});
    // The scale is the radius, not a scaling of the modelview matrix.
    for (const Vec3 &v : distinctVertices(polygons))
        ASSERT_NEAR(gap(v, {1, 0, 0}), 2.0, 2e-3);
}

TEST_F(ModelGeometryTest, EveryFaceShowsTheWholeTextureOnceUnmirroredFromOutside) {
    struct Case {
        const char *kind;
        std::unique_ptr<IModel> model;
        Vec3 min, max;
        int faces;
        Vec3 firstFace, corner; // where the texture's (0, 0) lies on that face
    };
    Case cases[] = {
        {"cube", make<CubeModel>(1.0f), {-1, -1, -1}, {1, 1, 1}, 6, {0, 0, 1}, {-1, -1, 1}},
        // At the scene's scale; the texture is still stretched over it once.
        {"plane", make<PlaneModel>(5.0f), {-5, 0, -5}, {5, 0, 5}, 1, {0, 1, 0}, {-5, 0, 5}},
    };
    for (Case &c : cases) {
        SCOPED_TRACE(c.kind);
        const auto polygons = testkit::captureTexturedPolygons([&] { c.model->draw(); });
        std::vector<Polygon> positions;
        // The texture coordinates that reach each face, by its outward normal.
        std::map<Vec3, std::set<std::pair<double, double>>> corners;
        int atCorner = 0, wrongAtCorner = 0;
        for (const testkit::TexturedPolygon &p : polygons) {
            positions.emplace_back();
            for (const testkit::TexturedVertex &v : p)
                positions.back().push_back(v.position);
            const Vec3 n = normalised(testkit::windingNormal(positions.back()));
            const Vec3 face{std::round(n[0]), std::round(n[1]), std::round(n[2])};
            // The polygon's winding in texture space must be its winding seen
            // from outside; the opposite winding is a mirrored texture.
            double textureArea = 0;
            for (std::size_t k = 0; k < p.size(); ++k) {
                const testkit::TexturedVertex &a = p[k], &b = p[(k + 1) % p.size()];
                textureArea += a.s * b.t - b.s * a.t;
            }
            EXPECT_GT(textureArea, 0.0) << "face " << face[0] << ' ' << face[1] << ' ' << face[2];
            for (const testkit::TexturedVertex &v : p) {
                corners[face].insert({std::round(v.s * 1e4) / 1e4, std::round(v.t * 1e4) / 1e4});
                if (face == c.firstFace && gap(v.position, c.corner) < 1e-3) {
                    ++atCorner;
                    wrongAtCorner += std::abs(v.s) > 1e-4 || std::abs(v.t) > 1e-4;
                }
            }
        }
        expectBounds(boundsOf(positions), c.min, c.max);
        EXPECT_EQ(corners.size(), static_cast<std::size_t>(c.faces));
        const std::set<std::pair<double, double>> whole{{0, 0}, {0, 1}, {1, 0}, {1, 1}};
        for (const auto &face : corners)
            EXPECT_EQ(face.second, whole);
        EXPECT_GT(atCorner, 0);
        EXPECT_EQ(wrongAtCorner, 0);
    }
}

TEST_F(ModelGeometryTest, RotationsApplyZThenYThenXAboutTheModelsCentre) {
    const double rx = 30, ry = 40, rz = 50;
    const Mat3 zThenYThenX = mul(mul(rotation(rx, 0), rotation(ry, 1)), rotation(rz, 2));
    const Mat3 xThenYThenZ = mul(mul(rotation(rz, 2), rotation(ry, 1)), rotation(rx, 0));

    struct Case {
        const char *kind;
        std::unique_ptr<IModel> model;
        Vec3 centre; // where the model's origin lands
    };
    Case cases[] = {
        {"cube", make<CubeModel>(2.0f), {2.0, -1.0, 1.0}}, // the position is scaled too
        {"plane", make<PlaneModel>(2.0f), {1.0, -0.5, 0.5}},
        {"sphere", make<SphereModel>(1.5f), {1.0, -0.5, 0.5}},
    };
    for (Case &c : cases) {
        SCOPED_TRACE(c.kind);
        place(*c.model, 1.0f, -0.5f, 0.5f);
        const auto unrotated = distinctVertices(capture(*c.model));
        ASSERT_FALSE(unrotated.empty());
        c.model->rotationX = static_cast<float>(rx);
        c.model->rotationY = static_cast<float>(ry);
        c.model->rotationZ = static_cast<float>(rz);
        const auto rotated = distinctVertices(capture(*c.model));

        auto turned = [&](const Mat3 &r) {
            std::vector<Vec3> out;
            for (const Vec3 &v : unrotated) {
                const Vec3 t = turn(r, v - c.centre);
                out.push_back({t[0] + c.centre[0], t[1] + c.centre[1], t[2] + c.centre[2]});
            }
            return out;
        };
        EXPECT_TRUE(sameVertexSet(turned(zThenYThenX), rotated));
        // The opposite order gives another shape, so the check above can tell.
        EXPECT_FALSE(sameVertexSet(turned(xThenYThenZ), rotated));
    }
}

TEST_F(ModelGeometryTest, SphereHasSixtyFourSlicesAndStacksAroundZ) {
    auto sphere = make<SphereModel>(1.0f);
    const auto vertices = distinctVertices(capture(*sphere));
    ASSERT_FALSE(vertices.empty());

    // Stacks run along Z: 64 stacks give 65 rings of equal z, poles included.
    std::vector<double> zs;
    for (const Vec3 &v : vertices)
        zs.push_back(v[2]);
    std::sort(zs.begin(), zs.end());
    int rings = 1;
    for (std::size_t i = 1; i < zs.size(); ++i)
        if (zs[i] - zs[i - 1] > 5e-4)
            ++rings;
    EXPECT_EQ(rings, 65);

    // The ring at the equator holds one vertex per slice.
    const auto onEquator = std::count_if(vertices.begin(), vertices.end(),
                                         [](const Vec3 &v) { return std::abs(v[2]) < 5e-4; });
    EXPECT_EQ(onEquator, 64);
}

TEST_F(ModelGeometryTest, EveryFaceWindsCounterClockwiseSeenFromOutside) {
    auto cube = make<CubeModel>(1.5f);
    place(*cube, 0.5f, 1.0f, -1.0f);
    cube->rotationX = 20;
    cube->rotationY = 35;
    const Vec3 cubeCentre{0.75, 1.5, -1.5};
    double cubeArea = 0;
    for (const Polygon &p : capture(*cube)) {
        const Vec3 outward = testkit::centroid(p) - cubeCentre;
        EXPECT_GT(dot(testkit::windingNormal(p), outward), 0.0);
        cubeArea += area(p);
    }
    EXPECT_NEAR(cubeArea, 6 * 3.0 * 3.0, 1e-2); // all six faces came through

    auto plane = make<PlaneModel>(2.0f);
    const auto planePolygons = capture(*plane);
    ASSERT_FALSE(planePolygons.empty());
    for (const Polygon &p : planePolygons)
        EXPECT_GT(testkit::windingNormal(p)[1], 0.0); // faces up

    auto sphere = make<SphereModel>(1.0f);
    int sphereFaces = 0;
    for (const Polygon &p : capture(*sphere)) {
        if (area(p) < 1e-6)
            continue; // degenerate triangles at the poles have no winding
        ++sphereFaces;
        EXPECT_GT(dot(testkit::windingNormal(p), testkit::centroid(p)), 0.0);
    }
    EXPECT_GT(sphereFaces, 64 * 62);
}

TEST_F(ModelGeometryTest, BackFaceCullingKeepsOnlyTheFacesTurnedToTheViewer) {
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    auto cube = make<CubeModel>(1.0f);
    cube->rotationX = 25;
    cube->rotationY = 40;
    const auto front = capture(*cube);
    ASSERT_FALSE(front.empty());
    for (const Polygon &p : front)
        EXPECT_GT(testkit::windingNormal(p)[2], 0.0); // the viewer looks down -Z

    // With clockwise fronts, as in the light pass, the far faces remain.
    glFrontFace(GL_CW);
    const auto back = capture(*cube);
    ASSERT_FALSE(back.empty());
    for (const Polygon &p : back)
        EXPECT_LT(testkit::windingNormal(p)[2], 0.0);
    glFrontFace(GL_CCW);

    // The plane is seen from above but culled from below.
    auto plane = make<PlaneModel>(1.0f);
    glLoadIdentity();
    glRotatef(90, 1, 0, 0); // +Y toward the viewer
    EXPECT_FALSE(capture(*plane).empty());
    glLoadIdentity();
    glRotatef(-90, 1, 0, 0); // -Y toward the viewer
    EXPECT_TRUE(capture(*plane).empty());
}

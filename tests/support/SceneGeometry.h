// Vector arithmetic for the tests' own geometry, and the scene's solids, the
// light and the camera worked out independently of the program: which ground
// points the light reaches and which pixel shows a given point.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace scenegeometry {

using Vec3 = std::array<double, 3>;

inline Vec3 operator+(const Vec3 &a, const Vec3 &b) {
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}
inline Vec3 operator-(const Vec3 &a, const Vec3 &b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
inline Vec3 operator*(double s, const Vec3 &a) {
    return {s * a[0], s * a[1], s * a[2]};
}
inline double dot(const Vec3 &a, const Vec3 &b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
inline Vec3 cross(const Vec3 &a, const Vec3 &b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
inline Vec3 normalised(const Vec3 &a) {
    return (1.0 / std::sqrt(dot(a, a))) * a;
}

constexpr double degrees = M_PI / 180.0;

// Turns a vector about the Y axis as glRotatef(angle, 0, 1, 0) does.
inline Vec3 turnY(const Vec3 &v, double angle) {
    const double c = std::cos(angle * degrees), s = std::sin(angle * degrees);
    return {c * v[0] + s * v[2], v[1], -s * v[0] + c * v[2]};
}

// The light's eye point for a light angle: (25, 50, 25) turned by -angle.
inline Vec3 lightEye(double lightAngle) {
    return turnY({25, 50, 25}, -lightAngle);
}

struct Box {
    Vec3 centre;
    double half;
    double turnDegrees; // about Y
};
struct Ball {
    Vec3 centre;
    double radius;
};

// The scene's boxes and spheres as initScene places them.
const Box boxes[2] = {{{-1, 3, -1}, 1.0, 0.0}, {{-1, 1, -1}, 1.0, 20.0}};
const Ball balls[2] = {{{1.5, 2, 0.5}, 1.0}, {{1.5, 5, 0.5}, 1.0}};

// Whether the segment from a to b passes through the box grown (or shrunk)
// by `grow` on every side.
inline bool segmentHitsBox(const Vec3 &a, const Vec3 &b, const Box &box, double grow) {
    const Vec3 la = turnY(a - box.centre, -box.turnDegrees);
    const Vec3 lb = turnY(b - box.centre, -box.turnDegrees);
    const Vec3 d = lb - la;
    double t0 = 0.0, t1 = 1.0;
    const double h = box.half + grow;
    for (int i = 0; i < 3; ++i) {
        if (std::abs(d[i]) < 1e-12) {
            if (std::abs(la[i]) > h)
                return false;
            continue;
        }
        double ta = (-h - la[i]) / d[i], tb = (h - la[i]) / d[i];
        if (ta > tb)
            std::swap(ta, tb);
        t0 = std::max(t0, ta);
        t1 = std::min(t1, tb);
        if (t0 > t1)
            return false;
    }
    return true;
}

inline bool segmentHitsBall(const Vec3 &a, const Vec3 &b, const Ball &ball, double grow) {
    const Vec3 d = b - a;
    const double t = std::clamp(dot(ball.centre - a, d) / dot(d, d), 0.0, 1.0);
    const Vec3 closest = a + t * d;
    const double r = ball.radius + grow;
    return dot(closest - ball.centre, closest - ball.centre) < r * r;
}

// Whether any box or sphere, grown by `grow`, lies across the segment. A
// point on a solid's surface passes that solid as `except`: a convex solid
// does not lie across the way from its own surface to what that surface faces.
inline bool segmentBlocked(const Vec3 &a, const Vec3 &b, double grow,
                           const void *except = nullptr) {
    for (const Box &box : boxes)
        if (&box != except && segmentHitsBox(a, b, box, grow))
            return true;
    for (const Ball &ball : balls)
        if (&ball != except && segmentHitsBall(a, b, ball, grow))
            return true;
    return false;
}

// Whether the segment from a to b passes through one of the scene's solids
// (an element of `boxes` or `balls`), grown by `grow`.
inline bool segmentHitsSolid(const Vec3 &a, const Vec3 &b, const void *solid, double grow) {
    for (const Box &box : boxes)
        if (&box == solid)
            return segmentHitsBox(a, b, box, grow);
    for (const Ball &ball : balls)
        if (&ball == solid)
            return segmentHitsBall(a, b, ball, grow);
    return false;
}

// Whether a point on a solid lies at least `margin` inside the solid's
// outline as seen from `eye`: every ray from the eye that passes `margin`
// from the point, across the line of sight, still meets the solid. Eight such
// rays around a convex solid's point bound a disc inside its outline.
inline bool insideOutline(const Vec3 &point, const Vec3 &eye, const void *solid, double margin) {
    const Vec3 sight = normalised(point - eye);
    const Vec3 u =
        normalised(cross(sight, std::abs(sight[1]) < 0.9 ? Vec3{0, 1, 0} : Vec3{1, 0, 0}));
    const Vec3 v = cross(sight, u);
    for (int k = 0; k < 8; ++k) {
        const double angle = 45 * k * degrees;
        const Vec3 beside = point + (margin * std::cos(angle)) * u + (margin * std::sin(angle)) * v;
        // Followed a little past the point, far enough to cross any solid.
        if (!segmentHitsSolid(eye, eye + 1.1 * (beside - eye), solid, 0.0))
            return false;
    }
    return true;
}

// The camera: view rotate 20 about X after translate (0, -6.5, -11);
// perspective 40 degrees, aspect width / height.
const Vec3 cameraEye{0, 6.5, 11};

struct Pixel {
    double x, y; // window coordinates, y up, pixel centres at +0.5
};

inline std::optional<Pixel> project(const Vec3 &p, int width, int height) {
    const Vec3 q = p - cameraEye;
    const double c = std::cos(20 * degrees), s = std::sin(20 * degrees);
    const double ex = q[0], ey = c * q[1] - s * q[2], ez = s * q[1] + c * q[2];
    if (ez > -1.0)
        return std::nullopt;
    const double f = 1.0 / std::tan(20 * degrees);
    const double aspect = static_cast<double>(width) / height;
    const double nx = f / aspect * ex / -ez, ny = f * ey / -ez;
    return Pixel{(nx + 1) / 2 * width, (ny + 1) / 2 * height};
}

// The world direction of the camera ray through a window position.
inline Vec3 cameraRay(double x, double y, int width, int height) {
    const double t = std::tan(20 * degrees);
    const double aspect = static_cast<double>(width) / height;
    const double ex = (2 * x / width - 1) * aspect * t, ey = (2 * y / height - 1) * t, ez = -1;
    const double c = std::cos(20 * degrees), s = std::sin(20 * degrees);
    // Undo the view's rotation about X.
    return normalised(Vec3{ex, c * ey + s * ez, -s * ey + c * ez});
}

// Whether a camera ray, followed to the far plane, meets nothing of the
// scene, every solid grown by `grow` and the ground square too.
inline bool rayMissesScene(const Vec3 &direction, double grow) {
    const Vec3 far = cameraEye + 40.0 * direction;
    if (segmentBlocked(cameraEye, far, grow))
        return false;
    if (direction[1] < 0) {
        const double t = -cameraEye[1] / direction[1];
        const Vec3 hit = cameraEye + t * direction;
        if (std::abs(hit[0]) <= 5 + grow && std::abs(hit[2]) <= 5 + grow)
            return false;
    }
    return true;
}

} // namespace scenegeometry

#version 130
// Composite pass, per vertex of the full-window quad. What depends only on the
// matrices is worked out here, four times per frame instead of once per
// pixel, and reaches the fragments as flat outputs: the values are the same
// everywhere, so nothing is interpolated per pixel.
//
// The fragments work in the light's view space, where the light sits at the
// origin and looks down -z. The light's view is a rotation and a translation,
// so distances and angles there are the world's.

uniform mat4 worldToLightViewMatrix;
uniform mat4 lightViewToProjectionMatrix;
uniform mat4 worldToCameraViewMatrix;

flat out vec3 cameraInLightView; // the camera's eye point
flat out vec4 lightProjection;
flat out vec2 depthGradientScale;

// The eye point of a view matrix: the world point that it maps to the origin.
vec3 eyePoint(mat4 view)
{
    vec3 c0 = view[0].xyz;
    vec3 c1 = view[1].xyz;
    vec3 c2 = view[2].xyz;
    vec3 t = view[3].xyz;
    vec3 r0 = cross(c1, c2);
    vec3 r1 = cross(c2, c0);
    vec3 r2 = cross(c0, c1);
    return -vec3(dot(r0, t), dot(r1, t), dot(r2, t)) / dot(c0, r0);
}

void main()
{
    vec3 camera = eyePoint(worldToCameraViewMatrix);
    cameraInLightView = (worldToLightViewMatrix * vec4(camera, 1.0)).xyz;

    // The light's perspective P maps a light-space point (x, y, -z) to the
    // shadow-map coordinates 0.5 + 0.5 * (P[0][0] x, P[1][1] y) / z and the
    // window depth 0.5 - 0.5 * P[2][2] + 0.5 * P[3][2] / z.
    mat4 p = lightViewToProjectionMatrix;
    lightProjection = vec4(0.5 * p[0][0], 0.5 * p[1][1], 0.5 - 0.5 * p[2][2], 0.5 * p[3][2]);

    // Across a plane with light-space normal n at distance d from the light,
    // whose normal makes the angle a with the direction to the light, window
    // depth changes by (P[3][2] / P[0][0], P[3][2] / P[1][1]) * n.xy /
    // (-d cos a) per unit of shadow-map coordinate. The fragments turn that
    // into texels with the shadow map's own size.
    depthGradientScale = vec2(p[3][2] / p[0][0], p[3][2] / p[1][1]);

    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_Position = ftransform();
}

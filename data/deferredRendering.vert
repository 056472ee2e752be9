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
flat out vec4 lightProjection;    // the light's perspective, in four numbers
flat out vec2 depthGradientScale; // how window depth slopes across the map

// The eye point of a view matrix: the world point that it maps to the origin.
// The view maps p to R p + t, so the eye is -R^-1 t; the rows of R^-1 are the
// cross products of R's columns over its determinant.
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

    // The shadow-map coordinates (s, t) and window depth of a point, from the
    // textbook form 0.5 + 0.5 * (P * V * p).xyz / w. In the light's view the
    // point is V * p = (x, y, z, 1), in front of the light where z < 0. The
    // light's perspective P (indexed column first) is 0 but for P[0][0],
    // P[1][1], P[2][2], P[3][2] and P[2][3] = -1, so P * V * p is
    // (P[0][0] x, P[1][1] y, P[2][2] z + P[3][2], -z), w = -z, and
    //   (s, t) = 0.5 + 0.5 * (P[0][0] x, P[1][1] y) / -z
    //   depth  = 0.5 - 0.5 * P[2][2] + 0.5 * P[3][2] / -z
    // The fragments need only 1 / -z and these four numbers.
    mat4 P = lightViewToProjectionMatrix;
    lightProjection = vec4(0.5 * P[0][0], 0.5 * P[1][1], 0.5 - 0.5 * P[2][2], 0.5 * P[3][2]);

    // On a plane through the point with light-space normal n, at distance d
    // from the light, where a is the angle between n and the direction to the
    // light, 1 / -z changes by n.xy / (-d cos a) per unit of x / -z and y / -z.
    // So window depth changes by (P[3][2] / P[0][0], P[3][2] / P[1][1]) *
    // n.xy / (-d cos a) per unit of s and t. The fragments turn that into
    // texels with the shadow map's own size.
    depthGradientScale = vec2(P[3][2] / P[0][0], P[3][2] / P[1][1]);

    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_Position = ftransform();
}

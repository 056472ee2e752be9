#version 130
#extension GL_ARB_texture_gather : enable
// Composite pass, per pixel: lights the G-buffer with one point light at the
// light's eye point and shadows it from the shadow map. All vectors are in the
// light's view space (see the vertex shader), where the light is the origin.
//
// Lighting is done in linear space with a gamma of 2: the G-buffer colour is
// decoded by squaring and the result encoded by a square root. Ambient plus
// Lambert diffuse plus a modest white Blinn-Phong highlight, seen from the
// camera's eye point.
//
// Shadows: percentage-closer filtering over a 4 x 4 block of shadow-map
// texels around the point, read with four gathers where the driver offers
// them (GL_ARB_texture_gather), else texel by texel: the same 16 texels,
// clamped to the map's edges in the same way, so both give the same picture.
// Each texel is weighted per
// axis by 1 - f, 1, 1, f, where f is the point's position between texel
// centres, so the weights add up to the area that a square three texels wide,
// centred on the point, covers of each texel. The lit fraction therefore
// changes continuously and monotonically as the point moves across a shadow
// edge, with no pattern from one pixel to the next.
//
// The shadow map holds the faces turned away from the light, so a lit surface
// never meets its own depth there, only the far side of its object, which
// lies behind it. Each texel is compared with the depth that the receiving
// surface's own plane has at that texel's centre, give or take a small bias
// that grows with the plane's slope to the light: behind the plane it lets
// the light through, in front of it it blocks the light, and level with it
// it is the bottom face of an object standing on the receiver. Ground under
// a box is hidden from the camera and tells nothing about the visible ground
// beside it, so level texels are left out and the lit fraction is taken over
// the others: the light reaches right up to the lit side of a foot, with no
// dark line, and the shadow starts right at the foot on the other side, with
// no gap. A point whose texels are all level counts as lit. Outside the
// light's frustum nothing casts a shadow.
//
// The G-buffer is read with texelFetch, one texel per pixel. While the window
// keeps the size the G-buffer was made with, the quad puts every pixel centre
// on a texel centre, where a filtered read returns that texel anyway; the
// filter would only cost its four fetches and blends per texture. After a
// resize the picture is stretched and each pixel takes its nearest texel, so
// it is lit from a point that lies on a real surface rather than from a blend
// of a foreground and a background position.
//
// Background pixels (fourth position component 1, as the G-buffer's clear
// leaves it) keep the G-buffer's colour, unlit. Everything is computed for
// every pixel without branches: a software rasterizer runs both sides of a
// branch anyway, and each operation here is paid a million times a frame.

uniform sampler2D tDiffuse;
uniform sampler2D tPosition;
uniform sampler2D tNormals;
uniform sampler2D tShadowMap;
uniform mat4 worldToLightViewMatrix;

flat in vec3 cameraInLightView;
flat in vec4 lightProjection;
flat in vec2 depthGradientScale;

const float ambient = 0.12;
const float specularStrength = 0.25;
const float constantBias = 0.00002; // window-depth units, about 0.001 world units
const float slopeBias = 0.1;        // share of the depth change across one texel
const float minimumCosine = 0.15;   // caps the slope of grazing surfaces
const float levelShare = 0.001;     // lights a point whose texels are all level

// Where in its 2 x 2 block each component of a gather lies, in texels from the
// block's lower left texel.
const vec4 gatherX = vec4(0.0, 1.0, 1.0, 0.0);
const vec4 gatherY = vec4(1.0, 1.0, 0.0, 0.0);

#ifndef GL_ARB_texture_gather
// What a gather returns without one: the 2 x 2 shadow-map texels from
// `lowerLeft` up and to the right, in the gather's order (see gatherX and
// gatherY), each clamped to the map as the sampler's edge clamping does.
vec4 texelBlock(ivec2 lowerLeft, ivec2 lastTexel)
{
    ivec2 low = clamp(lowerLeft, ivec2(0), lastTexel);
    ivec2 high = clamp(lowerLeft + 1, ivec2(0), lastTexel);
    return vec4(texelFetch(tShadowMap, ivec2(low.x, high.y), 0).r,
                texelFetch(tShadowMap, high, 0).r,
                texelFetch(tShadowMap, ivec2(high.x, low.y), 0).r,
                texelFetch(tShadowMap, low, 0).r);
}
#endif

void main()
{
    // The G-buffer texel under this pixel, read as stored: no filtering.
    ivec2 pixel = ivec2(gl_TexCoord[0].st * vec2(textureSize(tPosition, 0)));
    vec4 position = texelFetch(tPosition, pixel, 0);
    vec4 diffuse = texelFetch(tDiffuse, pixel, 0);
    vec3 normal = mat3(worldToLightViewMatrix) * texelFetch(tNormals, pixel, 0).xyz;
    vec3 point = (worldToLightViewMatrix * vec4(position.xyz, 1.0)).xyz;

    float invLightDistance = inversesqrt(dot(point, point));
    vec3 l = point * -invLightDistance;
    float nDotL = dot(normal, l);

    // Where the point lies in the shadow map, and its window depth there.
    float invZ = -1.0 / point.z;
    vec2 shadowUV = point.xy * (lightProjection.xy * invZ) + 0.5;
    float depth = lightProjection.z + lightProjection.w * invZ;

    // The point in texels, with texel centres at whole numbers: the 4 x 4
    // block runs from texel base - 1 to base + 2 on each axis, read as four
    // 2 x 2 blocks. The gathers are taken at the corner that the four middle
    // texels share, so that which texels they return does not hang on
    // rounding.
    vec2 mapSize = vec2(textureSize(tShadowMap, 0));
    vec2 texel = shadowUV * mapSize - 0.5;
    vec2 base = floor(texel);
    vec2 f = texel - base;
#ifdef GL_ARB_texture_gather
    vec2 corner = (base + 1.0) / mapSize;
    vec4 lowerLeft = textureGatherOffset(tShadowMap, corner, ivec2(-1, -1));
    vec4 lowerRight = textureGatherOffset(tShadowMap, corner, ivec2(1, -1));
    vec4 upperLeft = textureGatherOffset(tShadowMap, corner, ivec2(-1, 1));
    vec4 upperRight = textureGatherOffset(tShadowMap, corner, ivec2(1, 1));
#else
    ivec2 lastTexel = textureSize(tShadowMap, 0) - 1;
    ivec2 first = ivec2(base) - 1;
    vec4 lowerLeft = texelBlock(first, lastTexel);
    vec4 lowerRight = texelBlock(first + ivec2(2, 0), lastTexel);
    vec4 upperLeft = texelBlock(first + ivec2(0, 2), lastTexel);
    vec4 upperRight = texelBlock(first + ivec2(2, 2), lastTexel);
#endif

    // How much the receiving plane's depth changes per texel along each axis,
    // and that plane's depth at each texel of the lower left block (the other
    // blocks are one or two texels further).
    vec2 gradient = depthGradientScale / mapSize * normal.xy * invLightDistance /
                    -max(nDotL, minimumCosine);
    float bias = constantBias + slopeBias * (abs(gradient.x) + abs(gradient.y));
    vec4 plane = depth - dot(gradient, f + 1.0) + gradient.x * gatherX + gradient.y * gatherY;
    vec4 planeLowerRight = plane + 2.0 * gradient.x;
    vec4 planeUpperLeft = plane + 2.0 * gradient.y;
    vec4 planeUpperRight = planeLowerRight + 2.0 * gradient.y;

    // The weights: 1 - f on the outer left (lower) texels, f on the outer
    // right (upper) ones, 1 on the four middle columns (rows); 9 in all.
    vec4 leftColumns = vec4(1.0 - f.x, 1.0, 1.0, 1.0 - f.x);
    vec4 rightColumns = vec4(1.0, f.x, f.x, 1.0);
    vec4 lowerRows = vec4(1.0, 1.0, 1.0 - f.y, 1.0 - f.y);
    vec4 upperRows = vec4(f.y, f.y, 1.0, 1.0);
    vec4 weightLowerLeft = leftColumns * lowerRows;
    vec4 weightLowerRight = rightColumns * lowerRows;
    vec4 weightUpperLeft = leftColumns * upperRows;
    vec4 weightUpperRight = rightColumns * upperRows;

    // The weight of the texels that lie behind the plane (light) and of those
    // in front of it (blockers); texels level with it count as neither. Each
    // texel's height over the plane is worked out once and compared with the
    // bias both ways.
    vec4 dLowerLeft = lowerLeft - plane;
    vec4 dLowerRight = lowerRight - planeLowerRight;
    vec4 dUpperLeft = upperLeft - planeUpperLeft;
    vec4 dUpperRight = upperRight - planeUpperRight;
    float litWeight = dot(step(bias, dLowerLeft), weightLowerLeft) +
                      dot(step(bias, dLowerRight), weightLowerRight) +
                      dot(step(bias, dUpperLeft), weightUpperLeft) +
                      dot(step(bias, dUpperRight), weightUpperRight);
    float blockedWeight = dot(step(bias, -dLowerLeft), weightLowerLeft) +
                          dot(step(bias, -dLowerRight), weightLowerRight) +
                          dot(step(bias, -dUpperLeft), weightUpperLeft) +
                          dot(step(bias, -dUpperRight), weightUpperRight);
    float lit = (litWeight + levelShare) / (litWeight + blockedWeight + levelShare);
    vec2 fromCentre = abs(shadowUV - 0.5);
    lit = max(lit, step(0.5, max(fromCentre.x, fromCentre.y)));

    // Blinn-Phong with exponent 32: the squared cosine between the normal and
    // the half vector, to the 16th power. Nothing shines where the light does
    // not reach.
    vec3 h = l + normalize(cameraInLightView - point);
    float nDotH = max(dot(normal, h), 0.0);
    float specular = nDotH * nDotH / dot(h, h) * step(0.0, nDotL);
    specular *= specular; // ^4
    specular *= specular; // ^8
    specular *= specular; // ^16
    specular *= specular; // ^32

    // Background pixels get a light of exactly 1 and no highlight, so they
    // come out as the G-buffer's colour.
    float light = mix(ambient + lit * max(nDotL, 0.0), 1.0, position.w);
    float highlight = (1.0 - position.w) * lit * specularStrength * specular;
    gl_FragColor = vec4(sqrt(diffuse.rgb * diffuse.rgb * light + highlight), 1.0);
}

#version 130
#extension GL_ARB_texture_gather : enable
// Composite pass, per pixel: lights the G-buffer with one point light and
// shadows it from the shadow map. main() reads as the steps of the pass:
//   1. read this pixel's G-buffer texels;
//   2. find the point in the light's view, where the light is the origin;
//   3. find where it falls in the shadow map, and at what window depth;
//   4. take the lit fraction from the 4 x 4 shadow-map texels around it;
//   5. light it (ambient, diffuse, highlight) and write the colour.
// Each function below says why it is done its way; docs/how-it-works.md
// tells the whole story, with the vertex shader's part.
//
// Everything is computed for every pixel without branches: a software
// rasterizer runs both sides of a branch anyway, and each operation here is
// paid a million times a frame. Where the code makes a choice with step() or
// mix(), the value it chooses by is named for the question it answers:
// mix(a, b, isBackground) reads "isBackground ? b : a".

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

// A value per texel of the 4 x 4 shadow-map block around the point is kept in
// a mat4 whose columns are its four 2 x 2 blocks (lower left, lower right,
// upper left, upper right), each holding its texels in the gather's order.

// This pixel's G-buffer texels, read as stored: no filtering.
struct GBufferTexel {
    vec3 diffuse;  // the surface's colour
    vec4 position; // world point; w is 1 where no model was drawn (the clear)
    vec3 normal;   // world unit normal
};

// The G-buffer texels under this pixel, read with texelFetch: one texel, no
// filter, so the point lies on a real surface or is the background, never a
// blend of the two.
GBufferTexel readGBuffer()
{
    // At the size the G-buffer was made with, every pixel centre lies on a
    // texel centre, where a filtered read would return the same texel for
    // four fetches and blends. After a resize each pixel takes its nearest
    // texel.
    ivec2 pixel = ivec2(gl_TexCoord[0].st * vec2(textureSize(tPosition, 0)));
    return GBufferTexel(texelFetch(tDiffuse, pixel, 0).rgb, texelFetch(tPosition, pixel, 0),
                        texelFetch(tNormals, pixel, 0).xyz);
}

// The point as the light sees it, in the light's view space.
struct LightViewPoint {
    vec3 position;
    vec3 normal;
    vec3 toLight;           // unit vector from the point to the light
    float invLightDistance; // 1 / the point's distance from the light
    float nDotL;            // cosine between the normal and toLight
};

// The G-buffer's world point and normal in the light's view space, where the
// light is the origin and looks down -z, with the direction to the light.
LightViewPoint pointInLightView(GBufferTexel texel)
{
    // The light's view is a rotation and a translation, so distances and
    // angles there are the world's, and its upper 3 x 3 turns the normal.
    vec3 point = (worldToLightViewMatrix * vec4(texel.position.xyz, 1.0)).xyz;
    vec3 normal = mat3(worldToLightViewMatrix) * texel.normal;
    float invLightDistance = inversesqrt(dot(point, point));
    vec3 toLight = point * -invLightDistance;
    return LightViewPoint(point, normal, toLight, invLightDistance, dot(normal, toLight));
}

// Where the point falls in the shadow map, (s, t) from 0 to 1 across it in x
// and y, and its window depth there in z, as the light pass drew it. The
// vertex shader derives this form of the light's projection.
vec3 shadowMapCoordinates(vec3 point)
{
    float invZ = -1.0 / point.z;
    return vec3(point.xy * (lightProjection.xy * invZ) + 0.5,
                lightProjection.z + lightProjection.w * invZ);
}

// How much the window depth of the plane through the point changes per
// shadow-map texel along each axis, steepest where the light grazes it.
vec2 receiverDepthGradient(LightViewPoint p, vec2 mapSize)
{
    // The vertex shader's depthGradientScale over the point's distance and
    // the cosine to the light; minimumCosine keeps the cosine from 0.
    return depthGradientScale / mapSize * p.normal.xy * p.invLightDistance /
           -max(p.nDotL, minimumCosine);
}

#ifndef GL_ARB_texture_gather
// What a gather returns without one: the 2 x 2 shadow-map texels from `first`
// up and to the right, in the gather's order, each clamped to the map as the
// sampler's edge clamping does.
vec4 texelBlock(ivec2 first, ivec2 lastTexel)
{
    ivec2 low = clamp(first, ivec2(0), lastTexel);
    ivec2 high = clamp(first + 1, ivec2(0), lastTexel);
    return vec4(texelFetch(tShadowMap, ivec2(low.x, high.y), 0).r,
                texelFetch(tShadowMap, high, 0).r,
                texelFetch(tShadowMap, ivec2(high.x, low.y), 0).r,
                texelFetch(tShadowMap, low, 0).r);
}
#endif

// The stored depths of the 4 x 4 texels from base - 1 to base + 2 on each
// axis: four gathers where the driver offers them (GL_ARB_texture_gather),
// else the same 16 texels one by one, so both give the same picture.
mat4 shadowMapTexels(vec2 base, vec2 mapSize)
{
#ifdef GL_ARB_texture_gather
    // Taken at the corner that the four middle texels share, so that which
    // texels the gathers return does not hang on rounding.
    vec2 corner = (base + 1.0) / mapSize;
    return mat4(textureGatherOffset(tShadowMap, corner, ivec2(-1, -1)),
                textureGatherOffset(tShadowMap, corner, ivec2(1, -1)),
                textureGatherOffset(tShadowMap, corner, ivec2(-1, 1)),
                textureGatherOffset(tShadowMap, corner, ivec2(1, 1)));
#else
    ivec2 lastTexel = ivec2(mapSize) - 1;
    ivec2 first = ivec2(base) - 1;
    return mat4(texelBlock(first, lastTexel), texelBlock(first + ivec2(2, 0), lastTexel),
                texelBlock(first + ivec2(0, 2), lastTexel),
                texelBlock(first + ivec2(2, 2), lastTexel));
#endif
}

// The window depth that the receiving surface's own plane has at each
// texel's centre: what a texel is compared with, so a sloped surface does
// not shadow itself.
mat4 receiverPlaneDepth(float depth, vec2 gradient, vec2 f)
{
    // The point lies at base + f, so the lower left texel, base - 1, lies
    // f + 1 texels before it on each axis; the other blocks two texels on.
    vec4 plane = depth - dot(gradient, f + 1.0) + gradient.x * gatherX + gradient.y * gatherY;
    vec4 planeLowerRight = plane + 2.0 * gradient.x;
    return mat4(plane, planeLowerRight, plane + 2.0 * gradient.y,
                planeLowerRight + 2.0 * gradient.y);
}

// Each texel's weight: the area that a square three texels wide, centred on
// the point, covers of it, so the lit fraction changes continuously and
// monotonically across a shadow edge, with no pattern from pixel to pixel.
mat4 filterWeights(vec2 f)
{
    // Along each axis 1 - f on the outer left (lower) texel, f on the outer
    // right (upper) one and 1 on the two middle columns (rows); 9 in all.
    vec4 leftColumns = vec4(1.0 - f.x, 1.0, 1.0, 1.0 - f.x);
    vec4 rightColumns = vec4(1.0, f.x, f.x, 1.0);
    vec4 lowerRows = vec4(1.0, 1.0, 1.0 - f.y, 1.0 - f.y);
    vec4 upperRows = vec4(f.y, f.y, 1.0, 1.0);
    return mat4(leftColumns * lowerRows, rightColumns * lowerRows, leftColumns * upperRows,
                rightColumns * upperRows);
}

// The share of the light that reaches the point, 0 to 1: percentage-closer
// filtering of the 4 x 4 texels around it against the receiving plane, which
// leaves out the texels level with the plane.
float litFraction(vec3 shadowCoord, LightViewPoint p)
{
    // The point in texels, with texel centres at whole numbers.
    vec2 mapSize = vec2(textureSize(tShadowMap, 0));
    vec2 texel = shadowCoord.xy * mapSize - 0.5;
    vec2 base = floor(texel);
    vec2 f = texel - base;
    vec2 gradient = receiverDepthGradient(p, mapSize);
    float bias = constantBias + slopeBias * (abs(gradient.x) + abs(gradient.y));

    // The shadow map holds the faces turned away from the light, so a lit
    // surface never meets its own depth there. A texel more than the bias
    // behind the plane lets the light through, one in front of it blocks the
    // light, and one level with it is the bottom face of an object standing
    // on the receiver. Ground under a box is hidden from the camera and says
    // nothing about the ground beside it, so level texels count as neither:
    // the light reaches right up to the lit side of a foot, and the shadow
    // starts right at the other side.
    mat4 stored = shadowMapTexels(base, mapSize);
    mat4 depthBehindPlane = stored - receiverPlaneDepth(shadowCoord.z, gradient, f);
    mat4 weight = filterWeights(f);
    float litWeight = 0.0, blockedWeight = 0.0;
    for (int block = 0; block < 4; ++block) {
        vec4 behindPlane = step(bias, depthBehindPlane[block]);
        vec4 inFrontOfPlane = step(bias, -depthBehindPlane[block]);
        litWeight += dot(behindPlane, weight[block]);
        blockedWeight += dot(inFrontOfPlane, weight[block]);
    }
    // A point whose texels are all level counts as lit, and outside the
    // shadow map nothing casts a shadow.
    float lit = (litWeight + levelShare) / (litWeight + blockedWeight + levelShare);
    vec2 fromCentre = abs(shadowCoord.xy - 0.5);
    float outsideShadowMap = step(0.5, max(fromCentre.x, fromCentre.y));
    return max(lit, outsideShadowMap);
}

// The pixel's colour: ambient plus Lambert diffuse plus a modest white
// Blinn-Phong highlight seen from the camera, in linear space with a gamma of
// 2; the background keeps the G-buffer's colour, unlit.
vec3 shade(vec3 diffuse, LightViewPoint p, float lit, float isBackground)
{
    // Exponent 32: the squared cosine between the normal and the half vector,
    // to the 16th power. Nothing shines where the light does not reach.
    vec3 h = p.toLight + normalize(cameraInLightView - p.position);
    float nDotH = max(dot(p.normal, h), 0.0);
    float facesLight = step(0.0, p.nDotL);
    float specular = nDotH * nDotH / dot(h, h) * facesLight;
    specular *= specular; // ^4
    specular *= specular; // ^8
    specular *= specular; // ^16
    specular *= specular; // ^32

    // The G-buffer colour is decoded by squaring and the result encoded by a
    // square root. The background gets a light of exactly 1 and no highlight.
    float light = mix(ambient + lit * max(p.nDotL, 0.0), 1.0, isBackground);
    float highlight = (1.0 - isBackground) * lit * specularStrength * specular;
    return sqrt(diffuse * diffuse * light + highlight);
}

void main()
{
    GBufferTexel gBuffer = readGBuffer();
    float isBackground = gBuffer.position.w;
    LightViewPoint p = pointInLightView(gBuffer);
    vec3 shadowCoord = shadowMapCoordinates(p.position);
    float lit = litFraction(shadowCoord, p);
    gl_FragColor = vec4(shade(gBuffer.diffuse, p, lit, isBackground), 1.0);
}

#version 120
// Composite pass, per pixel: lights the G-buffer with one point light at the
// light's eye point and shadows it from the shadow map. All vectors are in the
// light's view space (see the vertex shader), where the light is the origin.
//
// Lighting is done in linear space with a gamma of 2: the G-buffer colour is
// decoded by squaring and the result encoded by a square root. Ambient plus
// Lambert diffuse plus a modest white Blinn-Phong highlight, seen from the
// camera's eye point.
//
// Shadows: percentage-closer filtering over two taps, 1.5 texels either side
// of the pixel along a direction that alternates between neighbouring pixels
// in a checkerboard, so each pair of pixels shares four taps spread over three
// texels. The shadow map holds the faces turned away from the light, so a lit
// surface never meets its own depth there, only the far side of its object,
// which lies behind it. A tap counts as lit only if the stored depth lies
// behind the depth that the receiving surface's own plane has at that tap by
// more than a small bias, which grows with the surface's slope to the light.
// A depth equal to the receiver's therefore shadows it: the ground under a
// box, level with the box's bottom face, stays dark, and a shadow starts right
// at the foot of the object that casts it. Outside the light's frustum nothing
// casts a shadow.
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

varying vec3 cameraInLightView;
varying vec4 lightProjection;
varying vec2 depthGradientScale;

const float shadowTexel = 1.0 / 1024.0;
const float ambient = 0.12;
const float specularStrength = 0.25;
const float constantBias = 0.00002; // window-depth units, about 0.001 world units
const float slopeBias = 0.05;       // share of the depth change across one tap
const float minimumCosine = 0.15;   // caps the slope of grazing surfaces
const vec2 tapOnEven = vec2(-1.5, -0.5);
const vec2 tapChange = 2.0 * (vec2(0.5, -1.5) - tapOnEven); // to the odd pixels' tap

void main()
{
    vec2 uv = gl_TexCoord[0].st;
    vec4 position = texture2D(tPosition, uv);
    vec4 diffuse = texture2D(tDiffuse, uv);
    vec3 normal = mat3(worldToLightViewMatrix) * texture2D(tNormals, uv).xyz;
    vec3 point = (worldToLightViewMatrix * vec4(position.xyz, 1.0)).xyz;

    float invLightDistance = inversesqrt(dot(point, point));
    vec3 l = point * -invLightDistance;
    float nDotL = dot(normal, l);

    // Where the point lies in the shadow map, and its window depth there.
    float invZ = -1.0 / point.z;
    vec2 shadowUV = point.xy * (lightProjection.xy * invZ) + 0.5;
    float depth = lightProjection.z + lightProjection.w * invZ;

    // The tap offset in texels (the other tap mirrors it), and how much the
    // receiving plane's depth changes from the pixel to the tap.
    vec2 tap = tapOnEven + fract(dot(gl_FragCoord.xy, vec2(0.5))) * tapChange;
    float slope = dot(depthGradientScale * normal.xy, tap) * invLightDistance /
                  -max(nDotL, minimumCosine);
    float reference = depth + constantBias + slopeBias * abs(slope);
    tap *= shadowTexel;
    float lit = 0.5 * (step(reference + slope, texture2D(tShadowMap, shadowUV + tap).r) +
                       step(reference - slope, texture2D(tShadowMap, shadowUV - tap).r));
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

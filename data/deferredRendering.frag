#version 120
// Composite pass, per pixel: lights the G-buffer with one point light at the
// light's eye point and shadows it from the shadow map.
//
// Lighting is done in linear space: the diffuse colour is decoded with a
// gamma of 2 (squared) and the result encoded again with a square root.
// Ambient plus Lambert diffuse plus a modest Blinn-Phong highlight, seen from
// the camera's eye point.
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

varying vec3 lightPosition;
varying vec3 cameraPosition;
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
    vec3 normal = texture2D(tNormals, uv).xyz;

    vec3 toLight = lightPosition - position.xyz;
    float invLightDistance = inversesqrt(dot(toLight, toLight));
    vec3 l = toLight * invLightDistance;
    float nDotL = dot(normal, l);

    // Where the point lies in the shadow map, and its window depth there.
    vec3 lightView = (worldToLightViewMatrix * vec4(position.xyz, 1.0)).xyz;
    float invZ = -1.0 / lightView.z;
    vec2 shadowUV = lightView.xy * (lightProjection.xy * invZ) + 0.5;
    float depth = lightProjection.z + lightProjection.w * invZ;

    // The tap offset in texels (the other tap mirrors it), and how much the
    // receiving plane's depth changes from the pixel to the tap.
    vec2 tap = tapOnEven + fract(dot(gl_FragCoord.xy, vec2(0.5))) * tapChange;
    vec2 lightNormal = (mat3(worldToLightViewMatrix) * normal).xy;
    float slope = dot(depthGradientScale * lightNormal, tap) * invLightDistance /
                  -max(nDotL, minimumCosine);
    float reference = depth + constantBias + slopeBias * abs(slope);
    tap *= shadowTexel;
    float lit = 0.5 * (step(reference + slope, texture2D(tShadowMap, shadowUV + tap).r) +
                       step(reference - slope, texture2D(tShadowMap, shadowUV - tap).r));
    vec2 fromCentre = abs(shadowUV - 0.5);
    lit = max(lit, step(0.5, max(fromCentre.x, fromCentre.y)));

    vec3 v = normalize(cameraPosition - position.xyz);
    vec3 h = l + v;
    float specular = max(dot(normal, h), 0.0) * inversesqrt(dot(h, h));
    specular *= specular; // ^2
    specular *= specular; // ^4
    specular *= specular; // ^8
    specular *= specular; // ^16
    specular *= specular; // ^32

    vec3 albedo = diffuse.rgb * diffuse.rgb;
    vec3 colour = albedo * (ambient + lit * max(nDotL, 0.0)) + lit * specularStrength * specular;
    gl_FragColor = vec4(mix(sqrt(colour), diffuse.rgb, position.w), 1.0);
}

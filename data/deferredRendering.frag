#version 120
// Composite pass, per pixel: lights the G-buffer with one point light at the
// light's eye point, with shadows from the shadow map.
//
// Lighting is done in linear space: the diffuse colour is decoded with a
// gamma of 2 (squared) and the result encoded again with a square root.
// Ambient plus Lambert diffuse plus a modest Blinn-Phong highlight.
//
// Shadows: four taps on a rotated grid about 3 texels across (percentage-
// closer filtering). The shadow map holds the faces turned away from the
// light, so a lit surface never meets its own depth there, only the far side
// of its object, which lies behind it. A point is lit at a tap only if the
// stored depth lies behind the depth that the receiving surface's own plane
// has at that tap by more than a small bias that grows with the surface's
// slope to the light. A depth equal to the receiver's therefore shadows it:
// the ground under a box, level with the box's bottom face, stays dark, and
// shadows start right at an object's foot.
//
// Background pixels (fourth position component 1, as the clear leaves it)
// keep the G-buffer's colour, unlit.

uniform sampler2D tDiffuse;
uniform sampler2D tPosition;
uniform sampler2D tNormals;
uniform sampler2D tShadowMap;
uniform mat4 worldToLightViewMatrix;
uniform mat4 lightViewToProjectionMatrix;

varying vec3 lightPosition;
varying vec3 cameraPosition;
varying vec2 depthGradientScale;

const float shadowTexel = 1.0 / 1024.0;
const float ambient = 0.12;
const float specularStrength = 0.25;
const float constantBias = 0.00002;
const float slopeBiasTexels = 0.05;
const float minimumCosine = 0.15;

void main()
{
    vec2 uv = gl_TexCoord[0].st;
    vec4 position = texture2D(tPosition, uv);
    vec4 diffuse = texture2D(tDiffuse, uv);
    if (position.w > 0.5) {
        gl_FragColor = vec4(diffuse.rgb, 1.0);
        return;
    }
    vec3 normal = texture2D(tNormals, uv).xyz;
    vec3 albedo = diffuse.rgb * diffuse.rgb;

    vec3 toLight = lightPosition - position.xyz;
    float lightDistance = length(toLight);
    vec3 l = toLight / lightDistance;
    float nDotL = dot(normal, l);
    vec3 colour = ambient * albedo;

    if (nDotL > 0.0) {
        vec4 lightView = worldToLightViewMatrix * vec4(position.xyz, 1.0);
        vec4 lightClip = lightViewToProjectionMatrix * lightView;
        vec3 shadowCoord = lightClip.xyz / lightClip.w * 0.5 + 0.5;

        // Depth change of the receiving plane per unit of texture coordinate.
        vec2 lightNormal = (mat3(worldToLightViewMatrix) * normal).xy;
        vec2 gradient = depthGradientScale * lightNormal /
                        (-lightDistance * max(nDotL, minimumCosine));
        vec2 texelStep = gradient * shadowTexel;
        float reference = shadowCoord.z + constantBias +
                          slopeBiasTexels * (abs(texelStep.x) + abs(texelStep.y));

        vec4 tapDepth = vec4(
            texture2D(tShadowMap, shadowCoord.xy + vec2(-1.5, -0.5) * shadowTexel).r,
            texture2D(tShadowMap, shadowCoord.xy + vec2(0.5, -1.5) * shadowTexel).r,
            texture2D(tShadowMap, shadowCoord.xy + vec2(1.5, 0.5) * shadowTexel).r,
            texture2D(tShadowMap, shadowCoord.xy + vec2(-0.5, 1.5) * shadowTexel).r);
        vec4 tapReference = reference + vec4(dot(texelStep, vec2(-1.5, -0.5)),
                                             dot(texelStep, vec2(0.5, -1.5)),
                                             dot(texelStep, vec2(1.5, 0.5)),
                                             dot(texelStep, vec2(-0.5, 1.5)));
        float lit = dot(step(tapReference, tapDepth), vec4(0.25));

        // Outside the light's frustum nothing casts a shadow.
        vec3 outside = step(1.0, shadowCoord) + step(shadowCoord, vec3(0.0));
        lit = max(lit, min(outside.x + outside.y + outside.z, 1.0));

        vec3 v = normalize(cameraPosition - position.xyz);
        vec3 h = normalize(l + v);
        float specular = max(dot(normal, h), 0.0);
        specular *= specular; // ^2
        specular *= specular; // ^4
        specular *= specular; // ^8
        specular *= specular; // ^16
        specular *= specular; // ^32
        colour += lit * (nDotL * albedo + specularStrength * specular);
    }
    gl_FragColor = vec4(sqrt(colour), 1.0);
}

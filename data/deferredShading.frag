#version 120
// G-buffer pass, per fragment: diffuse colour, world-space position and
// world-space unit normal into draw buffers 0, 1 and 2.
//
// Position and normal carry 0 in their fourth component. The G-buffer's clear
// writes 1 there, so the composite can tell drawn surfaces from background.

uniform sampler2D tDiffuse;

varying vec3 worldPosition;
varying vec3 worldNormal;

void main()
{
    gl_FragData[0] = vec4(texture2D(tDiffuse, gl_TexCoord[0].st).rgb, 1.0);
    gl_FragData[1] = vec4(worldPosition, 0.0);
    gl_FragData[2] = vec4(normalize(worldNormal), 0.0);
}

#version 120
// Floor composite: the least any composite must do. It reads each of the four
// textures once and writes the diffuse colour. The other three reads go into
// alpha, which the window does not keep, so the compiler cannot drop them.

uniform sampler2D tDiffuse;
uniform sampler2D tPosition;
uniform sampler2D tNormals;
uniform sampler2D tShadowMap;

void main()
{
    vec2 uv = gl_TexCoord[0].st;
    vec4 diffuse = texture2D(tDiffuse, uv);
    float others = texture2D(tPosition, uv).w + texture2D(tNormals, uv).w +
                   texture2D(tShadowMap, uv).r;
    gl_FragColor = vec4(diffuse.rgb, others);
}

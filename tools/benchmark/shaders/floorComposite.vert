#version 120
// Floor composite, per vertex: the same full-window quad as the real one.

void main()
{
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_Position = ftransform();
}

#version 120
// G-buffer pass, per vertex: passes on the texture coordinate and the
// world-space position and normal.
//
// WorldMatrix is the view of the pass in progress (world to eye), taken
// before the model's own transforms, while gl_ModelViewMatrix is that view
// times the model's transforms. Undoing the view on the eye-space position
// gives the world-space position, whatever scale, rotation and translation the
// model applies. The view is inverted as a general affine matrix.

uniform mat4 WorldMatrix;

varying vec3 worldPosition;
varying vec3 worldNormal;

void main()
{
    vec3 c0 = WorldMatrix[0].xyz;
    vec3 c1 = WorldMatrix[1].xyz;
    vec3 c2 = WorldMatrix[2].xyz;
    // Rows of the inverse of the 3x3 part, times its determinant.
    vec3 r0 = cross(c1, c2);
    vec3 r1 = cross(c2, c0);
    vec3 r2 = cross(c0, c1);
    float invDet = 1.0 / dot(c0, r0);

    vec4 eye = gl_ModelViewMatrix * gl_Vertex;
    vec3 fromOrigin = eye.xyz / eye.w - WorldMatrix[3].xyz;
    worldPosition = vec3(dot(r0, fromOrigin), dot(r1, fromOrigin), dot(r2, fromOrigin)) * invDet;

    // Normals go by the inverse transpose of the model transform, which is
    // the transpose of the view times the inverse transpose of the modelview.
    worldNormal = transpose(mat3(c0, c1, c2)) * (gl_NormalMatrix * gl_Normal);

    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_Position = ftransform();
}

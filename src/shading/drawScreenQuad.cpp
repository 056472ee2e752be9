#include "shading/drawScreenQuad.h"

void drawScreenQuad(GLuint texture, float screenWidth, float screenHeight, float quadWidth,
                    float quadHeight, float x, float y) {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, screenWidth, 0.0, screenHeight, 0.1f, 2.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();

    glActiveTextureARB(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);

    // OpenGL counts y upwards from the bottom; the caller counts from the top.
    glLoadIdentity();
    glTranslatef(x, (screenHeight - y) - quadHeight, -1.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(0.0f, quadHeight, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(quadWidth, 0.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(quadWidth, quadHeight, 0.0f);
    glEnd();
    glBindTexture(GL_TEXTURE_2D, 0);

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

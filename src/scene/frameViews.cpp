#include "scene/frameViews.h"

#include "platform/opengl.h"

void loadLightProjectionAndView(float lightAngle) {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(20.0, 1.0, 40.0, 70.0);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(55.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(-45.0f, 0.0f, 1.0f, 0.0f);
    glTranslatef(-25.0f, -50.0f, -25.0f);
    glRotatef(lightAngle, 0.0f, 1.0f, 0.0f);
}

void loadCameraView() {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(20.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, -6.5f, -11.0f);
}

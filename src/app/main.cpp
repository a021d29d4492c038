// Grazewell: feed the bison.
#include "app/app.h"
#include "input/input.h"

#include <GL/freeglut.h>
#include <cstdio>

int main(int argc, char **argv) {
    // The console is the game's log: a watcher sees each line the moment it is printed.
    setvbuf(stdout, nullptr, _IONBF, 0);
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(windowWidth, windowHeight);
    glutCreateWindow("Grazewell");
    glutReshapeFunc(onReshape);
    glutDisplayFunc(onDisplay);
    glutKeyboardFunc(onKeyDown);
    glutKeyboardUpFunc(onKeyUp);
    glutSpecialFunc(onSpecialDown);
    glutSpecialUpFunc(onSpecialUp);
    glutMouseFunc(onMouse);
    glutIdleFunc(glutPostRedisplay);
    initWorld();
    glutMainLoop();
    return 0;
}

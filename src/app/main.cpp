// Grazewell: feed the bison.
#include "app/app.h"
#include "app/options.h"
#include "app/pacing.h"
#include "assets/assets.h"
#include "input/input.h"
#include "platform/platform.h"
#include "sound/sound.h"

#include <GL/freeglut.h>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
    // The console is the game's log: a watcher sees each line the moment it is printed.
    setUpStandardOutput();
    // Help, the version and a wrong option need no display, so they come before GLUT.
    CommandLine command = parseCommandLine(argc, argv);
    switch (command.action) {
    case COMMAND_HELP:
        fputs(helpText(), stdout);
        return 0;
    case COMMAND_VERSION:
        printf("grazewell %s\n", GRAZEWELL_VERSION);
        return 0;
    case COMMAND_ERROR:
        fprintf(stderr, "grazewell: %s\nTry 'grazewell --help' for the options and keys.\n",
                command.error.c_str());
        return 2;
    case COMMAND_PLAY:
        break;
    }
    frameRateCap = command.fps;
    chooseDataFolders();

    // The size is set before glutInit so that a -geometry among GLUT's options overrides it.
    glutInitWindowSize(windowWidth, windowHeight);
    int glutArgc = int(command.glutArguments.size()) - 1;
    glutInit(&glutArgc, command.glutArguments.data());
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutCreateWindow("Grazewell");
    glutReshapeFunc(onReshape);
    glutDisplayFunc(onDisplay);
    glutKeyboardFunc(onKeyDown);
    glutKeyboardUpFunc(onKeyUp);
    glutSpecialFunc(onSpecialDown);
    glutSpecialUpFunc(onSpecialUp);
    glutMouseFunc(onMouse);
    glutWindowStatusFunc(onWindowStatus);
    glutIdleFunc(gameIdle());
    initWorld();
    initSound(command.mute);
    // Escape ends the game with exit: the device is closed then, so what it played is complete.
    atexit(closeSound);
    glutMainLoop();
    return 0;
}

// Grazewell: feed the bison.
#include "app/app.h"
#include "app/keeping.h"
#include "app/loop.h"
#include "app/options.h"
#include "app/pacing.h"
#include "app/player.h"
#include "app/replay.h"
#include "bison/bison.h"
#include "capture/capture.h"
#include "game.h"
#include "hud/font.h"
#include "assets/assets.h"
#include "input/input.h"
#include "platform/platform.h"
#include "sound/sound.h"

#include <GL/freeglut.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

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
    case COMMAND_GAMES:
        return printKeptGames();
    case COMMAND_RECORD_OF_GAMES:
        return printRecordOfGames();
    case COMMAND_PLAY:
    case COMMAND_KEYS:
        break;
    }
    // The player's settings, under the command line's: what it says wins for this game alone.
    if (!command.noSettings) {
        settingsPath =
            command.settings.empty() ? settingsFileIn(settingsFolder()) : command.settings;
        settingsWritable = loadSettings(settingsPath, savedSettings);
    }
    if (command.action == COMMAND_KEYS) {
        fputs(bindingsText(savedSettings.keys).c_str(), stdout);
        return 0;
    }
    Settings playing = savedSettings;
    if (command.fpsGiven) playing.fps = command.fps;
    if (command.mute) playing.muted = true;
    playing.captions = playing.captions || command.captions;
    playing.crosshair = playing.crosshair || command.crosshair;
    playing.bisonMarker = playing.bisonMarker || command.bisonMarker;
    if (command.gameSpeed > 0) playing.gameSpeed = command.gameSpeed;
    windowWidth = playing.width;
    windowHeight = playing.height;
    // A recording to play or to write is read or made before any window opens, so that a bad one
    // is refused at once.
    Demo demo;
    std::string reason;
    bool playsDemo = !command.replay.empty();
    if (playsDemo && !recordingToPlay(command.replay, &command.replay, &reason)) {
        fprintf(stderr, "grazewell: %s\n", reason.c_str());
        return 2;
    }
    if (playsDemo && !readDemo(command.replay.c_str(), demo, &reason)) {
        fprintf(stderr, "grazewell: %s: %s\n", command.replay.c_str(), reason.c_str());
        return 2;
    }
    if (playsDemo) armReplayCrashLine(command.replay, command.timedemo);
    uint32_t seed = command.seedGiven ? command.seed : uint32_t(time(nullptr));
    if (!playsDemo) {
        DemoHeader header;
        header.gameVersion = GRAZEWELL_VERSION;
        header.seed = seed;
        header.width = windowWidth;
        header.height = windowHeight;
        header.fps = playing.fps;
        header.platform = platformName();
        header.speed = playing.gameSpeed;
        // --record's file, or the game kept in the games folder.
        if (!startLiveGame(command, header, &reason)) {
            fprintf(stderr, "grazewell: %s: %s\n", command.record.c_str(), reason.c_str());
            return 2;
        }
    }
    if (playsDemo) {
        windowWidth = demo.header.width;
        windowHeight = demo.header.height;
    }
    chooseDataFolders();

    // The size and place are set before glutInit so that a -geometry among GLUT's options
    // overrides them.
    glutInitWindowSize(windowWidth, windowHeight);
    // A window opening full screen is put in its place when it leaves it (player.h): placed now,
    // a screen without a window manager would shift the full screen by it.
    if (!playsDemo && !playing.fullScreen && playing.x >= 0 && playing.y >= 0)
        glutInitWindowPosition(playing.x, playing.y);
    int glutArgc = int(command.glutArguments.size()) - 1;
    prepareWindowThreads(); // the selection warm-up's thread reaches the window system too
    glutInit(&glutArgc, command.glutArguments.data());
    // No window larger than the screen, whatever size a recording or the settings ask for: the
    // game still sees the size asked, and a capture reads no more than the window drawn.
    int screenWidth = glutGet(GLUT_SCREEN_WIDTH), screenHeight = glutGet(GLUT_SCREEN_HEIGHT);
    if ((screenWidth > 0 && windowWidth > screenWidth) ||
        (screenHeight > 0 && windowHeight > screenHeight))
        glutInitWindowSize(screenWidth > 0 ? std::min(windowWidth, screenWidth) : windowWidth,
                           screenHeight > 0 ? std::min(windowHeight, screenHeight) : windowHeight);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutCreateWindow("Grazewell");
    // Each frame waits for the display's refresh where the GL can and the player wants it; a
    // timedemo draws as fast as it can. Where the display paces the drawing, only --fps caps it.
    bool vsync = !command.timedemo && (command.vsync >= 0 ? command.vsync == 1 : playing.vsync);
    displayPaced = askSwapInterval(vsync ? 1 : 0) && vsync;
    if (command.timedemo)
        capFrameRate(0);
    else
        capFrameRate(drawingCap(command.fpsGiven, command.fps,
                                playsDemo ? demo.header.fps : playing.fps, displayPaced));
    // A key held is one press and one release: the keyboard's auto-repeat reaches the game as
    // nothing (held keys act every tick while down anyway). Where X sends repeats as presses
    // alone, a press of a key already down is passed over as it comes (player.h); freeglut's own
    // test is not asked for then, since it takes a release read after the key went down again
    // for a repeat, and drops both: a key let go and pressed again within one frame was lost.
    if (!keepHeldKeysHeld()) glutIgnoreKeyRepeat(1);
    drawableWidth = glutGet(GLUT_WINDOW_WIDTH);
    drawableHeight = glutGet(GLUT_WINDOW_HEIGHT);
    // Input reaches the game as events taken before each frame: the live ones, or a recording's.
    glutReshapeFunc(liveReshape);
    glutDisplayFunc(onDisplay);
    glutKeyboardFunc(liveKeyDown);
    glutKeyboardUpFunc(liveKeyUp);
    glutSpecialFunc(liveSpecialDown);
    glutSpecialUpFunc(liveSpecialUp);
    glutMouseFunc(liveMouse);
    glutWindowStatusFunc(onWindowStatus);
    glutPositionFunc(liveWindowMoved);
    glutIdleFunc(gameIdle());
    initWorld();
    armCrashTrigger();
    if (playsDemo) {
        startReplay(demo, command.replay.c_str(), command.timedemo);
    } else {
        seedBison(seed);
        // The live game goes at the speed asked; a recording at its own (startDemo).
        gameSpeed = playing.gameSpeed;
    }
    startPlayerSettings(playing, playsDemo);
    // The GL's first selection passes are paid on a thread of their own beside the sounds' making
    // and the first frame (where the picks have no context of their own, a part a frame after
    // the first), but a timedemo's before its first frame, whose times they would spoil.
    prepareSelectionContext();
    if (command.timedemo)
        warmUpDrawing();
    else
        startSelectionWarmUp();
    // The screen's own lettering is read from GLUT's glyphs now, not at the first line shown.
    prepareScreenFonts();
    initSound(playing.muted || command.timedemo);
    prepareOverlays();
    // Escape ends the game with exit: the device is closed then, so what it played is complete,
    // and the window's size and place, changed since, are kept.
    atexit(closeSound);
    atexit(saveSettings);
    glutMainLoop();
    return 0;
}

#include "input/input.h"

#include "bison/bison.h"
#include "camera/camera.h"
#include "capture/capture.h"
#include "food/feeding.h"
#include "food/pick.h"
#include "game.h"
#include "platform/platform.h"

#include <GL/freeglut.h>
#include <cstring>

unsigned char keyDown[256];
bool releaseKeysWithFocus = true;
unsigned char keyPressed[256];

bool quitAsked = false;

// The space bar's key code, the throw's.
const unsigned char KEY_SPACE = ' ';

// The actions, one a binding.
static void quit() {
    quitAsked = true;
}
static void walkForward() {
    if (!nearBison(camera->position)) camera->move(true, CAMERA_WALK_STEP);
}
static void walkBackward() {
    camera->move(false, CAMERA_WALK_STEP);
}
static void turnLeft() {
    camera->turn(false);
}
static void turnRight() {
    camera->turn(true);
}
static void lookUp() {
    camera->tilt(true);
}
static void lookDown() {
    camera->tilt(false);
}
static void turnAround() {
    camera->turnAround();
}
// The key is spent either way: an empty hand does not queue a throw for later.
static void throwFromHand() {
    if (holding) throwHeld();
}
static void recallToEmptyHand() {
    if (!holding) recallLast();
}
static void toggleWandering() {
    bison->wandering = !bison->wandering;
}
static void toggleSpheres() {
    showSpheres = !showSpheres;
}
// Renewed every frame while held, so the count of nods stays at 0 and the bison keeps nodding.
static void askForNods() {
    bison->wantedNods = 3;
    bison->nodCount = 0;
}
static void stepBison() {
    bison->step();
}
static void turnBisonLeft() {
    bison->turn(BISON_TURN_STEP);
}
static void turnBisonRight() {
    bison->turn(-BISON_TURN_STEP);
}
// One press starts or stops capturing every frame; held, it would flip every frame. The numbers
// start over, and the capture moves on past any file already there.
static void toggleEveryFrameCapture() {
    captureIndex = 0;
    recording = !recording;
}

// Paused, the next tick advances the game, and only that one; going on, it does nothing.
static void stepOnce() {
    if (gamePaused) stepsAsked++;
}

const KeyBinding keyBindings[] = {
    {KEY_ESCAPE, true, quit, "Escape", "quit", true},
    {'w', true, walkForward, "w / s", "walk forward / backward"},
    {'s', true, walkBackward, nullptr, nullptr},
    {'a', true, turnLeft, "a / d", "turn left / right"},
    {'d', true, turnRight, nullptr, nullptr},
    {'e', true, lookUp, "e / f", "look up / down"},
    {'f', true, lookDown, nullptr, nullptr},
    {'q', false, turnAround, "q", "turn around"},
    {KEY_SPACE, false, throwFromHand, "right click, space", "throw the food on top of your hand"},
    {'r', false, recallToEmptyHand, "r", "take back the last food you threw (with an empty hand)"},
    {'m', false, toggleWandering, "m", "stop or start the bison's wandering"},
    {']', false, toggleSpheres, "]", "show the bison's collision spheres"},
    {';', true, askForNods, ";", "make the bison nod"},
    {'/', true, stepBison, "/", "walk the bison forward"},
    {',', true, turnBisonLeft, ", / .", "turn the bison left / right"},
    {'.', true, turnBisonRight, nullptr, nullptr},
    {'1', false, toggleGameState, "1",
     "start the game, or go back to the title (the score resets)"},
    {'9', true, requestCapture, "9", "save the current frame while held, as ppm/img000.ppm, ...",
     true},
    {'0', false, toggleEveryFrameCapture, "0", "start or stop recording every frame", true},
    {'p', false, togglePause, "p",
     "pause or go on; while paused only Escape, 9, 0, p and the keys below act", true},
    {'n', false, stepOnce, "n", "while paused, advance the game one tick", true},
};
const int KEY_BINDING_COUNT = int(sizeof keyBindings / sizeof keyBindings[0]);

// In the table's order: the name the settings file binds keys to, and what it does alone.
static const struct {
    const char *name;
    const char *words;
} KEY_ACTIONS[] = {
    {"quit", "quit"},
    {"walk_forward", "walk forward"},
    {"walk_backward", "walk backward"},
    {"turn_left", "turn left"},
    {"turn_right", "turn right"},
    {"look_up", "look up"},
    {"look_down", "look down"},
    {"turn_around", "turn around"},
    {"throw", "throw the food on top of your hand"},
    {"take_back", "take back the last food you threw"},
    {"wander", "stop or start the bison's wandering"},
    {"spheres", "show the bison's collision spheres"},
    {"nod", "make the bison nod"},
    {"bison_forward", "walk the bison forward"},
    {"bison_left", "turn the bison left"},
    {"bison_right", "turn the bison right"},
    {"start", "start the game, or go back to the title"},
    {"save_frame", "save the current frame while held"},
    {"record_frames", "start or stop recording every frame"},
    {"pause", "pause or go on"},
    {"step", "advance the game one tick while paused"},
};
static_assert(sizeof KEY_ACTIONS / sizeof KEY_ACTIONS[0] ==
                  sizeof keyBindings / sizeof keyBindings[0],
              "every binding has a name");

const char *keyActionName(int binding) {
    return KEY_ACTIONS[binding].name;
}

const char *keyActionWords(int binding) {
    return KEY_ACTIONS[binding].words;
}

std::vector<HelpLine> keyHelpLines() {
    std::vector<HelpLine> lines;
    for (const KeyBinding &binding : keyBindings) {
        // The left click picks what space and the right click throw: its line stands by theirs.
        if (binding.key == KEY_SPACE)
            lines.push_back({"left click", "pick up the food under the cursor"});
        if (binding.keys) lines.push_back({binding.keys, binding.words});
    }
    return lines;
}

static bool anyKeyDown() {
    for (unsigned char down : keyDown)
        if (down) return true;
    return false;
}

void releaseKeys() {
    memset(keyDown, 0, sizeof keyDown);
}

// Whether the window held the keyboard when last asked (only asked while a key is down), and
// whether a key has gone down since: a key heard is a key the window held the keyboard for.
static bool heldKeyboard = false;
static bool keyHeardSinceAsked = false;

void resetInput() {
    memset(keyDown, 0, sizeof keyDown);
    memset(keyPressed, 0, sizeof keyPressed);
    quitAsked = false;
    releaseKeysWithFocus = true;
    heldKeyboard = false;
}

// Keys let go in another window never come back up here: once the window loses the keyboard
// it has held, every key counts as released. A window that never held it (a test's, under a
// system that gives it no focus) keeps the keys it is handed.
bool keyboardWasLost() {
    bool heard = keyHeardSinceAsked;
    keyHeardSinceAsked = false;
    if (!releaseKeysWithFocus || !anyKeyDown()) return false;
    bool holds = windowHoldsKeyboard();
    // Pressed and then taken elsewhere before this was asked: lost all the same.
    bool lost = (heldKeyboard || heard) && !holds;
    heldKeyboard = holds;
    return lost;
}

void processInput(TickStep step) {
    for (const KeyBinding &binding : keyBindings) {
        if (!keyDown[binding.key] && !keyPressed[binding.key]) continue;
        if (!binding.held) keyDown[binding.key] = 0;
        if (step == TICK_HOLD && !binding.whilePaused) continue;
        binding.action();
    }
    memset(keyPressed, 0, sizeof keyPressed);
}

void onKeyDown(unsigned char key, int, int) {
    keyDown[key] = 1;
    keyPressed[key] = 1;
    keyHeardSinceAsked = true;
}

void onKeyUp(unsigned char key, int, int) {
    keyDown[key] = 0;
}

// freeglut also reports modifier keys (Shift, Ctrl, Alt, Super) as special keys with codes above
// GLUT_KEY_INSERT; stored in the table they would land on 'q', 'r', 's' or 'w' and act.
static bool storedSpecial(int key) {
    return key >= 0 && key <= GLUT_KEY_INSERT;
}

void onSpecialDown(int key, int, int) {
    if (!storedSpecial(key)) return;
    keyDown[key] = 1;
    keyPressed[key] = 1;
    keyHeardSinceAsked = true;
}

void onSpecialUp(int key, int, int) {
    if (storedSpecial(key)) keyDown[key] = 0;
}

// A click only asks: the tick it reaches picks or throws, or refuses it while the game is paused.
void onMouse(int button, int state, int x, int y) {
    if (state != GLUT_DOWN) return;
    if (button == GLUT_LEFT_BUTTON)
        requestPick(x, y);
    else if (button == GLUT_RIGHT_BUTTON)
        throwsAsked += 1;
}

void onReshape(int width, int height) {
    windowWidth = width;
    windowHeight = height;
    glViewport(0, 0, width, height);
}

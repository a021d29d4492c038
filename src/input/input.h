// Input: the GLUT callbacks only record; processInput turns the key table into actions once a
// frame, walking the bindings in their fixed order.
#pragma once

#include "clock/clock.h"

#include <vector>

// The key table's Escape, which quits: key code 27.
const unsigned char KEY_ESCAPE = 27;
// Escape asked to leave the game. Nothing in the game reads it: the frame loop leaves once the
// tick that asked is done (and recorded), outside the tick and the event queue.
extern bool quitAsked;

// One flag per key code, 1 while down. Special keys share it at their GLUT codes (left arrow =
// 'd').
extern unsigned char keyDown[256];
// Keys count as released when the window loses the keyboard it held. The in-process tests,
// which hand keys in themselves while other tests' windows come and go, turn it off.
extern bool releaseKeysWithFocus;
// One flag per key code, 1 when the key went down since the last frame, even if it is up again:
// a tap shorter than a frame still acts in the next one. processInput clears it.
extern unsigned char keyPressed[256];

// A key and what it does. A held binding acts in every frame while its key is down; a one-shot
// binding acts once per press, clearing its own entry when it fires. A key pressed since the last
// frame acts in the next one even when it is already up: once, or for that one frame when held.
struct KeyBinding {
    unsigned char key; // its entry in keyDown
    bool held;         // held, or one-shot
    void (*action)();  // what it does in the frame
    const char *keys;  // how the help names the key, or nullptr when the line before names it
    const char *words; // what the help says it does
    bool whilePaused = false; // acts while the game is paused too
};

// Every binding, in the order processInput tests them; several can act in one frame.
extern const KeyBinding keyBindings[];
// Number of entries in keyBindings.
extern const int KEY_BINDING_COUNT;
// The name the settings file gives binding number binding of keyBindings ("walk_forward").
const char *keyActionName(int binding);
// What binding number binding does, in a few words of its own.
const char *keyActionWords(int binding);

// A line of the keys' help: how the key or button is named, and what it does.
struct HelpLine {
    const char *keys;
    const char *words;
};
// The keys' lines shown by --help, the README and the manual page, in order: each binding that
// names its keys, and the left click before the throw.
std::vector<HelpLine> keyHelpLines();

// Tick-by-tick key actions, in the order of keyBindings, in a tick of this step. In a tick that
// holds the game (TICK_HOLD: it is paused) only the bindings that act while paused act; a one-shot
// key pressed meanwhile is spent, so it does not act once the game goes on.
void processInput(TickStep step);
// Every key counts as released (presses since the last frame still act once in the next).
void releaseKeys();
// The keys as the game starts: none down or pressed, no quit asked, keys released with the
// window's focus: for a test that starts from a fresh game.
void resetInput();
// Asked before each live frame while a key is down: whether the window has lost the keyboard it
// held since it was last asked. A key let go in another window is never heard, so once the
// keyboard has gone every key must count as released. Always false while releaseKeysWithFocus is
// clear.
bool keyboardWasLost();

// GLUT callbacks.
void onKeyDown(unsigned char key, int x, int y);
void onKeyUp(unsigned char key, int x, int y);
void onSpecialDown(int key, int x, int y);
void onSpecialUp(int key, int x, int y);
void onMouse(int button, int state, int x, int y);
void onReshape(int width, int height);

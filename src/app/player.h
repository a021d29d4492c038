// The player's own side of the game: the live keys through the player's bindings, what the
// player's own keys do (sound, volume, full screen, the keys' list, the options screen), the
// window's size and place kept for the next game, and what the screen is told of the game. Nothing
// here moves the game or is recorded, but the pause the options screen asks for, which reaches the
// game as the pause key would.
#pragma once

#include "hud/overlay.h"
#include "settings/settings.h"

// The window fills the screen (F11).
extern bool fullScreenShown;

// Starts the player's side once the window is made: the bindings, the volume, full screen, the
// text and the assists of settings (the file's, with the command line's overrides applied by the
// caller).
void startPlayerSettings(const Settings &settings, bool replaying);
// A live key went down or up, in the key numbers of input/bindings.h: a player's own key acts at
// once; a key bound to one of the game's actions reaches the game as the key table's key of that
// action. While the options screen shows, the keys going down are its own.
void takeLiveKey(int key, bool down);
// A live mouse button went down or up, or the wheel turned (GLUT's button and state), at window
// pixel (x, y): the options screen's own while it shows, else it reaches the game as the click it
// is.
void takeLiveClick(int button, int state, int x, int y);
// Opens the options screen, pausing the game as the pause key does (the recording holds it as
// that key, so a replay holds the same ticks), or closes it, letting the game go on when it was
// the screen that paused it.
void openOptionsScreen();
void closeOptionsScreen();
// What the options ask of the shell after a key or a click.
void takeOptionsAsk(const OptionsAsk &ask);

// The window's GLUT input callbacks: each goes through the player's side (takeLiveKey,
// takeLiveClick) to the live events queued for the next tick (live_events.h).
void liveKeyDown(unsigned char key, int x, int y);
void liveKeyUp(unsigned char key, int x, int y);
void liveSpecialDown(int key, int x, int y);
void liveSpecialUp(int key, int x, int y);
void liveMouse(int button, int state, int x, int y);
void liveReshape(int width, int height);
// What a player's own key does, at once, paused or not.
void actOnPreference(Preference preference);
// The pick at the view's centre: a left click there, pressed and let go, taken as the mouse's
// would be, so that it is recorded and replayed as one.
void clickAtCentre();
// The window now has this size: kept for the next game when the player made it so (not full
// screen, not a replay's, not the size it opened at).
void noteWindowSize(int width, int height);
// GLUT's position callback: where the window now stands is kept for the next game.
void liveWindowMoved(int x, int y);

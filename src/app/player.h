// The player's own side of the game: the live keys through the player's bindings, what the
// player's own keys do (sound, volume, full screen, the keys' list), the window's size and place
// kept for the next game, and the overlays that say what the game is doing. Nothing here moves
// the game or is recorded.
#pragma once

#include "settings/settings.h"

// The keys' list (F1) shows over the view.
extern bool keysListShown;
// The window fills the screen (F11).
extern bool fullScreenShown;

// Starts the player's side once the window is made: the bindings, the volume and full screen of
// settings (the file's, with the command line's overrides applied by the caller).
void startPlayerSettings(const Settings &settings, bool replaying);
// A live key went down or up, in the key numbers of input/bindings.h: a player's own key acts at
// once; a key bound to one of the game's actions reaches the game as the key table's key of that
// action.
void takeLiveKey(int key, bool down);
// A live mouse button went down or up (GLUT's button and state) at window pixel (x, y): it reaches
// the game as the click it is.
void takeLiveClick(int button, int state, int x, int y);

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
// The window now has this size: kept for the next game when the player made it so (not full
// screen, not a replay's, not the size it opened at).
void noteWindowSize(int width, int height);
// GLUT's position callback: where the window now stands is kept for the next game.
void liveWindowMoved(int x, int y);

// The paused line, the replay's frame and the keys' list, over the view of a frame to be shown;
// after the capture, so that a capture holds the game's picture alone. Draws nothing, and leaves
// every pixel as it was, when none is due.
void drawOverlays();
// The lines of the overlays now due, top first (what drawOverlays writes).
std::vector<std::string> overlayLines();

// The application shell: start-up, world assembly, the frame and game states.
#pragma once

#include "app/clock.h"
#include "game.h"

// On the title screen the gaze y sinks by TITLE_DRIFT_STEP a frame while above TITLE_GAZE_FLOOR.
const double TITLE_DRIFT_STEP = 0.01;
const float TITLE_GAZE_FLOOR = 0.2f;

// Creates every object of the world once and sets the fixed GL state; needs the window.
void initWorld();
// The GL state every frame starts from, set once by initWorld: lighting, depth, colour material,
// the unlit texture mode and the normal the first screen text is lit with.
void setFixedGlState();
// The display callback: the frame of the live game, or of the recording being played back, with
// the input taken since the last one (playback.h).
void onDisplay();
// The half of a tick that moves the game: every step that changes it, in their fixed order, a
// left click's selection pass and its hits into the hand last. Counts ticksAdvanced.
void advanceGame();
// The half that only draws the world as it stands; in a selection pass (selecting) it reads the
// hits (endPick) and changes nothing.
void drawGame(bool selecting);
// Draws the world once in a selection pass and once as a frame, showing and picking nothing, so
// that the GL builds what it builds on first use (Mesa's selection pipeline, the shaders of every
// state the frame draws in: 90 ms of processor time on llvmpipe) before the game starts, not in
// the tick of the player's first click. Changes nothing in the game.
void warmUpDrawing();
// One tick of the game, its events handed in: advanced (or held, while paused), then drawn and
// captured when a capture is asked for. True when it made a pick (a selection pass).
bool playTick(TickStep step);
// The frame's drawing, once after its ticks: the world drawn (unless a capture of the last tick
// has just drawn it) and shown. Nothing when drawEveryFrame is clear.
void showWorld();
// Frames swapped onto the window since the start (a selection pass is never shown).
extern long framesShown;
// The normal projection of a frame: the view's perspective at the window's aspect.
void setProjection();
// On the title screen the gaze sinks towards the meadow: a step of the game's advance.
void titleDrift();

// The application shell: start-up, world assembly, the frame and game states.
#pragma once

#include "app/pose.h"
#include "clock/clock.h"
#include "game.h"

// On the title screen the gaze y sinks by TITLE_DRIFT_STEP a frame while above TITLE_GAZE_FLOOR.
const double TITLE_DRIFT_STEP = 0.01;
const float TITLE_GAZE_FLOOR = 0.2f;

// Creates every object of the world once and sets the fixed GL state; needs the window.
void initWorld();
// The GL state every frame starts from, set once by initWorld: lighting, depth, colour material,
// the unlit texture mode and the normal the first screen text is lit with.
void setFixedGlState();
// The half of a tick that moves the game: every step that changes it, in their fixed order, a
// left click's selection pass and its hits into the hand last. Counts ticksAdvanced.
void advanceGame();
// The half that only draws the world as it stands; in a selection pass (selecting) it reads the
// hits (endPick) and changes nothing.
void drawGame(bool selecting);
// The GL builds what it builds on first use (Mesa's selection pipeline, the shaders of every state
// a selection pass draws in: 90 ms of processor time on llvmpipe): paid in the tick of the
// player's first click, it would hold that frame up. The warm-up draws the world in selection
// passes that show and pick nothing, a part of it (the screen text, the bison, the sky and ground,
// the trees, the foods) at a time, changing nothing in the game.
// Starts it: the frames shown next take a step each (loop.h).
void startSelectionWarmUp();
// The next part, when the warm-up has one left: true while more are left after it.
bool warmUpSelectionStep();
// The whole warm-up at once, and one frame as drawn, never shown: for a timedemo, whose frames it
// must not slow.
void warmUpDrawing();
// One tick of the game, its events handed in: advanced (or held, while paused), then drawn and
// captured when a capture is asked for. True when it made a pick (a selection pass).
bool playTick(TickStep step);
// What the frame keeps between a tick and its drawing, as the game starts: for a test that starts
// from a fresh game.
void resetFrameState();
// The world as a frame shows it between the last two ticks at SHARE (pose.h), as the tick left it
// before any.
WorldPose shownPose(double share);
// The world drawn for the frame to be shown, once after its ticks: between the last two ticks by
// SHARE, the share of a tick the frame's moment has reached since the last one came due (1: as the
// last one left it, which a capture of it may have drawn already).
void drawWorldToShow(double share);
// The normal projection of a frame: the view's perspective at the window's aspect.
void setProjection();
// On the title screen the gaze sinks towards the meadow: a step of the game's advance.
void titleDrift();

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
// passes that show and pick nothing, changing nothing in the game. Where the platform gives the
// picks a GL context of their own (makeSelectionContext), a thread pays it there, beside the
// title's frames and only while the processors are otherwise idle; elsewhere the frames after the
// first pay it a part each (the screen text, the bison's head, body and limbs, the sky and ground,
// the trees, the foods).
// Makes the picks' own context, where the platform gives one: true when the picks are made in it.
bool prepareSelectionContext();
// Starts the warm-up: the frames shown next take its steps (loop.h).
void startSelectionWarmUp();
// The next step, when the warm-up has one left: true while more are left after it. With a context
// of its own, the first step starts the thread and is the last.
bool warmUpSelectionStep();
// Waits for the warm-up's thread, when there is one: at a pick and at the end.
void finishSelectionWarmUp();
// No warm-up left to take, and the picks made in the window's context, as the game starts (the
// picks' own context is kept for prepareSelectionContext): for a test that starts from a fresh
// game.
void resetSelectionWarmUp();
// The whole warm-up at once, and one frame as drawn, never shown: for a timedemo, whose frames it
// must not slow.
void warmUpDrawing();
// Makes the picks' own context current for a pick, with the window's viewport, once its warm-up is
// done; false when there is none and the pick is made in the window's context.
bool enterPickContext();
// Back to the window's context after a pick made in the picks' own.
void leavePickContext();
// The parts of the world a selection pass draws, in their order.
enum WorldPart { PART_TEXT, PART_BISON, PART_SCENE, PART_TREES, PART_FOODS, WORLD_PARTS };
// One part of the world in POSE.
void drawWorldPart(WorldPart part, const WorldPose &pose, bool selecting);
// The world exactly as the last tick left it.
WorldPose tickPose();
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

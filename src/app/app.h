// The application shell: start-up, world assembly, the frame, game states and screen text.
#pragma once

#include "types.h"

// Window size in pixels, kept equal to the window's by onReshape.
extern int windowWidth, windowHeight;
// The current game state.
extern GameState gameState;
// The score: +1 per orange or apple on the head, -1 per bomb.
extern int foodFed;
// Buffer each screen line is formatted into before it is drawn.
extern char textLine[55];

// Score at which the game is won, and lost.
const int WIN_SCORE = 10;
const int LOSE_SCORE = -10;

// On the title screen the gaze y sinks by TITLE_DRIFT_STEP a frame while above TITLE_GAZE_FLOOR.
const double TITLE_DRIFT_STEP = 0.01;
const float TITLE_GAZE_FLOOR = 0.2f;

// Creates every object of the world once and sets the fixed GL state; needs the window.
void initWorld();
// The frame: every update and every drawing, in a fixed order.
void onDisplay();
// The normal projection of a frame: 60 degrees, the window's aspect, near 1, far 2000.
void setProjection();
// Width over height of the window in floating point; a side of 0 counts as 1 pixel, so that a
// collapsed window never puts an infinity or a NaN into the projection.
double windowAspect();

// Win at WIN_SCORE, lose at LOSE_SCORE.
void checkOutcome();
// Title screen to play, or back to the title with the score reset ('1').
void toggleGameState();
// On the title screen the gaze sinks towards the meadow.
void titleDrift();
// Screen text is drawn with the view replaced by this scale, at this depth in the scaled frame.
const float TEXT_SCALE = 5.0f;
const float TEXT_DEPTH = -1.2f;
// Formats line number line (from 0) of a state's screen text into textLine and gives its raster
// position; false when the state has no such line.
bool formatScreenLine(GameState state, int line, float *x, float *y);
// The lines of text of the current state.
void drawScreenText();
// Draws textLine at a raster position.
void drawText(float x, float y, float z);

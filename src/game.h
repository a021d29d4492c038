// What every room of the game may read: the window's size, the view's numbers, the game state
// and the score, with the two rules that move the state.
#pragma once

#include "types.h"

// Window size in pixels, kept equal to the window's by onReshape.
extern int windowWidth, windowHeight;

// Vertical field of view of the scene's projection (degrees).
const double VIEW_FIELD_OF_VIEW = 60.0;
// Near and far clipping planes of the scene's projection (world units).
const double VIEW_NEAR = 1.0;
const double VIEW_FAR = 2000.0;

// The current game state.
extern GameState gameState;
// The score: +1 per orange or apple on the head, -1 per bomb.
extern int foodFed;

// Ticks in a second of game time: the game advances in ticks of exactly 1/60 s, and every
// per-tick speed, timer and count of the game is made for this rate.
const int TICKS_PER_SECOND = 60;

// Score at which the game is won, and lost.
const int WIN_SCORE = 10;
const int LOSE_SCORE = -10;

// Width over height of the window in floating point; a side of 0 counts as 1 pixel, so that a
// collapsed window never puts an infinity or a NaN into the projection.
double windowAspect();
// Multiplies the current matrix by the scene's perspective at the window's aspect: the normal
// frame and the selection frame see the meadow through the same lens.
void multViewPerspective();

// Win at WIN_SCORE, lose at LOSE_SCORE.
void checkOutcome();
// Title screen to play, or back to the title with the score reset ('1').
void toggleGameState();
// The state and the score as a game starts: for a test that starts from a fresh game.
void resetGameState();

// The game's own lines: the score while playing, the title and the result, each in its font,
// shade and place, drawn with the world at a fixed depth so that only a food in the hand covers
// them. Larger, or on a band, when the player asks.
#pragma once

#include "hud/layout.h"
#include "types.h"

#include <vector>

// Buffer each screen line is formatted into before it is drawn.
extern char textLine[55];
// The player asked for large text: the game's lines drawn at twice their size (or one and a half
// times, where twice would not fit the window) about the same corner or middle.
extern bool largeText;
// The player asked for readable text: the game's lines drawn on a light band that sets them off
// from the sky, the grass, the trees and the bison.
extern bool readableText;

// Scale of the view the screen text is drawn in (its lit shade depends on it).
const float TEXT_SCALE = 5.0f;
// Window depth of the screen text (0 near, 1 far): 6 units ahead of the eye, where it has always
// stood, so that only something nearer (a food in the hand) covers it.
const float TEXT_DEPTH = 0.8337502f;
// The game lines' font's glyphs reach this many rows above their baseline row, and below it.
const int GAME_TEXT_ASCENT = 13;
const int GAME_TEXT_DESCENT = 4;

// Formats line number line (from 0) of a state's screen text into textLine and gives where it
// starts in a window of width x height pixels: the left end of its baseline, from the window's
// bottom-left corner. The score lines keep their place from the top-left corner, the others from
// the centre, scale times as far from it. False when the state has no such line.
bool formatScreenLine(GameState state, int line, int width, int height, float *x, float *y,
                      float scale = 1.0f);
// The scale the state's lines are drawn at in a window of width x height: 1, or with largeText
// the largest of 2 and 1.5 at which every one of them lies inside the window (else 1).
float gameTextScale(GameState state, int width, int height);
// The pixels each of the state's lines may light at scale, one box a line in their order (from
// the window's top-left corner, y down; a line beyond an edge keeps its box there).
std::vector<Box> gameLineBoxes(GameState state, int width, int height, float scale);
// The lines of the current state, at the window's size. A selection pass draws them at their
// own size whatever the player asked, so that what a click picks never depends on it.
void drawScreenText();
// Draws textLine starting at window pixel (x, y), at TEXT_DEPTH; in a selection pass it makes a
// hit only when (x, y) is inside the window and under the click.
void drawText(float x, float y);
// With readableText, the bands behind the current state's lines: drawn after the world, just
// behind the lines' depth, so they cover the world but neither the lines nor what stands nearer.
void drawScreenTextBacking();
// No line formatted and the words at their own size, unbacked, as the game starts: for a test that
// starts from a fresh game.
void resetScreenText();

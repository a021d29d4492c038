// The screen's own blocks of words over a finished frame: the replay's tick, the pause, the keys'
// list, what to do next on the title and the result, the captions and the options screen, each on
// a dark band, placed by the layout (layout.h) around the game's own lines. Drawn after any
// capture, so that a capture holds the game's picture alone, and never in a selection pass.
#pragma once

#include "hud/layout.h"
#include "hud/options.h"

#include <string>
#include <vector>

// The keys' list (F1) shows over the view, and its page (from 0) when the window holds it only in
// pages.
extern bool keysListShown;
extern int keysListPage;
// The keys' list hidden at its first page and the options screen closed, as the game starts: for a
// test that starts from a fresh game.
void resetOverlays();

// What the shell tells the screen of the game each frame: neither is the screen's to know.
struct ScreenFacts {
    bool paused = false;               // the game stands still
    long replayTick = 0;               // a replay's tick being played, from 1; 0 when none plays
    long replayTicks = 0;              // and the ticks it holds
    std::vector<std::string> captions; // what is heard, in words, newest first
};

// The blocks due now, with their words, for the current state and keys in force.
std::vector<BlockWords> overlayBlocks(const ScreenFacts &facts);
// Where they stand in the window (worked out again only when they or the window change); the
// boxes of the game's own lines they keep clear of, in fixed.
const ScreenLayout &overlayLayout(const ScreenFacts &facts, std::vector<Box> *fixed = nullptr);
// Draws the blocks due over the frame; leaves every pixel as it was when none is, and GL's state
// as it found it.
void drawOverlays(const ScreenFacts &facts);
// The keys' list's key (F1): shows the list, turns its page, hides it after the last.
void stepKeysList();
// A click or a turn of the wheel (GLUT's button 3 up, 4 down) at window pixel (x, y from the top),
// while the options show: a click on a row chooses it (left of the middle of a value: a step
// down), the wheel scrolls the rows.
OptionsAsk optionsClick(int button, int x, int y);

// The views and frames the situations are made of: the game's own frame, the two floors, and the
// scenery floor with one part of the game's frame drawn on it.
#pragma once

#include "snapshot.h"

// Where the bison stands in every frame of the current situation.
extern BisonPose situationPose;

// Makes the bison's pose now the one every frame of the situation starts from.
void keepBisonHere();
// Looking over the first tree's foods towards the bison, as a player does.
void playingView();
// The title screen, the bison where it stands.
void titleView();
// Draws nothing: a part left out of sceneryWith, or a situation with nothing to set up.
void nothing();

// Builds the scenery floor's display list; once, after initWorld.
void buildFloorList();
// The lowest floor: a frame that only clears and swaps.
void clearFrame();
// The scenery floor: sky and ground only, from the camera.
void sceneryFrame();
// The scenery floor with one more part of the game's frame drawn where the frame draws it.
void sceneryWith(void (*beforeScene)(), void (*afterScene)());
// A frame of the game: the bison back where it stood, then the game's own frame.
void gameFrame();
// The same frame shown halfway between its tick and the one before, as a frame drawn between
// ticks is (a build that does not draw between ticks draws gameFrame).
void betweenFrame();

// Picking and the hand: a left click is resolved by a selection pass in the next tick, and
// the foods it hits go onto the hand, from which they are thrown.
#pragma once

#include "food/food.h"

// Words in the selection buffer.
const int SELECT_BUFFER_WORDS = 1024;

// A left click waiting for the next tick's selection pass.
extern bool pickPending;
// Right clicks since the last tick: each throws the top food of the hand in the next one.
extern int throwsAsked;
// Where that click was, in window pixels with y counted from the top.
extern float pickX, pickY;
// The selection buffer of a pick (words).
extern unsigned int selectBuffer[SELECT_BUFFER_WORDS];
// Hit records of the last selection pass.
extern int hitCount;
// The hand: a stack of food indices, top at hand[handCount - 1]. It has room for every food.
extern int hand[FOOD_COUNT];
// Entries in the hand.
extern int handCount;
// True exactly while the hand is not empty.
extern bool holding;
// The food on top of the hand, -1 when empty.
extern int heldIndex;
// The most recently thrown food, -1 before the first throw.
extern int lastThrownIndex;

// Asks for a selection pass around window pixel (x, y), y from the top, in the next frame; a
// later click before that frame replaces an earlier one.
void requestPick(int x, int y);
// The word offset in buffer of the hit record with the smallest minimum depth (unsigned; the
// first of equals), or -1 when there is none. Walks at most hits records and never reads past
// words; a record that does not fit ends the walk.
int nearestHitRecord(const unsigned int *buffer, int words, int hits);
// Where a held food floats this frame: one unit ahead of the eye along the gaze (world units).
Vector3 heldPoint();
// Puts food index into the hand on top: its position and speed are zeroed and it is held.
void takeIntoHand(int index);
// True when food index is in the hand.
bool inHand(int index);

// Narrows the current matrix to the pick region around the pending click; whatever draws in a
// selection pass with its own projection puts this first.
void multPickRegion();
// Puts the GL into selection mode with BUFFER (WORDS long) for its hits, in the state every
// selection pass draws in: unlit, the name stack empty. The projection is the caller's.
void enterSelectionMode(unsigned int *buffer, int words);
// Back to drawing: the state before enterSelectionMode, and the pass's hit count.
int leaveSelectionMode();
// Starts a selection pass around the pending click, and says so.
void beginPick();
// The same, saying nothing.
void startSelectionPass();
// Ends it and reads its hits into selectBuffer and hitCount; the hand is left alone.
void endPick();
// Takes the last selection pass's hits into the hand and ends the pick (the game's half).
void takePickHits();
// Picks the nearest hit record's food into the hand.
void processHits();
// Throws the top food of the hand.
void throwHeld();
// The right clicks asked for since the last tick, thrown in order (with an empty hand, nothing).
void throwAsked();
// A tick that holds the game (paused) takes no click: the pick and the throws asked are dropped.
void refuseClicks();
// Puts the last thrown food back into the hand.
void recallLast();
// No click pending or asked, no hits, an empty hand and no food thrown, as the game starts: for a
// test that starts from a fresh game.
void resetPicking();

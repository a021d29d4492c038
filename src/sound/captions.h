// What is heard, in words: each sound the game starts shows a caption while it plays (and long
// enough to be read), saying where it comes from in the player's view, reckoned from the
// listener as the sound itself is placed. Kept whether or not sound is on or a device is open: a
// player who cannot hear mutes the game. Arithmetic and words only; the screen draws them.
#pragma once

#include "sound/synth.h"
#include "types.h"

#include <string>
#include <vector>

// Captions are kept and shown (the settings' captions, --captions).
extern bool captionsOn;
// The game's own time the captions are timed by (seconds: the ticks advanced, 1/60 s each), set
// by the shell as each tick begins. So a caption stays while the game is paused, shows longer at a
// slower game speed, and comes and goes at the same ticks in a replay, at any drawing rate.
extern double captionClock;

// A caption shows at least this long (seconds of the game's time), so that the blip of a pick can
// be read; a longer sound's shows while it plays.
const double CAPTION_SHORTEST = 1.5;
// A placed sound nearer than this is near, farther is far (world units): within it a sound is
// heard at half its full strength or more.
const double CAPTION_NEAR = 12.0;
// The most captions shown at once: a new one past them takes the oldest's line.
const int CAPTION_LINES = 6;

// A caption showing: the sound, where it was started and when it is over.
struct Caption {
    SoundId id;
    Vector3 place; // world units; unused when not placed
    bool placed;   // false for a phrase heard the same from everywhere
    double until;  // the captionClock it shows to (seconds)
};
// The captions showing, oldest first.
extern std::vector<Caption> captionsShowing;

// Captions off and none showing, the game's time at its start: as the game starts them.
void resetCaptions();

// What sound id is called in its caption ("Bison's hooves").
const char *captionName(SoundId id);
// Where a sound at place is for a listener at listener facing along gaze, in a caption's words:
// "near" or "far", then "left", "right", "ahead" or "behind" ("far left").
std::string captionWhere(Vector3 place, Vector3 listener, Vector3 gaze);
// Notes sound id started at now (seconds), lasting seconds, at place: a sound whose caption still
// shows (the hooves, step after step) renews it, with its new place, rather than adding a line.
void noteCaption(std::vector<Caption> &captions, SoundId id, Vector3 place, bool placed, double now,
                 double seconds);
// The captions still showing at now, in words, the newest first (nearest the middle of the view:
// the captions stand at the bottom), each placed from the listener at listener facing along gaze;
// those over are dropped from captions.
std::vector<std::string> captionLines(std::vector<Caption> &captions, double now, Vector3 listener,
                                      Vector3 gaze);

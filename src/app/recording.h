// The live game written into a recording as it is played (--record, or the kept game): the
// header once the world it fingerprints is made, then each tick as it ends, flushed.
#pragma once

#include "demo/demo.h"

#include <string>

// Starts writing the game into a new file at PATH: false, with the reason, when it cannot be made
// (a file already there included).
bool startRecording(const char *path, const DemoHeader &header, std::string *reason);
// Writes TICK, the live game's latest, when a recording is being written. A recording that cannot
// be written on is said once on standard error and ends there; the game plays on.
void recordTick(const DemoFrame &tick);
// Ends the recording being written, its file closed whole: for a maker of recorded games in
// process (the live game's ends when the process does).
void stopRecording();

// The live game kept: recorded into the games folder (keep/keep.h) unless --record names a file
// or --no-keep is given, followed for the record of games (keep/tally.h), and a crash line armed
// that names its recording. None of it acts in a replay or a timedemo, whose crash line names the
// recording played.
#pragma once

#include "app/options.h"
#include "demo/demo.h"

#include <string>

// The environment variable that makes the live game crash on purpose once it has advanced the
// ticks it names, for the tests; read once, at start-up, by startLiveGame.
const char *const CRASH_TRIGGER_VARIABLE = "GRAZEWELL_TEST_CRASH_TICK";
// How often the trigger looks at the ticks advanced, between frames (milliseconds).
const int CRASH_TRIGGER_LOOK_MS = 2;
// Arms the trigger, when the variable names a tick: a GLUT timer, outside the frames, that
// crashes the game between two frames once it has advanced that many ticks (at once for 0).
// Needs the window.
void armCrashTrigger();
// After each live tick written into the recording: from the first on, the crash line names the
// recording.
void noteLiveTickRecorded();
// The crash line of a replay (or, with timed, a timedemo) of the recording at path: it names it.
void armReplayCrashLine(const std::string &path, bool timed);

// The recording of the live game: --record's file, or the kept game; "" when there is none.
extern std::string liveRecordingPath;

// Starts the live game's recording, its header written at once, its row in the games index and
// its following. False, with the reason, only when --record's file cannot be made; a games folder
// or index that cannot be made or written is said once on standard error and the game plays on
// unkept.
bool startLiveGame(const CommandLine &command, const DemoHeader &header, std::string *reason);

// The recording --replay or --timedemo names: the newest kept game for "last", else the name
// itself. False, with the reason, when "last" finds no kept game.
bool recordingToPlay(const std::string &named, std::string *path, std::string *reason);

// What --games and --record-of-games print on standard output, and their exit status.
int printKeptGames();
int printRecordOfGames();

#include "app/keeping.h"

#include "app/recording.h"
#include "clock/clock.h"
#include "keep/keep.h"
#include "keep/record.h"
#include "keep/tally.h"
#include "platform/platform.h"

#include <GL/freeglut.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

std::string liveRecordingPath;

// The ticks the live game crashes after (the tests' trigger), or -1.
static long crashAfterTicks = -1;

static void readCrashTrigger() {
    const char *tick = getenv(CRASH_TRIGGER_VARIABLE);
    crashAfterTicks = tick && *tick ? atol(tick) : -1;
}

static void crashWhenDue(int) {
    if (ticksAdvanced >= crashAfterTicks) crashNow();
    glutTimerFunc(CRASH_TRIGGER_LOOK_MS, crashWhenDue, 0);
}

void armCrashTrigger() {
    if (crashAfterTicks >= 0) glutTimerFunc(CRASH_TRIGGER_LOOK_MS, crashWhenDue, 0);
}

// A path as a command line takes it: quoted when it holds a space.
static std::string quoted(const std::string &path) {
    return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
}

// The crash line is these two around the fault's name.
static const char CRASH_LINE_BEFORE[] = "grazewell: crashed (";
static std::string crashLineAfter(const std::string &path) {
    if (path.empty()) return "); this game was not recorded\n";
    return "); the game up to its last whole frame is in " + path +
           "; watch it with: grazewell --replay " + quoted(path) + "\n";
}

static void armCrashLineFor(const std::string &path) {
    std::string marker = "";
    if (!summaryPath.empty()) marker = besideKeptGame(path, KEPT_CRASH_MARK);
    armCrashLine(CRASH_LINE_BEFORE, crashLineAfter(path).c_str(), marker.c_str());
}

bool startLiveGame(const CommandLine &command, const DemoHeader &header, std::string *reason) {
    if (!command.record.empty()) {
        if (!startRecording(command.record.c_str(), header, reason)) return false;
        liveRecordingPath = command.record;
    }
    bool keeps = command.record.empty() && !command.noKeep;
    std::string folder = keptGamesFolder();
    std::string trouble, failed;
    if (folder.empty()) {
        trouble = NO_STATE_FOLDER;
    } else if (!makeFolders(folder, &failed)) {
        trouble = failed + ": " + strerror(errno);
    } else if (keeps) {
        std::string path;
        if (!prepareKeptGame(folder, &path, &trouble)) {
            // said below
        } else if (!startRecording(path.c_str(), header, &trouble)) {
            trouble = path + ": " + trouble;
        } else {
            liveRecordingPath = path;
            summaryPath = besideKeptGame(path, KEPT_SUMMARY);
        }
    }
    // One line for a folder that cannot be made or written, and nothing more is tried in it.
    if (!trouble.empty())
        fprintf(stderr, "grazewell: %s; %s, and plays on\n", trouble.c_str(),
                keeps ? "this game is not kept" : "the record of games is not kept");
    else
        recordPath = folder + "/" + RECORD_FILE;
    tallying = true;
    atexit(noteExit);
    readCrashTrigger();
    armCrashLineFor(liveRecordingPath);
    return true;
}

bool recordingToPlay(const std::string &named, std::string *path, std::string *reason) {
    if (named != LAST_GAME) {
        *path = named;
        return true;
    }
    std::string folder = keptGamesFolder();
    *path = folder.empty() ? "" : newestKeptGame(folder);
    if (path->empty()) {
        *reason =
            "no game kept in " + (folder.empty() ? std::string("any folder") : folder) + " to play";
        return false;
    }
    return true;
}

int printKeptGames() {
    std::string folder = keptGamesFolder();
    if (folder.empty()) {
        fprintf(stderr, "grazewell: %s\n", NO_STATE_FOLDER);
        return 1;
    }
    fputs(keptGamesListing(folder).c_str(), stdout);
    return 0;
}

int printRecordOfGames() {
    std::string folder = keptGamesFolder();
    std::string path = folder + "/" + RECORD_FILE, reason;
    GameRecord record;
    switch (folder.empty() ? RECORD_UNREADABLE : readRecord(path, record, &reason)) {
    case RECORD_READ:
    case RECORD_MISSING:
        fputs(recordText(record, path).c_str(), stdout);
        return 0;
    case RECORD_DAMAGED:
        fprintf(stderr, "grazewell: %s: damaged (%s); it is moved aside when the next game ends\n",
                path.c_str(), reason.c_str());
        return 1;
    case RECORD_UNREADABLE:
        fprintf(stderr, "grazewell: %s: %s\n", folder.empty() ? "record.toml" : path.c_str(),
                folder.empty() ? "no folder to keep it in" : reason.c_str());
        return 1;
    }
    return 1;
}

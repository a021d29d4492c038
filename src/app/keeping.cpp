#include "app/keeping.h"

#include "app/recording.h"
#include "clock/clock.h"
#include "keep/keep.h"
#include "keep/index.h"
#include "keep/record.h"
#include "keep/tally.h"
#include "platform/platform.h"

#include <GL/freeglut.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

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
    // A game asked to crash before any tick crashes now: no frame may run first.
    if (crashAfterTicks == 0) crashNow();
    if (crashAfterTicks > 0) glutTimerFunc(CRASH_TRIGGER_LOOK_MS, crashWhenDue, 0);
}

// A path as a command line takes it: quoted when it holds a space.
static std::string quoted(const std::string &path) {
    return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
}

// The crash line is these two around the fault's name.
static const char CRASH_LINE_BEFORE[] = "grazewell: crashed (";
static std::string crashLineAfter(const std::string &path, bool played) {
    if (path.empty()) return "); this game was not recorded\n";
    if (!played) return "); no tick was played, so there is nothing to watch\n";
    return "); the game up to its last whole frame is in " + path +
           "; watch it with: grazewell --replay " + quoted(path) + "\n";
}

// The crash mark of the live game's row, "" when it has none.
static std::string crashMark;

static void armCrashLineFor(const std::string &path, bool played) {
    armCrashLine(CRASH_LINE_BEFORE, crashLineAfter(path, played).c_str(), crashMark.c_str());
}

// The live ticks written into the recording so far.
static long liveTicks = 0;

void noteLiveTickRecorded() {
    // The first is in the recording: from now on a crash has a game to show.
    if (liveTicks++ == 0) armCrashLineFor(liveRecordingPath, true);
}

void armReplayCrashLine(const std::string &path, bool timed) {
    std::string after = "); it was playing " + path + "; play it again with: grazewell " +
                        (timed ? "--timedemo " : "--replay ") + quoted(path) + "\n";
    armCrashLine(CRASH_LINE_BEFORE, after.c_str(), "");
}

// The live game's row in the games index, begun with its recording when it is kept there (with
// keeps); what stands in the way in *trouble.
static void beginKeeping(const DemoHeader &header, bool keeps, std::string *trouble) {
    std::string folder = keptGamesFolder(), failed;
    if (folder.empty()) {
        *trouble = NO_STATE_FOLDER;
        return;
    }
    if (!makeFolders(folder, &failed)) {
        *trouble = failed + ": " + strerror(errno);
        return;
    }
    if (!openGamesIndex(liveIndex, folder, trouble)) return;
    // The start names the game; the clock is read here, at start-up, never by the game itself.
    NewGame game;
    std::time_t now = std::time(nullptr);
    game.when = *std::localtime(&now);
    game.seed = header.seed;
    game.fps = header.fps;
    game.speed = header.speed;
    // The recording is made, its header written, before the window opens: a game that dies
    // before its first tick still leaves a file that says what it was.
    RecordingMaker make = [&](const std::string &path, std::string *reason) {
        return startRecording(path.c_str(), header, reason);
    };
    std::string path, reason;
    if (!beginIndexedGame(liveIndex, game, keeps, make, &liveGameId, &path, trouble, &reason)) {
        *trouble = reason;
        closeGamesIndex(liveIndex);
        return;
    }
    crashMark = crashMarkPath(folder, liveGameId);
    if (!path.empty()) liveRecordingPath = path;
}

bool startLiveGame(const CommandLine &command, const DemoHeader &header, std::string *reason) {
    if (!command.record.empty()) {
        if (!startRecording(command.record.c_str(), header, reason)) return false;
        liveRecordingPath = command.record;
    }
    bool keeps = command.record.empty() && !command.noKeep;
    std::string trouble;
    beginKeeping(header, keeps, &trouble);
    // One line for a folder or an index that cannot be made or written, and nothing more is
    // tried in it.
    if (!trouble.empty())
        fprintf(stderr, "grazewell: %s; %s, and plays on\n", trouble.c_str(),
                keeps ? "this game is not kept" : "the record of games is not kept");
    tallying = true;
    atexit([] { noteExit(liveTicks); });
    readCrashTrigger();
    armCrashLineFor(liveRecordingPath, false);
    return true;
}

bool recordingToPlay(const std::string &named, std::string *path, std::string *reason) {
    if (named != LAST_GAME) {
        *path = named;
        return true;
    }
    std::string folder = keptGamesFolder();
    GamesIndex index;
    if (!folder.empty() && isFolder(folder) && openGamesIndex(index, folder, reason)) {
        *path = newestPlayableGame(index);
        closeGamesIndex(index);
    }
    if (path->empty()) {
        *reason =
            "no game kept in " + (folder.empty() ? std::string("any folder") : folder) + " to play";
        return false;
    }
    return true;
}

// Opens the index of the games folder for --games and --record-of-games; false, with the reason
// said on standard error, when it cannot be. A folder never made holds no games: *none is set and
// nothing is made.
static bool openForReading(GamesIndex &index, const std::string &folder, bool *none) {
    *none = false;
    if (folder.empty()) {
        fprintf(stderr, "grazewell: %s\n", NO_STATE_FOLDER);
        return false;
    }
    if (!isFolder(folder)) {
        *none = true;
        return true;
    }
    std::string reason;
    if (openGamesIndex(index, folder, &reason)) return true;
    fprintf(stderr, "grazewell: %s\n", reason.c_str());
    return false;
}

int printKeptGames() {
    std::string folder = keptGamesFolder();
    GamesIndex index;
    bool none = false;
    if (!openForReading(index, folder, &none)) return 1;
    std::vector<IndexedGame> games;
    if (!none) games = keptIndexedGames(index);
    closeGamesIndex(index);
    fputs(keptGamesListing(folder, games).c_str(), stdout);
    return 0;
}

int printRecordOfGames() {
    std::string folder = keptGamesFolder();
    GamesIndex index;
    bool none = false;
    if (!openForReading(index, folder, &none)) return 1;
    GameRecord record;
    std::string reason;
    bool read = none || indexedRecord(index, record, &reason);
    closeGamesIndex(index);
    if (!read) {
        fprintf(stderr, "grazewell: %s\n", reason.c_str());
        return 1;
    }
    fputs(recordText(record, folder + "/" + INDEX_FILE).c_str(), stdout);
    return 0;
}

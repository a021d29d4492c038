// Games kept: unless told otherwise, every live game is recorded into the games folder of the
// state folder, named by the local time it started ("2026-12-09_08-49-07.gzd") and listed in the
// games index (index.h) with how it ended. The folder holds the newest KEEP_MAX_GAMES games and
// KEEP_MAX_BYTES at most: the oldest go first, never the one being played.
#pragma once

#include "keep/index.h"

#include <ctime>
#include <string>
#include <vector>

// The most games the folder keeps, the one being played included.
const int KEEP_MAX_GAMES = 20;
// The most bytes its recordings take together (50 MB), the one being played included.
const long long KEEP_MAX_BYTES = 50LL * 1000 * 1000;
// The ending of a kept recording's name, of the summary beside it and of the file a crash left
// there before the games index.
const char *const KEPT_RECORDING = ".gzd";
const char *const KEPT_SUMMARY = ".toml";
const char *const KEPT_CRASH_MARK = ".crashed";
// What is said when the system names no state folder (no HOME, no LOCALAPPDATA).
const char *const NO_STATE_FOLDER = "the system names no folder to keep games in";
// The name --replay and --timedemo take for the newest kept game.
const char *const LAST_GAME = "last";

// The folder the games are kept in: the state folder's games/, with '/' between names; "" when
// the system names no state folder.
std::string keptGamesFolder();
// Makes folder and every missing folder above it; false (errno set, ENOTDIR where a file stands
// in the way) when one cannot be made, named in *failed.
bool makeFolders(const std::string &folder, std::string *failed = nullptr);

// The name of a game started at local time when; a second game started in the same second
// (nth 2, 3, ...) gets "_2", "_3", ... before the ending.
std::string keptGameName(const std::tm &when, int nth);
// Whether name is a kept game's recording (as keptGameName makes them); its start in *when
// and its number in that second in *nth, when given.
bool parseKeptGameName(const std::string &name, std::tm *when = nullptr, int *nth = nullptr);
// The same name with another ending: the recording's summary or crash mark.
std::string besideKeptGame(const std::string &name, const char *ending);

// A kept recording in the folder.
struct KeptFile {
    std::string name; // the file's name, without the folder
    long long bytes = 0;
};

// The kept recordings of folder (nothing else found there), newest first.
std::vector<KeptFile> listKeptGames(const std::string &folder);
// The names, oldest first, that must go from games (newest first) so that at most maxGames and
// maxBytes remain, current always among those kept: from the first game that would pass either
// bound, it and every older one go.
std::vector<std::string> gamesToRemove(const std::vector<KeptFile> &games,
                                       const std::string &current, int maxGames,
                                       long long maxBytes);
// Removes the kept game name from folder, with what lies beside it.
void removeKeptGame(const std::string &folder, const std::string &name);

// What --games prints of the games kept in folder (newest first, as the index gives them): one
// line a game, its start, its length in game time, how it ended (won, lost, quit; crashed or
// killed when it never said) and its score, for a game played slower than the full speed the
// slowest speed it was played at ("at 50% speed"), and its file.
std::string keptGamesListing(const std::string &folder, const std::vector<IndexedGame> &games);

#include "keep/keep.h"

#include "demo/demo.h"
#include "platform/platform.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

std::string keptGamesFolder() {
    std::string state = stateFolder();
    return state.empty() ? "" : state + "/games";
}

// Makes the one folder path; errno ENOTDIR when something else stands there.
static bool makeOneFolder(const std::string &path) {
    if (isFolder(path)) return true;
    if (makeFolder(path.c_str())) return true;
    if (errno == EEXIST) errno = ENOTDIR;
    return false;
}

bool makeFolders(const std::string &folder, std::string *failed) {
    if (failed) *failed = folder;
    if (folder.empty()) {
        errno = ENOENT;
        return false;
    }
    // Each folder from the top down: ~/.local/state itself may be missing on a new system.
    for (size_t at = folder.find('/', 1); at != std::string::npos; at = folder.find('/', at + 1)) {
        std::string above = folder.substr(0, at);
        // "C:" alone is a drive, not a folder to make.
        if (above.size() == 2 && above[1] == ':') continue;
        if (!makeOneFolder(above)) {
            if (failed) *failed = above;
            return false;
        }
    }
    return makeOneFolder(folder);
}

std::string keptGameName(const std::tm &when, int nth) {
    char name[64];
    snprintf(name, sizeof name, "%04d-%02d-%02d_%02d-%02d-%02d", when.tm_year + 1900,
             when.tm_mon + 1, when.tm_mday, when.tm_hour, when.tm_min, when.tm_sec);
    std::string text = name;
    if (nth > 1) text += "_" + std::to_string(nth);
    return text + KEPT_RECORDING;
}

bool parseKeptGameName(const std::string &name, std::tm *when, int *nth) {
    // "YYYY-MM-DD_hh-mm-ss", then "_N" for N from 2 when the second was taken, then the ending.
    static const char SHAPE[] = "dddd-dd-dd_dd-dd-dd";
    const size_t stamp = sizeof SHAPE - 1;
    if (name.size() < stamp || name.size() > stamp + 16) return false;
    for (size_t i = 0; i < stamp; i++)
        if (SHAPE[i] == 'd' ? !isdigit((unsigned char)name[i]) : name[i] != SHAPE[i]) return false;
    std::string tail = name.substr(stamp);
    int number = 1;
    if (!tail.empty() && tail[0] == '_') {
        size_t digits = 1;
        while (digits < tail.size() && digits < 6 && isdigit((unsigned char)tail[digits])) digits++;
        number = atoi(tail.substr(1, digits - 1).c_str());
        if (digits == 1 || tail[1] == '0' || number < 2) return false;
        tail = tail.substr(digits);
    }
    if (tail != KEPT_RECORDING) return false;
    if (when) {
        *when = std::tm();
        when->tm_year = atoi(name.substr(0, 4).c_str()) - 1900;
        when->tm_mon = atoi(name.substr(5, 2).c_str()) - 1;
        when->tm_mday = atoi(name.substr(8, 2).c_str());
        when->tm_hour = atoi(name.substr(11, 2).c_str());
        when->tm_min = atoi(name.substr(14, 2).c_str());
        when->tm_sec = atoi(name.substr(17, 2).c_str());
    }
    if (nth) *nth = number;
    return true;
}

std::string besideKeptGame(const std::string &name, const char *ending) {
    size_t dot = name.rfind('.');
    return (dot == std::string::npos ? name : name.substr(0, dot)) + ending;
}

// Newer first: by the start in the name, then by the number within its second.
static bool newerFirst(const KeptFile &a, const KeptFile &b) {
    int nthA = 1, nthB = 1;
    parseKeptGameName(a.name, nullptr, &nthA);
    parseKeptGameName(b.name, nullptr, &nthB);
    std::string startA = a.name.substr(0, 19), startB = b.name.substr(0, 19);
    if (startA != startB) return startA > startB;
    return nthA > nthB;
}

std::vector<KeptFile> listKeptGames(const std::string &folder) {
    std::vector<KeptFile> games;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        std::string name = entry->path().filename().string();
        if (!parseKeptGameName(name) || !entry->is_regular_file(error)) continue;
        std::error_code sizeError;
        uintmax_t bytes = entry->file_size(sizeError);
        games.push_back({name, sizeError ? 0 : (long long)bytes});
    }
    std::sort(games.begin(), games.end(), newerFirst);
    return games;
}

std::vector<std::string> gamesToRemove(const std::vector<KeptFile> &games,
                                       const std::string &current, int maxGames,
                                       long long maxBytes) {
    int count = 0;
    long long bytes = 0;
    for (const KeptFile &game : games)
        if (game.name == current) {
            count = 1;
            bytes = game.bytes;
        }
    std::vector<std::string> removed;
    bool full = false;
    for (const KeptFile &game : games) {
        if (game.name == current) continue;
        if (!full && count + 1 <= maxGames && bytes + game.bytes <= maxBytes) {
            count++;
            bytes += game.bytes;
            continue;
        }
        // Once one would pass a bound, every older one goes too: never an old game kept for a
        // newer one gone.
        full = true;
        removed.push_back(game.name);
    }
    std::reverse(removed.begin(), removed.end());
    return removed;
}

void removeKeptGame(const std::string &folder, const std::string &name) {
    for (const char *ending : {KEPT_RECORDING, KEPT_SUMMARY, KEPT_CRASH_MARK})
        remove((folder + "/" + besideKeptGame(name, ending)).c_str());
}

// Game time as minutes and seconds: "2:05".
static std::string minutesAndSeconds(long long ticks) {
    long long seconds = ticks / TICKS_PER_SECOND;
    char text[32];
    snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
    return text;
}

std::string keptGamesListing(const std::string &folder, const std::vector<IndexedGame> &games) {
    if (games.empty()) return "No games kept in " + folder + "\n";
    std::string text = "Games kept in " + folder + ", newest first:\n";
    for (const IndexedGame &game : games) {
        std::string length = "?";
        long long ticks = game.ticks;
        // A game that never ended as it should is as long as what it recorded.
        Demo demo;
        std::string path = folder + "/" + game.recording, reason;
        if (ticks < 0 && readDemo(path.c_str(), demo, &reason))
            ticks = (long long)demo.frames.size();
        if (ticks >= 0) length = minutesAndSeconds(ticks);
        // A game that never closed was killed (or is being played still).
        std::string end = game.closed ? (game.end.empty() ? "quit" : game.end) : "killed";
        if (game.crashed || (!game.closed && pathExists(crashMarkPath(folder, game.id))))
            end = "crashed";
        std::string score = game.scored ? std::to_string(game.score) : "-";
        char line[160];
        snprintf(line, sizeof line, "  %s  %7s  %-7s  %5s  ", game.started.c_str(), length.c_str(),
                 end.c_str(), score.c_str());
        text += line;
        // Before the file, which stays last on the line.
        if (game.speed != 100) text += "at " + std::to_string(game.speed) + "% speed  ";
        text += game.recording + "\n";
    }
    return text;
}

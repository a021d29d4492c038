// The one file of the room that reads TOML: toml++ is large, and compiled once here.
#include "keep/record.h"

#include "platform/platform.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <toml++/toml.h>

// A record or a summary is a few hundred bytes; anything past this is no file of ours.
static const long SMALL_FILE_LIMIT = 64 * 1024;

const char *gameEndName(GameEnd end) {
    switch (end) {
    case END_WON:
        return "won";
    case END_LOST:
        return "lost";
    case END_QUIT:
        return "quit";
    }
    return "quit";
}

void addGame(GameRecord &record, GameEnd end, long long ticks, int mostFed) {
    record.played++;
    if (end == END_WON) {
        record.won++;
        if (record.fastestWin < 0 || ticks < record.fastestWin) record.fastestWin = ticks;
    } else if (end == END_LOST) {
        record.lost++;
        if (record.shortestLoss < 0 || ticks < record.shortestLoss) record.shortestLoss = ticks;
    } else {
        record.quit++;
    }
    if (mostFed > record.mostFed) record.mostFed = mostFed;
}

// The text parsed as TOML into *table; false with the reason when it is none.
static bool parseToml(const std::string &text, toml::table *table, std::string *reason) {
    toml::parse_result parsed = toml::parse(text);
    if (parsed) {
        *table = std::move(parsed).table();
        return true;
    }
    std::ostringstream said;
    said << "not TOML: " << parsed.error().description() << " (line "
         << parsed.error().source().begin.line << ")";
    *reason = said.str();
    return false;
}

// The whole number at key into *value, when there is one; false when key holds anything else
// or a number below least.
static bool countAt(const toml::table &table, const char *key, long long least, long long *value,
                    std::string *reason) {
    const toml::node *node = table.get(key);
    if (!node) return true;
    std::optional<int64_t> number = node->value_exact<int64_t>();
    if (!number || *number < least) {
        *reason =
            std::string(key) + " is not a whole number of " + std::to_string(least) + " or more";
        return false;
    }
    *value = *number;
    return true;
}

bool parseRecord(const std::string &text, GameRecord &record, std::string *reason) {
    toml::table table;
    if (!parseToml(text, &table, reason)) return false;
    GameRecord read;
    if (!countAt(table, "played", 0, &read.played, reason) ||
        !countAt(table, "won", 0, &read.won, reason) ||
        !countAt(table, "lost", 0, &read.lost, reason) ||
        !countAt(table, "quit", 0, &read.quit, reason) ||
        !countAt(table, "most_fed", 0, &read.mostFed, reason) ||
        !countAt(table, "fastest_win_ticks", 0, &read.fastestWin, reason) ||
        !countAt(table, "shortest_loss_ticks", 0, &read.shortestLoss, reason))
        return false;
    if (read.won + read.lost + read.quit != read.played) {
        *reason = "won, lost and quit do not add up to played";
        return false;
    }
    if ((read.won > 0) != (read.fastestWin >= 0) || (read.lost > 0) != (read.shortestLoss >= 0)) {
        *reason = "a fastest win or shortest loss without its games, or games without it";
        return false;
    }
    record = read;
    return true;
}

// Game time in words: "37.32 s", "2 min 5.00 s".
static std::string gameTime(long long ticks) {
    char text[64];
    long long minutes = ticks / (60 * TICKS_PER_SECOND);
    double seconds = double(ticks - minutes * 60 * TICKS_PER_SECOND) / TICKS_PER_SECOND;
    if (minutes > 0)
        snprintf(text, sizeof text, "%lld min %.2f s", minutes, seconds);
    else
        snprintf(text, sizeof text, "%.2f s", seconds);
    return text;
}

std::string recordText(const GameRecord &record, const std::string &path) {
    std::string text = "Record of games (" + path + ")\n";
    text += "  games played:          " + std::to_string(record.played) + "\n";
    text += "  won:                   " + std::to_string(record.won) + "\n";
    text += "  lost:                  " + std::to_string(record.lost) + "\n";
    text += "  quit:                  " + std::to_string(record.quit) + "\n";
    text += "  fastest win:           " +
            (record.fastestWin >= 0 ? gameTime(record.fastestWin) : std::string("none yet")) + "\n";
    text += "  shortest loss:         " +
            (record.shortestLoss >= 0 ? gameTime(record.shortestLoss) : std::string("none yet")) +
            "\n";
    text += "  most fed in one game:  " + std::to_string(record.mostFed) + "\n";
    return text;
}

// The whole of a small regular file into *text: RECORD_MISSING when there is none,
// RECORD_UNREADABLE (with the reason) when it cannot be read, RECORD_DAMAGED when too large.
static RecordState readSmallFile(const std::string &path, std::string *text, std::string *reason) {
    errno = 0;
    FILE *file = openRegularFile(path.c_str());
    if (!file) {
        if (errno == ENOENT) return RECORD_MISSING;
        *reason = errno ? strerror(errno) : "not a regular file";
        return RECORD_UNREADABLE;
    }
    long size = regularFileSize(file);
    if (size > SMALL_FILE_LIMIT) {
        fclose(file);
        *reason = "too large for a record";
        return RECORD_DAMAGED;
    }
    text->assign(size_t(size < 0 ? 0 : size), '\0');
    size_t got = text->empty() ? 0 : fread(&(*text)[0], 1, text->size(), file);
    bool failed = ferror(file) != 0;
    fclose(file);
    if (failed) {
        *reason = "a read failed";
        return RECORD_UNREADABLE;
    }
    text->resize(got);
    return RECORD_READ;
}

RecordState readRecord(const std::string &path, GameRecord &record, std::string *reason) {
    std::string text;
    RecordState state = readSmallFile(path, &text, reason);
    if (state != RECORD_READ) return state;
    GameRecord read;
    if (!parseRecord(text, read, reason)) return RECORD_DAMAGED;
    record = read;
    return RECORD_READ;
}

bool readSummary(const std::string &path, GameSummary &summary) {
    std::string text, reason;
    if (readSmallFile(path, &text, &reason) != RECORD_READ) return false;
    toml::table table;
    if (!parseToml(text, &table, &reason)) return false;
    std::optional<std::string> end = table["end"].value_exact<std::string>();
    std::optional<int64_t> score = table["score"].value_exact<int64_t>();
    std::optional<int64_t> games = table["games"].value_exact<int64_t>();
    std::optional<bool> closed = table["closed"].value_exact<bool>();
    if (!end || !score || !games || !closed) return false;
    GameSummary read;
    if (*end == "won")
        read.end = END_WON;
    else if (*end == "lost")
        read.end = END_LOST;
    else if (*end == "quit")
        read.end = END_QUIT;
    else
        return false;
    read.score = int(*score);
    read.games = int(*games);
    read.closed = *closed;
    summary = read;
    return true;
}

#include "settings/settings.h"

#include "platform/platform.h"
#include "settings/layout.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>

// The build has toml++ give a parse's error back as a value: this game throws no exceptions.
#include <toml++/toml.h>

std::string settingsPath;
Settings savedSettings;
bool settingsWritable = true;

// What the file said when it was read (or last written), as values: nothing is written while
// savedSettings keeps the same. The defaults for a missing file.
static Settings settingsOnFile;

// The text size's words: normal for false, large for true.
static const char *const TEXT_SIZES[] = {"normal", "large"};

const int GAME_SPEEDS[] = {100, 80, 60, 50, 0};

bool isChoice(const int *choices, int value) {
    for (const int *choice = choices; *choice; choice++)
        if (*choice == value) return true;
    return false;
}

std::string choicesText(const int *choices) {
    std::string text;
    for (const int *choice = choices; *choice; choice++)
        text += (text.empty() ? "" : choice[1] ? ", " : " or ") + std::to_string(*choice);
    return text;
}

const SettingEntry SETTING_ENTRIES[] = {
    {"window", "width",
     "The window's width and height in pixels, when it does not fill the screen.", &Settings::width,
     nullptr, 1, SETTINGS_MAX_SIDE},
    {"window", "height",
     "The window's width and height in pixels, when it does not fill the screen.",
     &Settings::height, nullptr, 1, SETTINGS_MAX_SIDE},
    {"window", "x",
     "Where its top-left corner stands, in pixels from the screen's; -1 lets the desktop choose.",
     &Settings::x, nullptr, -1, SETTINGS_MAX_PLACE},
    {"window", "y",
     "Where its top-left corner stands, in pixels from the screen's; -1 lets the desktop choose.",
     &Settings::y, nullptr, -1, SETTINGS_MAX_PLACE},
    {"window", "full_screen", "Whether the game fills the screen (F11 switches).", nullptr,
     &Settings::fullScreen, 0, 0},
    {"sound", "volume", "Loudness of everything heard, from 0 to 100 (- and = step it by 10).",
     &Settings::volume, nullptr, 0, 100},
    {"sound", "muted", "Whether sound is off (v switches; --mute turns it off for one game).",
     nullptr, &Settings::muted, 0, 0},
    {"drawing", "fps",
     "At most this many frames drawn a second, from 0 (as fast as the machine draws) to 1000, as "
     "--fps, while the display does not pace the drawing.",
     &Settings::fps, nullptr, 0, 1000},
    {"drawing", "vsync",
     "Whether each frame waits for the display's refresh, where the GL can (--vsync).", nullptr,
     &Settings::vsync, 0, 0},
    {"screen", "text_size", "The size of the words on the screen: \"normal\" or \"large\".",
     nullptr, &Settings::largeText, 0, 0, TEXT_SIZES},
    {"screen", "readable_text",
     "Whether the game's own lines are drawn on a band that reads over anything behind them.",
     nullptr, &Settings::readableText, 0, 0},
    {"assist", "captions",
     "Whether every sound shows a caption saying what it is and where it comes from.", nullptr,
     &Settings::captions, 0, 0},
    {"assist", "crosshair",
     "Whether a crosshair marks the view's centre, where the pick_at_centre key picks.", nullptr,
     &Settings::crosshair, 0, 0},
    {"assist", "game_speed",
     "The game's speed in percent of its full speed: 100, 80, 60 or 50, every motion in step.",
     &Settings::gameSpeed, nullptr, 50, 100, nullptr, GAME_SPEEDS},
    {"assist", "bison_marker",
     "Whether a marker at the view's edge points to the bison while it is out of view.", nullptr,
     &Settings::bisonMarker, 0, 0},
};
const int SETTING_ENTRY_COUNT = int(sizeof SETTING_ENTRIES / sizeof SETTING_ENTRIES[0]);

// The table of the player's key bindings.
static const char KEYS_TABLE[] = "keys";

bool sameSettings(const Settings &a, const Settings &b) {
    for (const SettingEntry &entry : SETTING_ENTRIES)
        if (entry.whole ? a.*entry.whole != b.*entry.whole : a.*entry.flag != b.*entry.flag)
            return false;
    return a.keys == b.keys;
}

// An entry's value as the file gives it.
static std::string valueText(const SettingEntry &entry, const Settings &settings) {
    if (entry.whole) return std::to_string(settings.*entry.whole);
    if (entry.words) return "\"" + std::string(entry.words[settings.*entry.flag]) + "\"";
    return settings.*entry.flag ? "true" : "false";
}

namespace {

struct Reader {
    Settings &settings;
    std::vector<Complaint> *complaints;

    void complain(const toml::node &node, const std::string &text) {
        if (complaints) complaints->push_back({int(node.source().begin.line), text});
    }

    void take(const SettingEntry &entry, const toml::node &node) {
        if (entry.words) {
            std::optional<std::string> value = node.value_exact<std::string>();
            for (int truth = 0; value && truth < 2; truth++)
                if (*value == entry.words[truth]) {
                    settings.*entry.flag = truth == 1;
                    return;
                }
            complain(node, std::string(entry.name) + " takes \"" + entry.words[0] + "\" or \"" +
                               entry.words[1] + "\"; the default is kept");
            return;
        }
        if (entry.flag) {
            std::optional<bool> value = node.value_exact<bool>();
            if (!value) {
                complain(node,
                         std::string(entry.name) + " takes true or false; the default is kept");
                return;
            }
            settings.*entry.flag = *value;
            return;
        }
        std::optional<int64_t> value = node.value_exact<int64_t>();
        if (entry.choices &&
            !(value && *value > 0 && *value <= INT_MAX && isChoice(entry.choices, int(*value)))) {
            complain(node, std::string(entry.name) + " takes " + choicesText(entry.choices) +
                               "; the default is kept");
            return;
        }
        if (!value || *value < entry.low || *value > entry.high) {
            complain(node, std::string(entry.name) + " takes a whole number from " +
                               std::to_string(entry.low) + " to " + std::to_string(entry.high) +
                               "; the default is kept");
            return;
        }
        settings.*entry.whole = int(*value);
    }

    // A table of SETTING_ENTRIES.
    void entries(const std::string &tableName, const toml::table &table) {
        for (const auto &[key, node] : table) {
            std::string name(key.str());
            const SettingEntry *found = nullptr;
            for (const SettingEntry &entry : SETTING_ENTRIES)
                if (tableName == entry.table && name == entry.name) found = &entry;
            if (found)
                take(*found, node);
            else
                complain(node, "unknown entry '" + tableName + "." + name + "'");
        }
    }

    void keys(const toml::table &table) {
        std::vector<KeysEntry> entries;
        for (const auto &[key, node] : table) {
            KeysEntry entry{std::string(key.str()), {}, int(node.source().begin.line)};
            bool names = true;
            if (const toml::array *list = node.as_array()) {
                for (const toml::node &item : *list) {
                    std::optional<std::string> name = item.value_exact<std::string>();
                    names = names && name;
                    if (name) entry.keys.push_back(*name);
                }
            } else if (std::optional<std::string> name = node.value_exact<std::string>()) {
                entry.keys.push_back(*name);
            } else {
                names = false;
            }
            if (!names) {
                complain(node, entry.action + " takes a list of key names, such as [\"w\", "
                                              "\"up\"]; its own keys are kept");
                continue;
            }
            entries.push_back(entry);
        }
        // toml++ keeps a table's entries in the order of their names: the file's own order
        // decides which of two entries binding one key was first.
        std::stable_sort(entries.begin(), entries.end(),
                         [](const KeysEntry &a, const KeysEntry &b) { return a.line < b.line; });
        settings.keys = resolveBindings(entries, complaints);
    }
};

} // namespace

// Whether name is a table of SETTING_ENTRIES.
static bool entriesTable(const std::string &name) {
    for (const SettingEntry &entry : SETTING_ENTRIES)
        if (name == entry.table) return true;
    return false;
}

// The tables of the file and who reads each.
static void readTables(const toml::table &root, Reader &reader) {
    for (const auto &[key, node] : root) {
        std::string name(key.str());
        const toml::table *table = node.as_table();
        if (!table)
            reader.complain(node, "unknown entry '" + name + "'");
        else if (name == KEYS_TABLE)
            reader.keys(*table);
        else if (entriesTable(name))
            reader.entries(name, *table);
        else
            reader.complain(node, "unknown table [" + name + "]");
    }
}

// The text with the bytes of statement made blank, its lines kept where they were.
static void blankOut(std::string &text, const TomlStatement &statement) {
    for (size_t at = statement.begin; at < statement.end && at < text.size(); at++)
        if (text[at] != '\n') text[at] = ' ';
}

// The statement that holds line, or the last one before it; nullptr when there is none.
static const TomlStatement *statementAt(const std::vector<TomlStatement> &statements, int line) {
    const TomlStatement *found = nullptr;
    for (const TomlStatement &statement : statements)
        if (statement.line <= line) found = &statement;
    return found;
}

// What toml++ says of text alone, "" when it reads.
static std::string parseTrouble(const std::string &text) {
    toml::parse_result result = toml::parse(std::string_view(text));
    return result ? "" : std::string(result.error().description());
}

void parseSettings(const std::string &text, Settings &settings,
                   std::vector<Complaint> *complaints) {
    // Deep nesting is refused before the parser sees it: it recurses once a level.
    // As TOML reads it, and as the recovery below cuts it when it is damaged.
    std::vector<TomlStatement> statements = scanToml(text, true);
    const TomlStatement *deep = tooDeep(statements);
    std::vector<TomlStatement> strict;
    if (!deep) {
        strict = scanToml(text);
        deep = tooDeep(strict);
    }
    if (deep) {
        if (complaints)
            complaints->push_back(
                {deep->line, "nested " + std::to_string(deep->depth) + " levels deep, more than " +
                                 std::to_string(SETTINGS_MAX_DEPTH) +
                                 " (tables, dotted keys, arrays and inline tables together); the "
                                 "file is not read, and the defaults are used"});
        return;
    }
    // A damaged entry is blanked out and the rest read again, so one bad entry costs only itself:
    // the entry the parser stopped in, or the one before it, whose brackets were never closed.
    std::string readable = text;
    for (int attempt = 0;; attempt++) {
        // Each damaged entry costs a whole parse: a file of nothing else is given up on early,
        // rather than keep the game from starting.
        if (attempt == SETTINGS_MAX_DAMAGED) {
            if (complaints)
                complaints->push_back(
                    {0, "too damaged to read on; the defaults are used for all of it"});
            return;
        }
        toml::parse_result result = toml::parse(std::string_view(readable));
        if (result) {
            Reader reader{settings, complaints};
            readTables(result.table(), reader);
            return;
        }
        int line = int(result.error().source().begin.line);
        std::string description(result.error().description());
        const TomlStatement *bad = statementAt(statements, line);
        if (!bad) {
            if (complaints) complaints->push_back({line, "not read (" + description + ")"});
            return;
        }
        // The statement the parser stopped in reads alone when the fault is the one before's.
        std::string alone = parseTrouble(text.substr(bad->begin, bad->end - bad->begin));
        if (alone.empty() && bad != &statements.front() && !(bad - 1)->whole) {
            bad = bad - 1;
            alone = parseTrouble(text.substr(bad->begin, bad->end - bad->begin));
        }
        if (complaints)
            complaints->push_back(
                {bad->line, "not read (" + (alone.empty() ? description : alone) + ")"});
        std::string shorter = readable;
        blankOut(shorter, *bad);
        if (shorter == readable) return;
        readable = shorter;
    }
}

std::string settingsText(const Settings &s) {
    std::string text = "# Grazewell's settings, written by the game when you change one while "
                       "playing.\n# Options on the command line win over these for one game and "
                       "are not kept.\n";
    const SettingEntry *before = nullptr;
    for (const SettingEntry &entry : SETTING_ENTRIES) {
        if (!before || strcmp(before->table, entry.table) != 0)
            text += "\n[" + std::string(entry.table) + "]\n";
        if (!before || strcmp(before->comment, entry.comment) != 0)
            text += "# " + std::string(entry.comment) + "\n";
        text += std::string(entry.name) + " = " + valueText(entry, s) + "\n";
        before = &entry;
    }
    return text +
           "\n# The keys of each action: one or several names (\"w\", \"space\", \"escape\", "
           "\"left\",\n# \"page_up\", \"f5\", ...), none to leave it unbound. A key does one "
           "action.\n" +
           bindingsText(s.keys);
}

namespace {

// Changes a text the player wrote, one entry at a time.
struct Rewriter {
    std::string text;

    // The entry at path, nullptr when the text has none there.
    static const TomlStatement *find(const std::vector<TomlStatement> &statements,
                                     const std::vector<std::string> &path) {
        for (const TomlStatement &statement : statements)
            if (statement.kind == TomlStatement::ENTRY && statement.path == path) return &statement;
        return nullptr;
    }

    // Sets the value of table.name to value (its comment above it when it is added).
    void set(const std::string &table, const std::string &name, const std::string &value,
             const std::string &comment) {
        std::vector<TomlStatement> statements = scanToml(text);
        if (const TomlStatement *entry = find(statements, {table, name})) {
            text.replace(entry->valueBegin, entry->valueEnd - entry->valueBegin, value);
            return;
        }
        std::string lines = "# " + comment + "\n" + name + " = " + value + "\n";
        // After the last entry of the table's own section, or below its header.
        size_t at = std::string::npos;
        bool inSection = false;
        for (const TomlStatement &statement : statements) {
            if (statement.kind == TomlStatement::HEADER) {
                inSection =
                    !statement.arrayTable && statement.path == std::vector<std::string>{table};
                if (inSection) at = statement.end;
            } else if (inSection && statement.kind == TomlStatement::ENTRY) {
                at = statement.end;
            }
        }
        if (at == std::string::npos) {
            if (!text.empty() && text.back() != '\n') text += "\n";
            text += "\n[" + table + "]\n" + lines;
            return;
        }
        // A last line without its line feed gets one before what follows.
        if (at > 0 && text[at - 1] != '\n') {
            text.insert(at, "\n");
            at++;
        }
        text.insert(at, lines);
    }
};

} // namespace

std::string rewrittenSettings(const std::string &text, const Settings &from, const Settings &to) {
    Rewriter rewriter{text};
    Settings said = from;
    // A key bound anew can leave another action's defaults to read otherwise (an action not named
    // keeps its defaults less the keys named elsewhere): whatever the new text does not read as
    // to is written out in turn, until it does.
    for (int round = 0; round < 4; round++) {
        bool changed = false;
        for (const SettingEntry &entry : SETTING_ENTRIES)
            if (valueText(entry, said) != valueText(entry, to)) {
                rewriter.set(entry.table, entry.name, valueText(entry, to), entry.comment);
                changed = true;
            }
        for (int action = 0; action < actionCount(); action++)
            if (said.keys[size_t(action)] != to.keys[size_t(action)]) {
                rewriter.set(KEYS_TABLE, actionName(action), keysValue(to.keys[size_t(action)]),
                             actionWords(action));
                changed = true;
            }
        said = Settings();
        std::vector<Complaint> complaints;
        parseSettings(rewriter.text, said, &complaints);
        if (!complaints.empty()) break;
        if (sameSettings(said, to)) return rewriter.text;
        if (!changed) break;
    }
    // Where the player's text cannot be brought to say it, the game's own text does.
    return settingsText(to);
}

std::string settingsFileIn(const std::string &folder) {
    return folder.empty() ? "" : folder + "/settings.toml";
}

static void complainOf(const std::string &path, const Complaint &complaint) {
    if (complaint.line > 0)
        fprintf(stderr, "grazewell: %s:%d: %s\n", path.c_str(), complaint.line,
                complaint.text.c_str());
    else
        fprintf(stderr, "grazewell: %s: %s\n", path.c_str(), complaint.text.c_str());
}

// How reading a settings file went.
enum FileState { FILE_MISSING, FILE_READ, FILE_UNREADABLE, FILE_PARTLY_READ, FILE_TOO_LONG };

// The whole of the file at path into *text.
static FileState readSettingsFile(const std::string &path, std::string *text) {
    if (!pathExists(path)) return FILE_MISSING;
    FILE *file = openRegularFile(path.c_str());
    long size = file ? regularFileSize(file) : -1;
    if (!file || size < 0 || size > SETTINGS_MAX_BYTES) {
        if (file) fclose(file);
        return !file || size < 0 ? FILE_UNREADABLE : FILE_TOO_LONG;
    }
    text->assign(size_t(size), '\0');
    size_t got = fread(&(*text)[0], 1, text->size(), file);
    bool whole = got == text->size() && fgetc(file) == EOF && !ferror(file);
    fclose(file);
    return whole ? FILE_READ : FILE_PARTLY_READ;
}

bool loadSettings(const std::string &path, Settings &settings) {
    // What is on the disk now is this file's, or nothing: never an earlier file's.
    settingsOnFile = settings;
    std::string text;
    switch (readSettingsFile(path, &text)) {
    case FILE_MISSING:
        return true;
    case FILE_UNREADABLE:
        complainOf(path, {0, "cannot be read; the defaults are used"});
        return false;
    case FILE_PARTLY_READ:
        complainOf(path, {0, "could not be read whole; the defaults are used"});
        return false;
    case FILE_TOO_LONG:
        complainOf(path, {0, "too long for a settings file; the defaults are used"});
        return false;
    case FILE_READ:
        break;
    }
    std::vector<Complaint> complaints;
    parseSettings(text, settings, &complaints);
    std::stable_sort(complaints.begin(), complaints.end(),
                     [](const Complaint &a, const Complaint &b) {
                         // What concerns the whole file comes after its lines.
                         return (a.line ? a.line : INT_MAX) < (b.line ? b.line : INT_MAX);
                     });
    for (size_t i = 0; i < complaints.size() && i < size_t(SETTINGS_MAX_TOLD); i++)
        complainOf(path, complaints[i]);
    if (complaints.size() > size_t(SETTINGS_MAX_TOLD))
        complainOf(path, {0, "and " + std::to_string(complaints.size() - SETTINGS_MAX_TOLD) +
                                 " more lines not taken"});
    settingsOnFile = settings;
    return complaints.empty();
}

// Makes every folder above path that is missing.
static bool makeFoldersAbove(const std::string &path, std::string *reason) {
    for (size_t at = path.find_first_of("/\\", 1); at != std::string::npos;
         at = path.find_first_of("/\\", at + 1)) {
        std::string folder = path.substr(0, at);
        // A drive ("C:") is no folder to make.
        if (folder.size() == 2 && folder[1] == ':') continue;
        if (!makeFolder(folder.c_str())) {
            *reason = folder + ": " + strerror(errno);
            return false;
        }
    }
    return true;
}

// The file path leads to through symbolic links (path itself when it is none); a link's target
// is taken from the folder the link is in.
static std::string throughLinks(const std::string &path) {
    namespace fs = std::filesystem;
    fs::path at(path);
    std::error_code error;
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(at, error)); hops++) {
        fs::path target = fs::read_symlink(at, error);
        if (error) break;
        at = target.is_absolute() ? target : at.parent_path() / target;
    }
    return at.generic_string();
}

bool writeSettings(const std::string &path, const Settings &settings, std::string *reason) {
    std::string target = throughLinks(path);
    std::string old, text;
    switch (readSettingsFile(target, &old)) {
    case FILE_MISSING:
        text = settingsText(settings);
        break;
    case FILE_READ: {
        Settings said;
        std::vector<Complaint> complaints;
        parseSettings(old, said, &complaints);
        if (!complaints.empty()) {
            *reason = target + ": it does not read whole and well now, so it is left as it is";
            return false;
        }
        text = rewrittenSettings(old, said, settings);
        if (text == old) return true;
        break;
    }
    case FILE_UNREADABLE:
    case FILE_PARTLY_READ:
    case FILE_TOO_LONG:
        *reason = target + ": it cannot be read whole now, so it is left as it is";
        return false;
    }
    if (!makeFoldersAbove(target, reason)) return false;
    std::string temporary = target + ".new";
    // One left by a game that ended while writing it is only a partial copy.
    remove(temporary.c_str());
    FILE *file = createNewFile(temporary.c_str());
    if (!file) {
        *reason = temporary + ": " + strerror(errno);
        return false;
    }
    bool written = fwrite(text.data(), 1, text.size(), file) == text.size();
    // Flushed to the disk before the rename: a crash then leaves either file whole.
    if (!finishFile(file) || !written) {
        *reason = temporary + ": " + strerror(errno ? errno : EIO);
        remove(temporary.c_str());
        return false;
    }
    // The player's file keeps who may read and write it.
    std::error_code error;
    if (!old.empty())
        std::filesystem::permissions(temporary,
                                     std::filesystem::status(target, error).permissions(), error);
    if (!replaceFile(temporary.c_str(), target.c_str())) {
        *reason = target + ": " + strerror(errno);
        remove(temporary.c_str());
        return false;
    }
    return true;
}

void saveSettings() {
    static bool toldNotKept = false;
    if (settingsPath.empty() || sameSettings(savedSettings, settingsOnFile)) return;
    std::string reason;
    if (!settingsWritable) {
        reason = "it could not be read whole, so it is left as it is";
    } else if (writeSettings(settingsPath, savedSettings, &reason)) {
        settingsOnFile = savedSettings;
        return;
    }
    if (!toldNotKept)
        fprintf(stderr, "grazewell: %s: this game's settings are not kept: %s\n",
                settingsPath.c_str(), reason.c_str());
    toldNotKept = true;
}

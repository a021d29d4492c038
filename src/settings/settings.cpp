#include "settings/settings.h"

#include "platform/platform.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <sstream>

// The build has toml++ give a parse's error back as a value: this game throws no exceptions.
#include <toml++/toml.h>

std::string settingsPath;
Settings savedSettings;
bool settingsWritable = true;

// What the file held when it was read (or last written): nothing is written when it is unchanged.
static std::string settingsOnDisk;

namespace {

struct Reader {
    Settings &settings;
    std::vector<Complaint> *complaints;

    void complain(const toml::node &node, const std::string &text) {
        if (complaints) complaints->push_back({int(node.source().begin.line), text});
    }

    void whole(const toml::node &node, const char *name, int low, int high, int &field) {
        std::optional<int64_t> value = node.value_exact<int64_t>();
        if (!value || *value < low || *value > high) {
            complain(node, std::string(name) + " takes a whole number from " + std::to_string(low) +
                               " to " + std::to_string(high) + "; the default is kept");
            return;
        }
        field = int(*value);
    }

    void flag(const toml::node &node, const char *name, bool &field) {
        std::optional<bool> value = node.value_exact<bool>();
        if (!value) {
            complain(node, std::string(name) + " takes true or false; the default is kept");
            return;
        }
        field = *value;
    }

    void window(const toml::table &table) {
        for (const auto &[key, node] : table) {
            std::string name(key.str());
            if (name == "width")
                whole(node, "width", 1, SETTINGS_MAX_SIDE, settings.width);
            else if (name == "height")
                whole(node, "height", 1, SETTINGS_MAX_SIDE, settings.height);
            else if (name == "x")
                whole(node, "x", -1, SETTINGS_MAX_PLACE, settings.x);
            else if (name == "y")
                whole(node, "y", -1, SETTINGS_MAX_PLACE, settings.y);
            else if (name == "full_screen")
                flag(node, "full_screen", settings.fullScreen);
            else
                complain(node, "unknown entry 'window." + name + "'");
        }
    }

    void sound(const toml::table &table) {
        for (const auto &[key, node] : table) {
            std::string name(key.str());
            if (name == "volume")
                whole(node, "volume", 0, 100, settings.volume);
            else if (name == "muted")
                flag(node, "muted", settings.muted);
            else
                complain(node, "unknown entry 'sound." + name + "'");
        }
    }

    void drawing(const toml::table &table) {
        for (const auto &[key, node] : table) {
            std::string name(key.str());
            if (name == "fps")
                whole(node, "fps", 0, 1000, settings.fps);
            else if (name == "vsync")
                flag(node, "vsync", settings.vsync);
            else
                complain(node, "unknown entry 'drawing." + name + "'");
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

// The tables of the file and who reads each.
static void readTables(const toml::table &root, Reader &reader) {
    for (const auto &[key, node] : root) {
        std::string name(key.str());
        const toml::table *table = node.as_table();
        if (!table) {
            reader.complain(node, "unknown entry '" + name + "'");
        } else if (name == "window") {
            reader.window(*table);
        } else if (name == "sound") {
            reader.sound(*table);
        } else if (name == "drawing") {
            reader.drawing(*table);
        } else if (name == "keys") {
            reader.keys(*table);
        } else {
            reader.complain(node, "unknown table [" + name + "]");
        }
    }
}

// The text with line number line (from 1) made empty, its other lines where they were.
static std::string withoutLine(const std::string &text, size_t line) {
    size_t start = 0;
    for (size_t n = 1; n < line && start != std::string::npos; n++) {
        start = text.find('\n', start);
        if (start != std::string::npos) start++;
    }
    if (start == std::string::npos || start >= text.size()) return text;
    size_t end = text.find('\n', start);
    return text.substr(0, start) + (end == std::string::npos ? "" : text.substr(end));
}

void parseSettings(const std::string &text, Settings &settings,
                   std::vector<Complaint> *complaints) {
    // A damaged line is dropped and the rest read again, so one bad line costs only itself.
    std::string readable = text;
    for (int attempt = 0;; attempt++) {
        // Each damaged line costs a whole parse: a file of nothing else is given up on early,
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
        const toml::parse_error &error = result.error();
        size_t line = error.source().begin.line;
        if (complaints)
            complaints->push_back(
                {int(line), "not read (" + std::string(error.description()) + ")"});
        std::string shorter = withoutLine(readable, line);
        if (shorter == readable) return;
        readable = shorter;
    }
}

static std::string yesNo(bool value) {
    return value ? "true" : "false";
}

std::string settingsText(const Settings &s) {
    std::ostringstream text;
    text << "# Grazewell's settings, written by the game when you change one while playing.\n"
            "# Options on the command line win over these for one game and are not kept.\n"
            "\n[window]\n"
            "# The window's width and height in pixels, when it does not fill the screen.\n"
         << "width = " << s.width << "\nheight = " << s.height
         << "\n# Where its top-left corner stands, in pixels from the screen's; -1 lets the "
            "desktop choose.\n"
         << "x = " << s.x << "\ny = " << s.y
         << "\n# Whether the game fills the screen (F11 switches).\n"
         << "full_screen = " << yesNo(s.fullScreen)
         << "\n\n[sound]\n# Loudness of everything heard, from 0 to 100 (- and = step it by "
         << VOLUME_STEP << ").\nvolume = " << s.volume
         << "\n# Whether sound is off (v switches; --mute turns it off for one game).\n"
         << "muted = " << yesNo(s.muted)
         << "\n\n[drawing]\n# At most this many frames drawn a second, from 0 (as fast as the "
            "machine draws) to 1000, as --fps,\n# while the display does not pace the drawing.\n"
         << "fps = " << s.fps
         << "\n# Whether each frame waits for the display's refresh, where the GL can (--vsync).\n"
         << "vsync = " << yesNo(s.vsync)
         << "\n\n# The keys of each action: one or several names (\"w\", \"space\", "
            "\"escape\", \"left\",\n# \"page_up\", \"f5\", ...), none to leave it unbound. A key "
            "does one action.\n"
         << bindingsText(s.keys);
    return text.str();
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

bool loadSettings(const std::string &path, Settings &settings) {
    // What is on the disk now is this file's, or nothing: never an earlier file's.
    settingsOnDisk.clear();
    if (!pathExists(path)) return true;
    FILE *file = openRegularFile(path.c_str());
    long size = file ? regularFileSize(file) : -1;
    if (!file || size < 0 || size > SETTINGS_MAX_BYTES) {
        complainOf(path, {0, !file || size < 0 ? "cannot be read; the defaults are used"
                                               : "too long for a settings file; the defaults "
                                                 "are used"});
        if (file) fclose(file);
        return false;
    }
    std::string text(size_t(size), '\0');
    size_t got = fread(&text[0], 1, text.size(), file);
    bool whole = got == text.size() && fgetc(file) == EOF && !ferror(file);
    fclose(file);
    if (!whole) {
        complainOf(path, {0, "could not be read whole; the defaults are used"});
        return false;
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
    settingsOnDisk = text;
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

bool writeSettings(const std::string &path, const Settings &settings, std::string *reason) {
    std::string text = settingsText(settings);
    if (!makeFoldersAbove(path, reason)) return false;
    std::string temporary = path + ".new";
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
    if (!replaceFile(temporary.c_str(), path.c_str())) {
        *reason = path + ": " + strerror(errno);
        remove(temporary.c_str());
        return false;
    }
    return true;
}

void saveSettings() {
    static bool toldNotKept = false;
    if (settingsPath.empty()) return;
    std::string text = settingsText(savedSettings);
    if (text == settingsOnDisk) return;
    // The first write makes the file, a missing file being the defaults.
    if (settingsOnDisk.empty() && text == settingsText(Settings())) return;
    std::string reason;
    if (!settingsWritable) {
        reason = "it could not be read whole, so it is left as it is";
    } else if (writeSettings(settingsPath, savedSettings, &reason)) {
        settingsOnDisk = text;
        return;
    }
    if (!toldNotKept)
        fprintf(stderr, "grazewell: %s: this game's settings are not kept: %s\n",
                settingsPath.c_str(), reason.c_str());
    toldNotKept = true;
}

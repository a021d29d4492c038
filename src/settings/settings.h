// The player's settings file: what a player sets is kept from one game to the next, in TOML, in
// the platform's folder for settings (platform.h) or where --settings says. The file is written
// only when a value the game keeps differs from what it says, and then only those values change
// in the player's own text (comments, order, blank lines and entries the game does not know are
// kept); never over a file the game could not read whole.
#pragma once

#include "input/bindings.h"

#include <string>
#include <vector>

// What the file keeps. Each field's default is the game's own, so a missing file plays as ever.
struct Settings {
    int width = 1000;          // the window's width when not full screen (pixels)
    int height = 500;          // and its height
    int x = -1;                // the window's left edge on the screen (pixels); -1: the desktop's
    int y = -1;                // its top edge; -1: the desktop's choice
    bool fullScreen = false;   // the game fills the screen (F11)
    int volume = 100;          // loudness of everything heard (percent)
    bool muted = false;        // sound is off (v)
    int fps = 60;              // the --fps cap: at most this many frames drawn a second, 0 for none
    bool vsync = true;         // each frame waits for the display's refresh, where the GL can
    bool largeText = false;    // the screen's words drawn large (text_size = "large")
    bool readableText = false; // the game's own lines drawn on a band (readable_text)
    bool captions = false;     // every sound captioned, with where it comes from
    bool crosshair = false;    // a crosshair marks the view's centre (pick_at_centre picks there)
    int gameSpeed = 100;       // the game's speed: percent of its 60 ticks a second (game_speed)
    bool bisonMarker = false;  // a marker at the view's edge points to the bison out of view
    Bindings keys = defaultBindings(); // the keys of each action (input/bindings.h)
};

// The largest window side taken from the file (pixels).
const int SETTINGS_MAX_SIDE = 16384;
// The farthest a window's corner is placed from the screen's (pixels).
const int SETTINGS_MAX_PLACE = 32767;
// The largest settings file read (bytes): anything longer is no settings file of this game.
const long SETTINGS_MAX_BYTES = 1 << 20;
// Damaged lines read past before a file is given up on (each costs a parse of the whole file).
const int SETTINGS_MAX_DAMAGED = 32;
// Lines not taken that are named on standard error; the rest are counted in one more line.
const int SETTINGS_MAX_TOLD = 20;
// The step the volume keys take (percent).
const int VOLUME_STEP = 10;

// The game's speeds a player may choose (percent), fastest first; 0 ends the list.
extern const int GAME_SPEEDS[];
// Whether value is one of choices (a list ending in 0, as GAME_SPEEDS).
bool isChoice(const int *choices, int value);
// The choices in words: "100, 80, 60 or 50".
std::string choicesText(const int *choices);

// One entry the file keeps (the keys apart, in their own table): its table and name, its comment
// line, and the field of Settings it keeps, a whole number from low to high (or one of a list) or
// a flag. A new setting is a field of Settings and one row of SETTING_ENTRIES.
struct SettingEntry {
    const char *table;    // "window"
    const char *name;     // "width"
    const char *comment;  // the line above it, without "# " (one line for a run of entries)
    int Settings::*whole; // the field of a whole number, else nullptr
    bool Settings::*flag; // the field of a flag, else nullptr
    int low, high;        // a whole number's range
    // A flag's two values in words, false's then true's ("normal", "large"), or nullptr for
    // false and true themselves.
    const char *const *words = nullptr;
    // The only whole numbers taken, ending in 0 (GAME_SPEEDS), or nullptr for any from low to
    // high.
    const int *choices = nullptr;
};
// Every entry, in the order of the file the game writes.
extern const SettingEntry SETTING_ENTRIES[];
extern const int SETTING_ENTRY_COUNT;
// Whether two settings keep the same values, entry by entry and key by key.
bool sameSettings(const Settings &a, const Settings &b);

// Reads settings from text, the file's whole contents: what is well formed and in range is taken
// over the defaults in settings; each line that is not (a damaged line, an unknown entry, a value
// out of range, a key bound twice) adds a complaint and leaves its default.
void parseSettings(const std::string &text, Settings &settings, std::vector<Complaint> *complaints);
// The file's text for settings, each entry with a comment line saying what it does.
std::string settingsText(const Settings &settings);
// The player's text (read whole and well as from) with each value that differs in to changed in
// place, and any entry missing from it added to its table (or the table to the end), every other
// byte as it was; when the text cannot be changed so (an entry kept where it cannot be reached,
// as in an inline table), the whole of settingsText(to).
std::string rewrittenSettings(const std::string &text, const Settings &from, const Settings &to);

// The file the game reads and writes its settings in: the platform's, or --settings's.
extern std::string settingsPath;
// The settings as the file holds them, with what the player has changed in this game since: what
// would be written. Command-line options that override them for one game are not in it.
extern Settings savedSettings;
// The file was missing or read whole and well, so it may be written over.
extern bool settingsWritable;

// The file's path in folder, the platform's folder for settings ("" when there is none).
std::string settingsFileIn(const std::string &folder);

// Reads path into settings (defaults where it says nothing). A missing file is no fault. A file
// that cannot be read, or with lines that are not taken, is named on standard error (once, each
// line with its number) and is never written over: false then.
bool loadSettings(const std::string &path, Settings &settings);
// Writes settings into path: the file there, rewritten (rewrittenSettings), or settingsText for a
// new one; written whole into a temporary file beside it, then renamed over it, making the
// folders above it when missing. A symbolic link is written through: the file it leads to is
// rewritten, and the link stays. False, with the reason, when it could not (a file there now that
// cannot be read whole and well included); the file is then as it was.
bool writeSettings(const std::string &path, const Settings &settings, std::string *reason);
// Writes savedSettings to settingsPath when it may and a value differs from those the file was
// read with (or last written); says once on standard error when a change could not be kept.
void saveSettings();

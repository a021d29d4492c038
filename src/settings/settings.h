// The player's settings file: what a player sets is kept from one game to the next, in TOML, in
// the platform's folder for settings (platform.h) or where --settings says. Only what the player
// changes is ever written, and never over a file the game could not read whole.
#pragma once

#include "input/bindings.h"

#include <string>
#include <vector>

// What the file keeps. Each field's default is the game's own, so a missing file plays as ever.
struct Settings {
    int width = 1000;        // the window's width when not full screen (pixels)
    int height = 500;        // and its height
    int x = -1;              // the window's left edge on the screen (pixels); -1: the desktop's
    int y = -1;              // its top edge; -1: the desktop's choice
    bool fullScreen = false; // the game fills the screen (F11)
    int volume = 100;        // loudness of everything heard (percent)
    bool muted = false;      // sound is off (v)
    int fps = 60;            // the --fps cap: at most this many frames drawn a second, 0 for none
    bool vsync = true;       // each frame waits for the display's refresh, where the GL can
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

// Reads settings from text, the file's whole contents: what is well formed and in range is taken
// over the defaults in settings; each line that is not (a damaged line, an unknown entry, a value
// out of range, a key bound twice) adds a complaint and leaves its default.
void parseSettings(const std::string &text, Settings &settings, std::vector<Complaint> *complaints);
// The file's text for settings, each entry with a comment line saying what it does.
std::string settingsText(const Settings &settings);

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
// Writes settings into path whole: into a temporary file beside it, then renamed over it, making
// the folders above it when missing. False, with the reason, when it could not; the file is then
// as it was.
bool writeSettings(const std::string &path, const Settings &settings, std::string *reason);
// Writes savedSettings to settingsPath when it may and they differ from what it holds; says once
// on standard error when a change could not be kept.
void saveSettings();

// The options screen's model: its items, where the player stands among them, and what each key,
// click and turn of the wheel does. Every choice acts at once and is kept in the settings file
// (settings.h), as the player's own keys are: nothing here reaches the game or its recording.
// No GL: overlay.h draws it.
#pragma once

#include "input/bindings.h"

#include <string>
#include <vector>

// What the options ask of the shell that owns what they cannot reach themselves.
enum OptionsAskKind {
    ASK_NOTHING,
    ASK_PREFERENCE, // act on preference, as its key would (sound, volume, full screen)
    ASK_FPS,        // the drawing's cap is now savedSettings.fps
    ASK_GAME_SPEED, // the game's speed asked is now savedSettings.gameSpeed
    ASK_CLOSED,     // the screen closed: the game may go on
};
struct OptionsAsk {
    OptionsAskKind kind = ASK_NOTHING;
    Preference preference = PREFERENCE_COUNT;
};

// An item of the options' first list: its label, its value in words ("" for an item that does
// something rather than holds a value), and what a step does (-1: left; +1: right, Enter or a
// click). A new option is one row of OPTION_ITEMS.
struct OptionItem {
    const char *name; // for tests and the man page: "volume", "keys", ...
    const char *label;
    std::string (*value)();
    OptionsAsk (*step)(int direction);
};
extern const OptionItem OPTION_ITEMS[];
extern const int OPTION_ITEM_COUNT;
// The item called name, or -1.
int optionItemNamed(const std::string &name);

// The keys' list of the options: two rows that bind many keys at once, then one row an action.
const int KEYS_ROW_ARROWS = 0;   // the arrows walk and turn
const int KEYS_ROW_DEFAULTS = 1; // every key back to the game's own
const int KEYS_FIRST_ACTION = 2;

enum OptionsLevel { OPTIONS_MAIN, OPTIONS_KEYS };

// Where the player stands in the options.
struct OptionsScreen {
    bool shown = false;
    OptionsLevel level = OPTIONS_MAIN;
    int selected = 0;     // the row chosen in the level's list
    int first = 0;        // the first row shown
    int rowsShown = 0;    // rows the screen last found room for (0: not yet drawn)
    int mainSelected = 0; // the first list's row, kept while the keys' list is open
    int binding = -1;     // the action waiting for a key, or -1
    int conflictKey = -1; // the key it was given, bound to another action: moved when confirmed
    std::string said;     // what the last step did or asks, shown at the foot
};
extern OptionsScreen optionsScreen;

// Opens the screen at its first list, or closes it.
void openOptions();
void closeOptions();
// The rows of the level shown, each "label\tvalue" (or a label alone).
std::vector<std::string> optionRows();
// The screen's head and foot lines.
std::string optionsTitle();
std::vector<std::string> optionsFoot();
// A key pressed while the screen shows, in the key numbers of bindings.h: arrows move and
// change, Enter chooses, Escape goes back a level (and closes the first), Delete or Backspace
// clears an action's keys, the options' own key closes. While an action waits for its key, the
// key pressed is taken (Escape gives up).
OptionsAsk optionsKey(int key);
// Row row of the level chosen, by a click (direction as OptionItem::step).
OptionsAsk optionsChooseRow(int row, int direction);
// The wheel: the rows shown move by rows (up when negative), the choice staying among them.
void optionsScroll(int rows);
// The screen found room for rows rows from first (the layout's word): the choice kept in sight.
void optionsRoomFor(int first, int rows);

#include "hud/options.h"

#include "clock/clock.h"
#include "hud/assists.h"
#include "hud/screen_text.h"
#include "settings/settings.h"
#include "sound/captions.h"
#include "sound/sound.h"

#include <GL/freeglut.h>
#include <algorithm>

OptionsScreen optionsScreen;

// The keys the screen itself answers to, beside Escape (the game's own KEY_ESCAPE).
static const int KEY_ENTER = '\r', KEY_BACKSPACE = 8, KEY_DELETE = 127;
static const int KEY_UP = SPECIAL_KEY + GLUT_KEY_UP, KEY_DOWN = SPECIAL_KEY + GLUT_KEY_DOWN;
static const int KEY_LEFT = SPECIAL_KEY + GLUT_KEY_LEFT, KEY_RIGHT = SPECIAL_KEY + GLUT_KEY_RIGHT;
static const int KEY_PAGE_UP = SPECIAL_KEY + GLUT_KEY_PAGE_UP;
static const int KEY_PAGE_DOWN = SPECIAL_KEY + GLUT_KEY_PAGE_DOWN;
static const int KEY_HOME = SPECIAL_KEY + GLUT_KEY_HOME, KEY_END = SPECIAL_KEY + GLUT_KEY_END;

// The drawing caps offered (frames a second; 0: none). A cap from the file between two is stepped
// from to the next.
static const int FPS_CHOICES[] = {0, 30, 60, 120, 144, 240};

static OptionsAsk asking(Preference preference) {
    return {ASK_PREFERENCE, preference};
}

static std::string onOff(bool on) {
    return on ? "on" : "off";
}

static std::string volumeValue() {
    return "< " + std::to_string(savedSettings.volume) + " >";
}
static OptionsAsk stepVolume(int direction) {
    if (direction < 0 && savedSettings.volume > 0) return asking(PREFERENCE_VOLUME_DOWN);
    if (direction > 0 && savedSettings.volume < 100) return asking(PREFERENCE_VOLUME_UP);
    return {};
}

static std::string soundValue() {
    return onOff(soundOn);
}
static OptionsAsk stepSound(int) {
    return asking(PREFERENCE_MUTE);
}

static std::string fullScreenValue() {
    return onOff(savedSettings.fullScreen);
}
static OptionsAsk stepFullScreen(int) {
    return asking(PREFERENCE_FULL_SCREEN);
}

static std::string fpsValue() {
    std::string cap =
        savedSettings.fps == 0 ? "none" : std::to_string(savedSettings.fps) + " frames a second";
    return "< " + cap + " >";
}
static OptionsAsk stepFps(int direction) {
    int now = savedSettings.fps, count = int(sizeof FPS_CHOICES / sizeof FPS_CHOICES[0]);
    int next = now;
    if (direction > 0) {
        for (int i = 0; i < count && next == now; i++)
            if (FPS_CHOICES[i] > now) next = FPS_CHOICES[i];
    } else {
        for (int i = count - 1; i >= 0 && next == now; i--)
            if (FPS_CHOICES[i] < now) next = FPS_CHOICES[i];
    }
    if (next == now) return {};
    savedSettings.fps = next;
    saveSettings();
    return {ASK_FPS};
}

static std::string textSizeValue() {
    return largeText ? "large" : "normal";
}
static OptionsAsk stepTextSize(int) {
    largeText = !largeText;
    savedSettings.largeText = largeText;
    saveSettings();
    return {};
}

static std::string readableValue() {
    return onOff(readableText);
}
static OptionsAsk stepReadable(int) {
    readableText = !readableText;
    savedSettings.readableText = readableText;
    saveSettings();
    return {};
}

// An assist's switch: the flag in force and the setting it is kept in.
static OptionsAsk switchAssist(bool &inForce, bool Settings::*kept) {
    inForce = !inForce;
    savedSettings.*kept = inForce;
    saveSettings();
    return {};
}

static std::string captionsValue() {
    return onOff(captionsOn);
}
static OptionsAsk stepCaptions(int) {
    return switchAssist(captionsOn, &Settings::captions);
}

static std::string crosshairValue() {
    return onOff(crosshairShown);
}
static OptionsAsk stepCrosshair(int) {
    return switchAssist(crosshairShown, &Settings::crosshair);
}

static std::string bisonMarkerValue() {
    return onOff(bisonMarkerShown);
}
static OptionsAsk stepBisonMarker(int) {
    return switchAssist(bisonMarkerShown, &Settings::bisonMarker);
}

// The game's speed in force (the settings', --game-speed's, or a replay's own).
static std::string gameSpeedValue() {
    return "< " + std::to_string(gameSpeed) + "% >";
}
// Left slower, right faster, among GAME_SPEEDS (fastest first); a speed from elsewhere between
// two steps to the next. Kept in the settings, and asked of the shell, which hands it to the game.
static OptionsAsk stepGameSpeed(int direction) {
    int now = gameSpeed, next = now;
    for (const int *speed = GAME_SPEEDS; *speed; speed++)
        if (direction > 0 ? *speed > now && (next == now || *speed < next)
                          : *speed < now && (next == now || *speed > next))
            next = *speed;
    if (next == now) return {};
    savedSettings.gameSpeed = next;
    saveSettings();
    return {ASK_GAME_SPEED};
}

static std::string noValue() {
    return "";
}
static OptionsAsk openKeys(int) {
    optionsScreen.mainSelected = optionsScreen.selected;
    optionsScreen.level = OPTIONS_KEYS;
    optionsScreen.selected = optionsScreen.first = 0;
    return {};
}
static OptionsAsk closeStep(int) {
    closeOptions();
    return {ASK_CLOSED};
}

const OptionItem OPTION_ITEMS[] = {
    {"volume", "Volume", volumeValue, stepVolume},
    {"sound", "Sound", soundValue, stepSound},
    {"full_screen", "Full screen", fullScreenValue, stepFullScreen},
    {"fps", "Drawing cap", fpsValue, stepFps},
    {"text_size", "Text size", textSizeValue, stepTextSize},
    {"readable_text", "Readable text", readableValue, stepReadable},
    {"captions", "Captions", captionsValue, stepCaptions},
    {"crosshair", "Crosshair", crosshairValue, stepCrosshair},
    {"game_speed", "Game speed", gameSpeedValue, stepGameSpeed},
    {"bison_marker", "Bison marker", bisonMarkerValue, stepBisonMarker},
    {"keys", "Keys...", noValue, openKeys},
    {"close", "Close", noValue, closeStep},
};
const int OPTION_ITEM_COUNT = int(sizeof OPTION_ITEMS / sizeof OPTION_ITEMS[0]);

int optionItemNamed(const std::string &name) {
    for (int i = 0; i < OPTION_ITEM_COUNT; i++)
        if (name == OPTION_ITEMS[i].name) return i;
    return -1;
}

static int rowCount() {
    return optionsScreen.level == OPTIONS_MAIN ? OPTION_ITEM_COUNT
                                               : KEYS_FIRST_ACTION + actionCount();
}

// An action as the options name it: its name in the file, in words.
static std::string actionLabel(int action) {
    std::string label = actionName(action);
    std::replace(label.begin(), label.end(), '_', ' ');
    return label;
}

static std::string quotedKey(int key) {
    return "'" + keyName(key) + "'";
}

// The action key is bound to under bindings, or -1.
static int actionOfKey(const Bindings &bindings, int key) {
    for (size_t action = 0; action < bindings.size(); action++)
        if (std::find(bindings[action].begin(), bindings[action].end(), key) !=
            bindings[action].end())
            return int(action);
    return -1;
}

// The keys in force changed: kept in the file, as every key's binding is.
static void keepKeys() {
    savedSettings.keys = keysInForce;
    saveSettings();
}

static void removeKey(int action, int key) {
    std::vector<int> &keys = keysInForce[size_t(action)];
    keys.erase(std::remove(keys.begin(), keys.end(), key), keys.end());
}

// The options' own key is the way back to them: the last one is never taken away here.
static bool lastOptionsKey(int action) {
    return action == preferenceAction(PREFERENCE_OPTIONS) &&
           keysInForce[size_t(action)].size() <= 1;
}

static void walkWithArrows() {
    static const struct {
        const char *action;
        int arrow;
    } ARROWS[] = {{"walk_forward", KEY_UP},
                  {"walk_backward", KEY_DOWN},
                  {"turn_left", KEY_LEFT},
                  {"turn_right", KEY_RIGHT}};
    for (const auto &arrow : ARROWS)
        for (int action = 0; action < actionCount(); action++) removeKey(action, arrow.arrow);
    for (const auto &arrow : ARROWS) {
        std::vector<int> &keys = keysInForce[size_t(actionNamed(arrow.action))];
        keys.insert(keys.begin(), arrow.arrow);
    }
    keepKeys();
    optionsScreen.said = "The arrows walk and turn; looking up and down keep their keys";
}

static void clearKeys(int action) {
    if (lastOptionsKey(action) && !keysInForce[size_t(action)].empty()) {
        optionsScreen.said = "The options keep their key: it is the way back here";
        return;
    }
    keysInForce[size_t(action)].clear();
    keepKeys();
    optionsScreen.said = actionLabel(action) + " has no key now";
}

static void bindKey(int action, int key) {
    keysInForce[size_t(action)].push_back(key);
    keepKeys();
    optionsScreen.said = quotedKey(key) + " now does " + actionLabel(action);
}

// The key pressed for the action waiting for one.
static void takeKeyFor(int key) {
    int action = optionsScreen.binding;
    if (optionsScreen.conflictKey >= 0) {
        int moved = optionsScreen.conflictKey, from = actionOfKey(keysInForce, moved);
        optionsScreen.binding = optionsScreen.conflictKey = -1;
        if (key != KEY_ENTER || from < 0) {
            optionsScreen.said = quotedKey(moved) + " stays with " +
                                 (from < 0 ? std::string("no action") : actionLabel(from));
            return;
        }
        removeKey(from, moved);
        bindKey(action, moved);
        optionsScreen.said += " (no longer " + actionLabel(from) + ")";
        return;
    }
    if (key == KEY_ESCAPE) {
        optionsScreen.binding = -1;
        optionsScreen.said = "No key bound";
        return;
    }
    // A key without a name (a modifier, a control character) cannot be kept in the file.
    if (keyName(key).empty()) return;
    int owner = actionOfKey(keysInForce, key);
    if (owner == action) {
        optionsScreen.binding = -1;
        optionsScreen.said = quotedKey(key) + " already does " + actionLabel(action);
        return;
    }
    if (owner >= 0 && lastOptionsKey(owner)) {
        optionsScreen.binding = -1;
        optionsScreen.said = quotedKey(key) + " opens the options, and stays their key";
        return;
    }
    if (owner >= 0) {
        optionsScreen.conflictKey = key;
        return;
    }
    optionsScreen.binding = -1;
    bindKey(action, key);
}

static void moveTo(int row) {
    int count = rowCount();
    optionsScreen.selected = std::min(std::max(row, 0), count - 1);
    optionsRoomFor(optionsScreen.first, optionsScreen.rowsShown);
}

static OptionsAsk goBack() {
    if (optionsScreen.level == OPTIONS_KEYS) {
        optionsScreen.level = OPTIONS_MAIN;
        optionsScreen.first = 0;
        moveTo(optionsScreen.mainSelected);
        return {};
    }
    closeOptions();
    return {ASK_CLOSED};
}

void openOptions() {
    optionsScreen = OptionsScreen();
    optionsScreen.shown = true;
}

void closeOptions() {
    optionsScreen = OptionsScreen();
}

std::vector<std::string> optionRows() {
    std::vector<std::string> rows;
    if (optionsScreen.level == OPTIONS_MAIN) {
        for (const OptionItem &item : OPTION_ITEMS) {
            std::string value = item.value();
            rows.push_back(value.empty() ? item.label : std::string(item.label) + "\t" + value);
        }
        return rows;
    }
    rows.push_back("Walk and turn with the arrows");
    rows.push_back("Every key back to the game's own");
    for (int action = 0; action < actionCount(); action++)
        rows.push_back(actionLabel(action) + "\t" + boundKeyNames(keysInForce, action));
    return rows;
}

std::string optionsTitle() {
    return optionsScreen.level == OPTIONS_MAIN ? "Options" : "Options: keys";
}

std::vector<std::string> optionsFoot() {
    std::vector<std::string> foot;
    int action = optionsScreen.binding;
    if (action >= 0 && optionsScreen.conflictKey >= 0) {
        int owner = actionOfKey(keysInForce, optionsScreen.conflictKey);
        foot.push_back(quotedKey(optionsScreen.conflictKey) + " does " +
                       (owner >= 0 ? actionLabel(owner) : std::string("nothing")) +
                       ". Enter moves it to " + actionLabel(action) + "; Escape leaves it.");
    } else if (action >= 0) {
        foot.push_back("Press the key for " + actionLabel(action) + " (Escape: none)");
    } else if (!optionsScreen.said.empty()) {
        foot.push_back(optionsScreen.said);
    } else if (optionsScreen.level == OPTIONS_MAIN) {
        foot.push_back("Arrows: choose, change. Enter: do. Escape: close.");
    } else {
        foot.push_back("Enter: add a key. Delete: clear. Escape: back.");
    }
    if (settingsPath.empty())
        foot.push_back("No settings file: changes last this game only");
    else if (!settingsWritable)
        foot.push_back("The settings file has lines the game cannot take and is left as it "
                       "is: changes last this game only");
    return foot;
}

OptionsAsk optionsChooseRow(int row, int direction) {
    if (row < 0 || row >= rowCount()) return {};
    moveTo(row);
    optionsScreen.said.clear();
    if (optionsScreen.level == OPTIONS_MAIN) return OPTION_ITEMS[row].step(direction);
    if (row == KEYS_ROW_ARROWS) {
        walkWithArrows();
    } else if (row == KEYS_ROW_DEFAULTS) {
        keysInForce = defaultBindings();
        keepKeys();
        optionsScreen.said = "Every key is the game's own again";
    } else {
        optionsScreen.binding = row - KEYS_FIRST_ACTION;
    }
    return {};
}

OptionsAsk optionsKey(int key) {
    if (!optionsScreen.shown) return {};
    if (optionsScreen.binding >= 0) {
        optionsScreen.said.clear();
        takeKeyFor(key);
        return {};
    }
    int row = optionsScreen.selected;
    int page = std::max(optionsScreen.rowsShown - 1, 1);
    switch (key) {
    case KEY_UP:
        moveTo(row - 1);
        return {};
    case KEY_DOWN:
        moveTo(row + 1);
        return {};
    case KEY_PAGE_UP:
        moveTo(row - page);
        return {};
    case KEY_PAGE_DOWN:
        moveTo(row + page);
        return {};
    case KEY_HOME:
        moveTo(0);
        return {};
    case KEY_END:
        moveTo(rowCount() - 1);
        return {};
    case KEY_LEFT:
    case KEY_RIGHT:
        if (optionsScreen.level != OPTIONS_MAIN) return {};
        optionsScreen.said.clear();
        return OPTION_ITEMS[row].step(key == KEY_LEFT ? -1 : 1);
    case KEY_ENTER:
        return optionsChooseRow(row, 1);
    case KEY_ESCAPE:
        optionsScreen.said.clear();
        return goBack();
    case KEY_DELETE:
    case KEY_BACKSPACE:
        if (optionsScreen.level == OPTIONS_KEYS && row >= KEYS_FIRST_ACTION)
            clearKeys(row - KEYS_FIRST_ACTION);
        return {};
    default:
        break;
    }
    if (actionOfKey(keysInForce, key) == preferenceAction(PREFERENCE_OPTIONS)) {
        closeOptions();
        return {ASK_CLOSED};
    }
    return {};
}

void optionsScroll(int rows) {
    int shown = std::max(optionsScreen.rowsShown, 1);
    int count = rowCount();
    optionsScreen.first =
        std::min(std::max(optionsScreen.first + rows, 0), std::max(count - shown, 0));
    optionsScreen.selected = std::min(std::max(optionsScreen.selected, optionsScreen.first),
                                      optionsScreen.first + shown - 1);
}

void optionsRoomFor(int first, int rows) {
    optionsScreen.rowsShown = rows;
    optionsScreen.first = first;
    if (rows <= 0) return;
    if (optionsScreen.selected < optionsScreen.first) optionsScreen.first = optionsScreen.selected;
    if (optionsScreen.selected >= optionsScreen.first + rows)
        optionsScreen.first = optionsScreen.selected - rows + 1;
}

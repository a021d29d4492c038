#include "input/bindings.h"

#include "platform/platform.h"

#include <GL/freeglut.h>
#include <algorithm>
#include <cctype>

Bindings keysInForce = defaultBindings();

// Keys whose names are words. GLUT's special keys past Insert (Shift, Ctrl, ...) are modifiers
// the game never takes.
static const struct {
    const char *name;
    int key;
} NAMED_KEYS[] = {
    {"escape", 27},
    {"space", ' '},
    {"tab", '\t'},
    {"enter", '\r'},
    {"backspace", 8},
    {"delete", 127},
    {"left", SPECIAL_KEY + GLUT_KEY_LEFT},
    {"up", SPECIAL_KEY + GLUT_KEY_UP},
    {"right", SPECIAL_KEY + GLUT_KEY_RIGHT},
    {"down", SPECIAL_KEY + GLUT_KEY_DOWN},
    {"page_up", SPECIAL_KEY + GLUT_KEY_PAGE_UP},
    {"page_down", SPECIAL_KEY + GLUT_KEY_PAGE_DOWN},
    {"home", SPECIAL_KEY + GLUT_KEY_HOME},
    {"end", SPECIAL_KEY + GLUT_KEY_END},
    {"insert", SPECIAL_KEY + GLUT_KEY_INSERT},
};

std::string keyName(int key) {
    for (const auto &named : NAMED_KEYS)
        if (named.key == key) return named.name;
    if (key > ' ' && key < 127) return std::string(1, char(key));
    if (key >= SPECIAL_KEY + GLUT_KEY_F1 && key <= SPECIAL_KEY + GLUT_KEY_F12)
        return "f" + std::to_string(key - SPECIAL_KEY - GLUT_KEY_F1 + 1);
    return "";
}

int keyNamed(const std::string &name) {
    if (name.size() == 1)
        return keyName((unsigned char)name[0]).empty() ? -1 : (unsigned char)name[0];
    std::string lower = name;
    for (char &c : lower) c = char(tolower((unsigned char)c));
    for (int key = 0; key < KEY_NUMBERS; key++)
        if (keyName(key).size() > 1 && keyName(key) == lower) return key;
    return -1;
}

// The player's own actions, in Preference's order: name, default key, help.
static const struct {
    const char *name;
    int key;
    const char *helpKeys; // nullptr when the line before names the keys
    const char *words;
} PREFERENCES[PREFERENCE_COUNT] = {
    {"mute", 'v', "v", "turn sound off or on"},
    {"volume_down", '-', "- / =", "lower / raise the volume by a tenth, with a short sound"},
    {"volume_up", '=', nullptr, nullptr},
    {"full_screen", SPECIAL_KEY + GLUT_KEY_F11, "F11", "fill the screen, or give the window back"},
    {"keys_help", SPECIAL_KEY + GLUT_KEY_F1, "F1",
     "show the keys in force, turn their page, or hide them"},
    {"options", SPECIAL_KEY + GLUT_KEY_F10, "F10",
     "open the options: sound, screen, text, assists and keys (the game pauses)"},
    {"pick_at_centre", -1, "unbound",
     "pick up the food at the view's centre, as a click there (bind pick_at_centre to play "
     "without a mouse)"},
};

int actionCount() {
    return KEY_BINDING_COUNT + PREFERENCE_COUNT;
}

int preferenceAction(Preference preference) {
    return KEY_BINDING_COUNT + int(preference);
}

const char *actionName(int action) {
    if (action < KEY_BINDING_COUNT) return keyActionName(action);
    return PREFERENCES[action - KEY_BINDING_COUNT].name;
}

const char *actionWords(int action) {
    if (action < KEY_BINDING_COUNT) return keyActionWords(action);
    Preference preference = Preference(action - KEY_BINDING_COUNT);
    if (preference == PREFERENCE_VOLUME_DOWN) return "lower the volume";
    if (preference == PREFERENCE_VOLUME_UP) return "raise the volume";
    return PREFERENCES[preference].words;
}

bool actsWhilePaused(int action) {
    if (action < KEY_BINDING_COUNT) return keyBindings[action].whilePaused;
    return action != preferenceAction(PREFERENCE_PICK_AT_CENTRE);
}

int actionNamed(const std::string &name) {
    for (int action = 0; action < actionCount(); action++)
        if (name == actionName(action)) return action;
    return -1;
}

Bindings defaultBindings() {
    Bindings bindings(static_cast<size_t>(actionCount()));
    for (int action = 0; action < KEY_BINDING_COUNT; action++) {
        int key = keyBindings[action].key;
        bindings[size_t(action)].push_back(key);
        // The arrows have always been stored at the entries of d, e and f.
        for (int arrow : {GLUT_KEY_LEFT, GLUT_KEY_UP, GLUT_KEY_RIGHT})
            if (arrow == key) bindings[size_t(action)].push_back(SPECIAL_KEY + arrow);
    }
    for (int p = 0; p < PREFERENCE_COUNT; p++)
        if (PREFERENCES[p].key >= 0)
            bindings[size_t(KEY_BINDING_COUNT + p)].push_back(PREFERENCES[p].key);
    return bindings;
}

static std::string quoted(const std::string &text) {
    return "'" + text + "'";
}

Bindings resolveBindings(const std::vector<KeysEntry> &entries,
                         std::vector<Complaint> *complaints) {
    Bindings bindings = defaultBindings();
    std::vector<bool> named(bindings.size(), false);
    // The action each key is bound to by the file, -1 for none.
    std::vector<int> boundTo(KEY_NUMBERS, -1);
    for (const KeysEntry &entry : entries) {
        auto refuse = [&](const std::string &why) {
            if (complaints) complaints->push_back({entry.line, why});
        };
        int action = actionNamed(entry.action);
        if (action < 0) {
            refuse("no action is called " + quoted(entry.action));
            continue;
        }
        std::vector<int> keys;
        std::string wrong;
        for (const std::string &name : entry.keys) {
            int key = keyNamed(name);
            if (key < 0) {
                wrong = "no key is called " + quoted(name);
                break;
            }
            if (boundTo[size_t(key)] >= 0 && boundTo[size_t(key)] != action) {
                wrong =
                    quoted(name) + " is bound to " + actionName(boundTo[size_t(key)]) + " already";
                break;
            }
            if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
        }
        if (!wrong.empty()) {
            refuse(wrong + "; " + entry.action + " keeps its own keys");
            continue;
        }
        for (int key : keys) boundTo[size_t(key)] = action;
        bindings[size_t(action)] = keys;
        named[size_t(action)] = true;
    }
    // An action the file leaves alone keeps its defaults, but for the keys the file gave away.
    for (size_t action = 0; action < bindings.size(); action++) {
        if (named[action]) continue;
        std::vector<int> kept;
        for (int key : bindings[action])
            if (boundTo[size_t(key)] < 0) kept.push_back(key);
        bindings[action] = kept;
    }
    return bindings;
}

KeyMeaning keyMeaning(const Bindings &bindings, int key) {
    for (size_t action = 0; action < bindings.size(); action++) {
        if (std::find(bindings[action].begin(), bindings[action].end(), key) ==
            bindings[action].end())
            continue;
        if (int(action) < KEY_BINDING_COUNT) return {keyBindings[action].key, -1};
        return {-1, int(action) - KEY_BINDING_COUNT};
    }
    return {-1, -1};
}

// One more than the table's key each live key went down as, 0 for none.
static int heldAs[KEY_NUMBERS];
// Each live key is down, whatever it is bound to: a second press before its release is the
// keyboard's auto-repeat.
static bool liveDown[KEY_NUMBERS];

void resetBindings() {
    keysInForce = defaultBindings();
    forgetLiveKeys();
}

void forgetLiveKeys() {
    std::fill(heldAs, heldAs + KEY_NUMBERS, 0);
    std::fill(liveDown, liveDown + KEY_NUMBERS, false);
}

bool liveKeyIsNew(int key, bool down) {
    if (key < 0 || key >= KEY_NUMBERS) return true;
    bool repeated = down && liveDown[key];
    liveDown[key] = down;
    return !repeated;
}

int liveKeyGoesDown(int key) {
    if (key < 0 || key >= KEY_NUMBERS) return -1;
    int gameKey = keyMeaning(keysInForce, key).gameKey;
    heldAs[key] = gameKey + 1;
    return gameKey;
}

int liveKeyGoesUp(int key) {
    if (key < 0 || key >= KEY_NUMBERS) return -1;
    // A key held since before the game heard it still lets its action go.
    int gameKey = heldAs[key] > 0 ? heldAs[key] - 1 : keyMeaning(keysInForce, key).gameKey;
    heldAs[key] = 0;
    if (gameKey < 0) return -1;
    for (int other = 0; other < KEY_NUMBERS; other++)
        if (heldAs[other] == gameKey + 1) return -1;
    return gameKey;
}

std::vector<int> liveKeysLetGoElsewhere() {
    std::vector<int> held;
    for (int key = 0; key < KEY_NUMBERS; key++)
        if (heldAs[key] > 0 || liveDown[key]) held.push_back(key);
    if (held.empty()) return {};
    std::vector<bool> down = keysHeldDown(held);
    std::vector<int> released;
    for (size_t i = 0; i < held.size(); i++) {
        if (down[i]) continue;
        // Its next press is a new one; and what it held in the game is let go.
        liveDown[held[i]] = false;
        int gameKey = heldAs[held[i]] > 0 ? liveKeyGoesUp(held[i]) : -1;
        if (gameKey >= 0) released.push_back(gameKey);
    }
    return released;
}

std::string boundKeyNames(const Bindings &bindings, int action) {
    std::string text;
    for (int key : bindings[size_t(action)]) text += (text.empty() ? "" : ", ") + keyName(key);
    return text.empty() ? "none" : text;
}

// A TOML string: the key names are printable ASCII, so only the quote and the backslash need
// escaping.
static std::string tomlString(const std::string &text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string keysValue(const std::vector<int> &keys) {
    std::string text;
    for (int key : keys) text += (text.empty() ? "" : ", ") + tomlString(keyName(key));
    return "[" + text + "]";
}

std::string bindingsText(const Bindings &bindings) {
    std::string text = "[keys]\n";
    for (int action = 0; action < actionCount(); action++) {
        text += "# " + std::string(actionWords(action)) + "\n";
        text +=
            std::string(actionName(action)) + " = " + keysValue(bindings[size_t(action)]) + "\n";
    }
    return text;
}

std::vector<HelpLine> allKeyHelpLines() {
    std::vector<HelpLine> lines = keyHelpLines();
    for (const auto &preference : PREFERENCES)
        if (preference.helpKeys) lines.push_back({preference.helpKeys, preference.words});
    return lines;
}

// Keys of the player's choosing. The game's key table keeps its own keys: the player's bindings
// only turn a live key into the table's key for its action before the game hears it, so what is
// recorded is what the keys did, whatever keys did it. The player's own keys (sound, volume, full
// screen, the keys' list, the options) change nothing of the game and never reach it.
#pragma once

#include "input/input.h"

#include <string>
#include <vector>

// A key in one number: a character's code (0 to 255), or SPECIAL_KEY plus one of GLUT's special
// key codes (GLUT_KEY_LEFT, GLUT_KEY_F1, ...).
const int SPECIAL_KEY = 256;
// Every key number is below this.
const int KEY_NUMBERS = 2 * SPECIAL_KEY;

// The player's own actions: what they change is the player's, not the game's, so they act at once
// (paused, or watching a replay) and are not recorded. But for the pick at the view's centre,
// which reaches the game as what it is, a left click at the centre (recorded so, and refused
// while paused as any click is), for a player without a mouse; unbound unless the player binds it.
enum Preference {
    PREFERENCE_MUTE,
    PREFERENCE_VOLUME_DOWN,
    PREFERENCE_VOLUME_UP,
    PREFERENCE_FULL_SCREEN,
    PREFERENCE_KEYS_HELP,
    PREFERENCE_OPTIONS,
    PREFERENCE_PICK_AT_CENTRE,
    PREFERENCE_COUNT
};

// The readable name of a key in the settings file ("w", "space", "left", "f11"); "" for a key
// that has none.
std::string keyName(int key);
// The key a name gives, or -1. Names of one character are that character; longer ones ("Left",
// "F11", "page_up") are taken in any case.
int keyNamed(const std::string &name);

// Actions a key may be bound to: the key table's bindings in their order (0 to
// KEY_BINDING_COUNT - 1), then the player's own, in Preference's order.
int actionCount();
// The action of preference (its number among all the actions).
int preferenceAction(Preference preference);
// An action's name in the settings file ("walk_forward", "full_screen").
const char *actionName(int action);
// What an action does, in the words of the help.
const char *actionWords(int action);
// The action of a name, or -1.
int actionNamed(const std::string &name);
// Whether an action's key acts while the game stands paused: the key table's that do, and the
// player's own but the pick at the centre.
bool actsWhilePaused(int action);

// The keys bound to each action, indexed by action.
using Bindings = std::vector<std::vector<int>>;
// The game's own bindings: the key table's keys (with the arrows that have always shared the
// entries of d, e and f), then v, - and =, F11, F1 and F10; the pick at the centre has none.
Bindings defaultBindings();

// An action's entry in the file's [keys] table: its name, its keys' names and its line.
struct KeysEntry {
    std::string action;
    std::vector<std::string> keys;
    int line;
};
// Something in the settings file that was not taken: its line (0 when it has none) and why.
struct Complaint {
    int line;
    std::string text;
};

// The bindings of the file's [keys] entries: an action named takes the keys named for it (none
// unbinds it); the others keep their defaults, less any key the file binds elsewhere. An entry
// naming an unknown action or key, or a key an earlier entry already binds, is refused whole (the
// action keeps its defaults), with a complaint.
Bindings resolveBindings(const std::vector<KeysEntry> &entries, std::vector<Complaint> *complaints);

// The bindings the live keys go through.
extern Bindings keysInForce;

// What a key does under bindings: the key table's key for the game to hear, or -1, and the
// player's own action, or -1.
struct KeyMeaning {
    int gameKey;
    int preference;
};
KeyMeaning keyMeaning(const Bindings &bindings, int key);

// Whether a live key going down (or up) is news: false for a key going down that is down already,
// the keyboard's auto-repeat, which is no new press.
bool liveKeyIsNew(int key, bool down);
// The key table's key a live key going down is handed in as (under keysInForce), or -1.
int liveKeyGoesDown(int key);
// The table's key a live key coming up releases, or -1: none while another live key of the same
// action is still held.
int liveKeyGoesUp(int key);
// Forgets which live keys are held: the window lost the keyboard, and every key counts as let go.
void forgetLiveKeys();
// The game's own bindings in force and no live key held, as the game starts: for a test that
// starts from a fresh game.
void resetBindings();
// The live keys held, as the game heard them, that the keyboard no longer holds down (let go while
// another window had the keyboard, and the window has it back): each is let go now, and the key
// table's keys they release are given back, to be handed in. Asks the window system once.
std::vector<int> liveKeysLetGoElsewhere();

// The keys of bindings for action, by name, joined with ", " ("none" for none).
std::string boundKeyNames(const Bindings &bindings, int action);
// An action's keys as the file's [keys] table gives them: ["up", "w"].
std::string keysValue(const std::vector<int> &keys);
// The key names of bindings in the file's words: a [keys] table, a line an action, each with
// what it does.
std::string bindingsText(const Bindings &bindings);

// Every line of the keys' help, as --help, the README and the manual page give them: the game's
// (keyHelpLines), then the player's own by their default keys.
std::vector<HelpLine> allKeyHelpLines();

#include "app/player.h"

#include "app/live_events.h"
#include "app/options.h"
#include "app/pacing.h"
#include "capture/capture.h"
#include "game.h"
#include "hud/assists.h"
#include "hud/screen_text.h"
#include "input/input.h"
#include "sound/captions.h"
#include "sound/sound.h"

#include <GL/freeglut.h>
#include <algorithm>

bool fullScreenShown = false;

// This game plays a recording back: its window's size is the recording's, not the player's.
static bool watchingReplay = false;
// The size the window opened at (or came back to from full screen), once reported: a size the
// window manager or -geometry chose is no change of the player's.
static int openedWidth = -1, openedHeight = -1;
// The window opened full screen and has not left it: the window manager knows of no other size or
// place for it.
static bool openedFullScreen = false;

void startPlayerSettings(const Settings &settings, bool replaying) {
    watchingReplay = replaying;
    keysInForce = settings.keys;
    forgetLiveKeys();
    largeText = settings.largeText;
    readableText = settings.readableText;
    captionsOn = settings.captions;
    crosshairShown = settings.crosshair;
    bisonMarkerShown = settings.bisonMarker;
    setVolume(settings.volume, false);
    // A replay is shown in the window size it was recorded in.
    if (settings.fullScreen && !replaying) {
        glutFullScreen();
        fullScreenShown = true;
        openedFullScreen = true;
    }
}

void takeLiveKey(int key, bool down) {
    // A key held is one press, however long the keyboard repeats it: the key that opened or closed
    // the options is not heard again until it comes up (an Escape held a moment too long quits
    // nothing).
    if (!liveKeyIsNew(key, down)) return;
    if (down && optionsScreen.shown) {
        takeOptionsAsk(optionsKey(key));
        return;
    }
    if (down) {
        KeyMeaning meaning = keyMeaning(keysInForce, key);
        if (meaning.preference >= 0) actOnPreference(Preference(meaning.preference));
        int gameKey = liveKeyGoesDown(key);
        if (gameKey >= 0) takeLiveEvent({DEMO_KEY_DOWN, gameKey});
        return;
    }
    int gameKey = liveKeyGoesUp(key);
    if (gameKey >= 0) takeLiveEvent({DEMO_KEY_UP, gameKey});
}

void liveKeyDown(unsigned char key, int, int) {
    takeLiveKey(key, true);
}
void liveKeyUp(unsigned char key, int, int) {
    takeLiveKey(key, false);
}
void liveSpecialDown(int key, int, int) {
    if (key >= 0 && key < SPECIAL_KEY) takeLiveKey(SPECIAL_KEY + key, true);
}
void liveSpecialUp(int key, int, int) {
    if (key >= 0 && key < SPECIAL_KEY) takeLiveKey(SPECIAL_KEY + key, false);
}
void liveMouse(int button, int state, int x, int y) {
    takeLiveClick(button, state, x, y);
}
void liveReshape(int width, int height) {
    // The window really drawn, whatever size the game (or a recording) gives it.
    drawableWidth = width;
    drawableHeight = height;
    noteWindowSize(width, height);
    takeLiveEvent({DEMO_RESHAPE, width, height});
}

static void stepVolume(int step) {
    int volume = std::min(std::max(savedSettings.volume + step, 0), 100);
    savedSettings.volume = volume;
    setVolume(volume, true);
}

void clickAtCentre() {
    int x, y;
    viewCentre(windowWidth, windowHeight, &x, &y);
    takeLiveEvent({DEMO_MOUSE, GLUT_LEFT_BUTTON, GLUT_DOWN, x, y});
    takeLiveEvent({DEMO_MOUSE, GLUT_LEFT_BUTTON, GLUT_UP, x, y});
}

void actOnPreference(Preference preference) {
    switch (preference) {
    case PREFERENCE_MUTE:
        toggleSound();
        savedSettings.muted = !soundOn;
        break;
    case PREFERENCE_VOLUME_DOWN:
        stepVolume(-VOLUME_STEP);
        break;
    case PREFERENCE_VOLUME_UP:
        stepVolume(VOLUME_STEP);
        break;
    case PREFERENCE_FULL_SCREEN:
        // A replay keeps the window of its recording.
        if (watchingReplay) return;
        glutFullScreenToggle();
        fullScreenShown = !fullScreenShown;
        if (!fullScreenShown && openedFullScreen) {
            if (savedSettings.x >= 0 && savedSettings.y >= 0)
                glutPositionWindow(savedSettings.x, savedSettings.y);
            glutReshapeWindow(savedSettings.width, savedSettings.height);
        }
        openedFullScreen = false;
        savedSettings.fullScreen = fullScreenShown;
        // The window comes back at the size it left: that reshape is no change of the player's.
        openedWidth = openedHeight = -1;
        break;
    case PREFERENCE_KEYS_HELP:
        stepKeysList();
        glutPostRedisplay();
        return;
    case PREFERENCE_OPTIONS:
        openOptionsScreen();
        return;
    case PREFERENCE_PICK_AT_CENTRE:
        clickAtCentre();
        return;
    case PREFERENCE_COUNT:
        return;
    }
    saveSettings();
}

void noteWindowSize(int width, int height) {
    if (watchingReplay || fullScreenShown || width <= 0 || height <= 0) return;
    if (openedWidth < 0) {
        openedWidth = width;
        openedHeight = height;
        return;
    }
    if (width == openedWidth && height == openedHeight) return;
    openedWidth = width;
    openedHeight = height;
    savedSettings.width = std::min(width, SETTINGS_MAX_SIDE);
    savedSettings.height = std::min(height, SETTINGS_MAX_SIDE);
}

// Where the window stood when first reported: the desktop's choice, no move of the player's.
static int openedX = -1, openedY = -1;

void liveWindowMoved(int, int) {
    if (fullScreenShown) return;
    // GLUT's own questions answer in the screen's pixels, whatever the callback was given: where
    // the drawing starts, less the window manager's frame around it, is where the window is put
    // when the game opens it again.
    int x = glutGet(GLUT_WINDOW_X) - glutGet(GLUT_WINDOW_BORDER_WIDTH);
    int y = glutGet(GLUT_WINDOW_Y) - glutGet(GLUT_WINDOW_HEADER_HEIGHT);
    if (x < 0 || y < 0) return;
    if (openedX < 0) {
        openedX = x;
        openedY = y;
        return;
    }
    if (x == openedX && y == openedY) return;
    openedX = x;
    openedY = y;
    savedSettings.x = std::min(x, SETTINGS_MAX_PLACE);
    savedSettings.y = std::min(y, SETTINGS_MAX_PLACE);
}

void takeLiveClick(int button, int state, int x, int y) {
    if (!optionsScreen.shown) {
        takeLiveEvent({DEMO_MOUSE, button, state, x, y});
        return;
    }
    // The options screen's own: the game never hears it.
    if (state == GLUT_DOWN) takeOptionsAsk(optionsClick(button, x, y));
}

// The options screen paused the game, and lets it go on when it closes.
static bool pausedByOptions = false;

// The pause key, as the game hears it: pressed and let go.
static void pressPauseKey() {
    int pause = keyBindings[actionNamed("pause")].key;
    takeLiveEvent({DEMO_KEY_DOWN, pause});
    takeLiveEvent({DEMO_KEY_UP, pause});
}

void openOptionsScreen() {
    if (optionsScreen.shown) return;
    openOptions();
    // A replay holds no live key: it plays on beneath.
    if (!watchingReplay && !pauseComing()) {
        pressPauseKey();
        pausedByOptions = true;
    }
    glutPostRedisplay();
}

void closeOptionsScreen() {
    closeOptions();
    if (pausedByOptions && pauseComing()) pressPauseKey();
    pausedByOptions = false;
    glutPostRedisplay();
}

void takeOptionsAsk(const OptionsAsk &ask) {
    switch (ask.kind) {
    case ASK_PREFERENCE:
        if (ask.preference != PREFERENCE_OPTIONS) actOnPreference(ask.preference);
        break;
    case ASK_FPS:
        // A replay is drawn at its own rate.
        if (!watchingReplay) capFrameRate(drawingCap(false, 0, savedSettings.fps, displayPaced));
        break;
    case ASK_GAME_SPEED:
        // Handed to the game as the next tick's event, so that its recording keeps the speed as
        // it changed; a replay keeps the speed it was played at.
        if (!watchingReplay) takeLiveEvent({DEMO_SPEED, savedSettings.gameSpeed});
        break;
    case ASK_CLOSED:
        closeOptionsScreen();
        break;
    case ASK_NOTHING:
        break;
    }
    glutPostRedisplay();
}

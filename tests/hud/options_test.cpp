// The options screen's model, without drawing: moving among the rows, choosing, binding a key by
// pressing it (a key bound elsewhere moved only when confirmed), clearing, the arrows and the
// defaults, and every change kept in the settings file at once.
#include "hud/options.h"

#include "clock/clock.h"
#include "hud/assists.h"
#include "hud/screen_text.h"
#include "settings/settings.h"
#include "sound/captions.h"
#include "support/files.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

namespace {

// (DELETE alone is a macro of Windows' headers.)
const int RETURN_KEY = '\r', DELETE_KEY = 127;
const int UP = SPECIAL_KEY + GLUT_KEY_UP, DOWN = SPECIAL_KEY + GLUT_KEY_DOWN;
const int LEFT = SPECIAL_KEY + GLUT_KEY_LEFT, RIGHT = SPECIAL_KEY + GLUT_KEY_RIGHT;
const int F10 = SPECIAL_KEY + GLUT_KEY_F10;

std::string fileText(const std::string &path) {
    Bytes bytes = readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

class OptionsModel : public ::testing::Test {
  protected:
    std::string dir;
    void SetUp() override {
        dir = makeTempDir("options");
        settingsPath = dir + "/settings.toml";
        savedSettings = Settings();
        settingsWritable = loadSettings(settingsPath, savedSettings);
        keysInForce = defaultBindings();
        openOptions();
    }
    void TearDown() override {
        closeOptions();
        settingsPath.clear();
        savedSettings = Settings();
        settingsWritable = true;
        keysInForce = defaultBindings();
        largeText = readableText = false;
        captionsOn = crosshairShown = bisonMarkerShown = false;
        removeTree(dir);
    }
    // Goes down to the item called name and gives what Enter does there.
    OptionsAsk enterOn(const std::string &name) {
        int row = optionItemNamed(name);
        EXPECT_GE(row, 0) << name;
        while (optionsScreen.selected != row) optionsKey(optionsScreen.selected < row ? DOWN : UP);
        return optionsKey(RETURN_KEY);
    }
    // Opens the keys' list and chooses the action's row.
    void chooseAction(const char *action) {
        enterOn("keys");
        ASSERT_EQ(optionsScreen.level, OPTIONS_KEYS);
        optionsChooseRow(KEYS_FIRST_ACTION + actionNamed(action), 1);
        ASSERT_EQ(optionsScreen.binding, actionNamed(action));
    }
    std::vector<int> keysOf(const char *action) { return keysInForce[size_t(actionNamed(action))]; }
};

TEST_F(OptionsModel, ArrowsMoveWithinTheRowsAndEscapeGoesBackALevelThenCloses) {
    optionsKey(UP);
    EXPECT_EQ(optionsScreen.selected, 0) << "moved above the first row";
    for (int i = 0; i < 3 * OPTION_ITEM_COUNT; i++) optionsKey(DOWN);
    EXPECT_EQ(optionsScreen.selected, OPTION_ITEM_COUNT - 1);
    EXPECT_EQ(optionRows().size(), size_t(OPTION_ITEM_COUNT));

    enterOn("keys");
    EXPECT_EQ(optionsScreen.level, OPTIONS_KEYS);
    EXPECT_EQ(optionRows().size(), size_t(KEYS_FIRST_ACTION + actionCount()));
    EXPECT_EQ(optionRows()[size_t(KEYS_FIRST_ACTION + actionNamed("walk_forward"))],
              "walk forward\tw");
    EXPECT_EQ(optionsKey(KEY_ESCAPE).kind, ASK_NOTHING);
    EXPECT_EQ(optionsScreen.level, OPTIONS_MAIN);
    EXPECT_EQ(optionsScreen.selected, optionItemNamed("keys")) << "back where the list was left";
    EXPECT_EQ(optionsKey(KEY_ESCAPE).kind, ASK_CLOSED);
    EXPECT_FALSE(optionsScreen.shown);

    // The options' own key closes them too, and Close does.
    openOptions();
    EXPECT_EQ(optionsKey(F10).kind, ASK_CLOSED);
    openOptions();
    EXPECT_EQ(enterOn("close").kind, ASK_CLOSED);
    EXPECT_FALSE(optionsScreen.shown);
}

TEST_F(OptionsModel, EachItemActsAtOnceOrAsksTheShellAndIsKeptInTheFile) {
    // What the shell does for them: the player's own keys' actions, the drawing's cap.
    OptionsAsk ask = enterOn("volume");
    EXPECT_EQ(ask.kind, ASK_NOTHING) << "the volume is at its top";
    ask = optionsKey(LEFT);
    EXPECT_EQ(ask.kind, ASK_PREFERENCE);
    EXPECT_EQ(ask.preference, PREFERENCE_VOLUME_DOWN);
    EXPECT_EQ(enterOn("sound").preference, PREFERENCE_MUTE);
    EXPECT_EQ(enterOn("full_screen").preference, PREFERENCE_FULL_SCREEN);
    EXPECT_EQ(enterOn("fps").kind, ASK_FPS);
    EXPECT_EQ(savedSettings.fps, 120);
    optionsKey(LEFT);
    optionsKey(LEFT);
    EXPECT_EQ(savedSettings.fps, 30);
    optionsKey(LEFT);
    EXPECT_EQ(optionsKey(LEFT).kind, ASK_NOTHING) << "no cap is the lowest";
    EXPECT_EQ(savedSettings.fps, 0);
    EXPECT_NE(optionRows()[size_t(optionItemNamed("fps"))].find("none"), std::string::npos);

    // The screen's own, acting here.
    enterOn("text_size");
    EXPECT_TRUE(largeText);
    enterOn("readable_text");
    EXPECT_TRUE(readableText);
    // The assists: switches, and the game's speed, slower to the left, which the shell sets.
    for (const char *assist : {"captions", "crosshair", "bison_marker"}) {
        EXPECT_EQ(enterOn(assist).kind, ASK_NOTHING);
        EXPECT_EQ(optionRows()[size_t(optionItemNamed(assist))].substr(
                      optionRows()[size_t(optionItemNamed(assist))].find('\t')),
                  "\ton")
            << assist;
    }
    EXPECT_TRUE(captionsOn && crosshairShown && bisonMarkerShown);
    EXPECT_EQ(enterOn("game_speed").kind, ASK_NOTHING) << "full speed is the fastest";
    // The shell hands the speed asked to the game, whose speed in force the item shows.
    auto shell = [](OptionsAsk ask) {
        if (ask.kind == ASK_GAME_SPEED) gameSpeed = savedSettings.gameSpeed;
        return ask;
    };
    std::vector<int> speeds;
    for (int step = 0; step < 4; step++) {
        shell(optionsKey(LEFT));
        speeds.push_back(gameSpeed);
    }
    EXPECT_EQ(speeds, (std::vector<int>{80, 60, 50, 50}));
    EXPECT_EQ(shell(optionsKey(RIGHT)).kind, ASK_GAME_SPEED);
    EXPECT_EQ(optionRows()[size_t(optionItemNamed("game_speed"))], "Game speed\t< 60% >");
    std::string kept = fileText(settingsPath);
    for (const char *entry :
         {"\nfps = 0\n", "\ntext_size = \"large\"\n", "\nreadable_text = true\n", "\n[assist]\n",
          "\ncaptions = true\n", "\ncrosshair = true\n", "\ngame_speed = 60\n",
          "\nbison_marker = true\n"})
        EXPECT_NE(kept.find(entry), std::string::npos) << entry << " not in\n" << kept;
    Settings read;
    EXPECT_TRUE(loadSettings(settingsPath, read));
    EXPECT_TRUE(read.largeText);
    EXPECT_TRUE(read.readableText);
    EXPECT_TRUE(read.captions && read.crosshair && read.bisonMarker);
    EXPECT_EQ(read.gameSpeed, 60);
}

TEST_F(OptionsModel, AKeyPressedIsBoundAndAKeyBoundElsewhereMovesOnlyWhenConfirmed) {
    chooseAction("walk_forward");
    EXPECT_NE(optionsFoot()[0].find("Press the key for walk forward"), std::string::npos);
    optionsKey(SPECIAL_KEY + 112); // a modifier (Shift): no name, not taken
    EXPECT_EQ(optionsScreen.binding, actionNamed("walk_forward"));
    optionsKey('i');
    EXPECT_EQ(keysOf("walk_forward"), (std::vector<int>{'w', 'i'}));
    EXPECT_EQ(optionsScreen.binding, -1);
    EXPECT_NE(fileText(settingsPath).find("walk_forward = [\"w\", \"i\"]"), std::string::npos);

    // The up arrow looks up: named, and left there when the player says no.
    optionsChooseRow(KEYS_FIRST_ACTION + actionNamed("walk_forward"), 1);
    optionsKey(UP);
    EXPECT_EQ(optionsFoot()[0],
              "'up' does look up. Enter moves it to walk forward; Escape leaves it.");
    optionsKey(KEY_ESCAPE);
    EXPECT_EQ(keysOf("look_up"), (std::vector<int>{'e', UP}));
    EXPECT_EQ(keysOf("walk_forward"), (std::vector<int>{'w', 'i'}));
    // And moved when the player says yes.
    optionsChooseRow(KEYS_FIRST_ACTION + actionNamed("walk_forward"), 1);
    optionsKey(UP);
    optionsKey(RETURN_KEY);
    EXPECT_EQ(keysOf("look_up"), (std::vector<int>{'e'}));
    EXPECT_EQ(keysOf("walk_forward"), (std::vector<int>{'w', 'i', UP}));
    EXPECT_NE(optionsScreen.said.find("no longer look up"), std::string::npos)
        << optionsScreen.said;

    // Escape gives up waiting; the options' last key is never taken for another action.
    optionsChooseRow(KEYS_FIRST_ACTION + actionNamed("throw"), 1);
    optionsKey(KEY_ESCAPE);
    EXPECT_EQ(optionsScreen.binding, -1);
    EXPECT_TRUE(optionsScreen.shown);
    optionsChooseRow(KEYS_FIRST_ACTION + actionNamed("throw"), 1);
    optionsKey(F10);
    optionsKey(RETURN_KEY);
    EXPECT_EQ(keysOf("options"), (std::vector<int>{F10}));
    EXPECT_EQ(keysOf("throw"), (std::vector<int>{' '}));

    // What the file says is what the game reads back.
    Settings read;
    EXPECT_TRUE(loadSettings(settingsPath, read));
    EXPECT_EQ(read.keys, keysInForce);
}

TEST_F(OptionsModel, DeleteClearsTheArrowsWalkAndTheDefaultsComeBack) {
    enterOn("keys");
    int row = KEYS_FIRST_ACTION + actionNamed("turn_around");
    while (optionsScreen.selected < row) optionsKey(DOWN);
    optionsKey(DELETE_KEY);
    EXPECT_TRUE(keysOf("turn_around").empty());
    EXPECT_EQ(optionRows()[size_t(row)], "turn around\tnone");
    // The options' own last key stays.
    row = KEYS_FIRST_ACTION + actionNamed("options");
    while (optionsScreen.selected < row) optionsKey(DOWN);
    optionsKey(8); // Backspace
    EXPECT_EQ(keysOf("options"), (std::vector<int>{F10}));

    optionsChooseRow(KEYS_ROW_ARROWS, 1);
    EXPECT_EQ(keysOf("walk_forward"), (std::vector<int>{UP, 'w'}));
    EXPECT_EQ(keysOf("walk_backward"), (std::vector<int>{DOWN, 's'}));
    EXPECT_EQ(keysOf("turn_left"), (std::vector<int>{LEFT, 'a'}));
    EXPECT_EQ(keysOf("turn_right"), (std::vector<int>{RIGHT, 'd'}));
    EXPECT_EQ(keysOf("look_up"), (std::vector<int>{'e'}));
    EXPECT_EQ(keysOf("look_down"), (std::vector<int>{'f'}));
    Settings read;
    EXPECT_TRUE(loadSettings(settingsPath, read));
    EXPECT_EQ(read.keys, keysInForce);

    optionsChooseRow(KEYS_ROW_DEFAULTS, 1);
    EXPECT_EQ(keysInForce, defaultBindings());
    EXPECT_TRUE(loadSettings(settingsPath, read));
    EXPECT_EQ(read.keys, defaultBindings());
}

TEST_F(OptionsModel, AFileWithABadLineIsNotWrittenOverAndTheScreenSaysSo) {
    const std::string damaged = "[sound]\nvolume = loud\n";
    ASSERT_TRUE(writeBytes(settingsPath, Bytes(damaged.begin(), damaged.end())));
    savedSettings = Settings();
    settingsWritable = loadSettings(settingsPath, savedSettings);
    ASSERT_FALSE(settingsWritable);
    enterOn("readable_text");
    EXPECT_TRUE(readableText) << "the change acts all the same";
    EXPECT_EQ(fileText(settingsPath), damaged);
    std::vector<std::string> foot = optionsFoot();
    EXPECT_NE(foot.back().find("changes last this game only"), std::string::npos) << foot.back();
}

TEST_F(OptionsModel, TheWheelScrollsTheRowsAndTheChoiceStaysInSight) {
    enterOn("keys");
    optionsRoomFor(0, 5);
    optionsScroll(3);
    EXPECT_EQ(optionsScreen.first, 3);
    EXPECT_EQ(optionsScreen.selected, 3) << "the choice left above the rows shown";
    optionsScroll(1000);
    EXPECT_EQ(optionsScreen.first, KEYS_FIRST_ACTION + actionCount() - 5);
    optionsKey(SPECIAL_KEY + GLUT_KEY_HOME);
    EXPECT_EQ(optionsScreen.first, 0) << "the first row chosen is shown";
}

} // namespace

// The settings file: what is written reads back the same, a damaged file costs only its bad
// entries and is never written over, a file nested too deeply is refused before it is parsed, the
// writing leaves the old file or the new one, whole, and a file the player wrote keeps every byte
// but the values that changed, through a symbolic link too.
#include "settings/settings.h"

#include "platform/platform.h"
#include "support/files.h"

#include <GL/freeglut.h>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

std::string text(const Bytes &bytes) {
    return std::string(bytes.begin(), bytes.end());
}

TEST(Settings, WhatIsWrittenReadsBackTheSameDefaultsAndChangesAlike) {
    Settings changed;
    changed.width = 1600;
    changed.height = 900;
    changed.x = 0;
    changed.y = 37;
    changed.fullScreen = true;
    changed.volume = 0;
    changed.muted = true;
    changed.fps = 0;
    changed.vsync = false;
    changed.largeText = true;
    changed.readableText = true;
    changed.captions = changed.crosshair = changed.bisonMarker = true;
    changed.gameSpeed = 60;
    changed.keys[size_t(actionNamed("walk_forward"))] = {SPECIAL_KEY + GLUT_KEY_UP, 'w'};
    changed.keys[size_t(actionNamed("look_up"))] = {'e'};
    changed.keys[size_t(actionNamed("turn_right"))] = {'d'};
    changed.keys[size_t(actionNamed("turn_left"))] = {'a', SPECIAL_KEY + GLUT_KEY_LEFT};
    // Keys whose names need escaping in TOML, and an action left with none.
    changed.keys[size_t(actionNamed("nod"))] = {'"', '\\'};
    changed.keys[size_t(actionNamed("spheres"))] = {};
    changed.keys[size_t(actionNamed("pick_at_centre"))] = {'c'};
    for (const Settings &settings : {Settings(), changed}) {
        Settings read;
        read.volume = 55; // anything the text says must be taken over what was there
        std::vector<Complaint> complaints;
        parseSettings(settingsText(settings), read, &complaints);
        EXPECT_TRUE(complaints.empty()) << complaints.front().line << ": " << complaints[0].text;
        EXPECT_TRUE(sameSettings(read, settings)) << settingsText(read);
    }
}

TEST(Settings, EachBadLineIsNamedWithItsNumberAndTheRestIsTaken) {
    const std::string damaged = "[window]\n"                // 1
                                "width = 800\n"             // 2: taken
                                "height = 0\n"              // 3: out of range
                                "x = \"left\"\n"            // 4: not a number
                                "colour = 3\n"              // 5: unknown entry
                                "full_screen = yes\n"       // 6: not TOML
                                "[sound]\n"                 // 7
                                "volume = 101\n"            // 8: out of range
                                "muted = true\n"            // 9: taken
                                "[speed]\n"                 // 10: unknown table
                                "turbo = 2\n"               // 11
                                "[keys]\n"                  // 12
                                "walk_forward = [\"up\"]\n" // 13: taken
                                "look_up = [\"up\"]\n"      // 14: up is walk_forward's already
                                "dance = [\"x\"]\n"         // 15: no such action
                                "throw = [\"spacebar\"]\n"  // 16: no such key
                                "turn_left = [\"left\", \"j\"]\n" // 17: taken
                                "[screen]\n"                      // 18
                                "text_size = \"huge\"\n"          // 19: no such size
                                "readable_text = true\n"          // 20: taken
                                "[assist]\n"                      // 21
                                "captions = true\n"               // 22: taken
                                "game_speed = 70\n"               // 23: no such speed
                                "bison_marker = 1\n";             // 24: not a flag
    Settings settings;
    std::vector<Complaint> complaints;
    parseSettings(damaged, settings, &complaints);
    std::vector<int> lines;
    for (const Complaint &complaint : complaints) lines.push_back(complaint.line);
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (std::vector<int>{3, 4, 5, 6, 8, 10, 14, 15, 16, 19, 23, 24}));
    auto speed = std::find_if(complaints.begin(), complaints.end(),
                              [](const Complaint &complaint) { return complaint.line == 23; });
    ASSERT_NE(speed, complaints.end());
    EXPECT_EQ(speed->text, "game_speed takes 100, 80, 60 or 50; the default is kept");

    Settings defaults;
    EXPECT_EQ(settings.width, 800);
    EXPECT_EQ(settings.height, defaults.height);
    EXPECT_EQ(settings.x, defaults.x);
    EXPECT_EQ(settings.fullScreen, defaults.fullScreen);
    EXPECT_EQ(settings.volume, defaults.volume);
    EXPECT_TRUE(settings.muted);
    EXPECT_FALSE(settings.largeText);
    EXPECT_TRUE(settings.readableText);
    EXPECT_TRUE(settings.captions);
    EXPECT_EQ(settings.gameSpeed, 100);
    EXPECT_FALSE(settings.bisonMarker);
    EXPECT_EQ(settings.keys[size_t(actionNamed("walk_forward"))],
              std::vector<int>{SPECIAL_KEY + GLUT_KEY_UP});
    EXPECT_EQ(settings.keys[size_t(actionNamed("turn_left"))],
              (std::vector<int>{SPECIAL_KEY + GLUT_KEY_LEFT, 'j'}));
    // Refused entries keep their own keys; the defaults give away those the file took.
    EXPECT_EQ(settings.keys[size_t(actionNamed("look_up"))], std::vector<int>{'e'});
    EXPECT_EQ(settings.keys[size_t(actionNamed("throw"))], std::vector<int>{' '});
    EXPECT_EQ(settings.keys[size_t(actionNamed("turn_right"))], std::vector<int>{'d'});
    EXPECT_EQ(settings.keys[size_t(actionNamed("walk_backward"))], std::vector<int>{'s'});
}

TEST(Settings, ADamagedFileIsReadButNeverWrittenOver) {
    std::string dir = makeTempDir("settings-damaged");
    std::string path = dir + "/settings.toml";
    const std::string damaged = "[sound]\nvolume = 30\nmuted = maybe\n";
    ASSERT_TRUE(writeBytes(path, Bytes(damaged.begin(), damaged.end())));
    Settings settings;
    EXPECT_FALSE(loadSettings(path, settings));
    EXPECT_EQ(settings.volume, 30);

    settingsPath = path;
    savedSettings = settings;
    settingsWritable = false;
    savedSettings.volume = 40;
    saveSettings();
    EXPECT_EQ(text(readBytes(path)), damaged);
    EXPECT_FALSE(fileExists(path + ".new"));
    settingsPath.clear();
    settingsWritable = true;
    removeTree(dir);
}

TEST(Settings, AFileOfNothingButDamageIsGivenUpOnAndOneTooLongIsNotRead) {
    std::string damaged;
    for (int line = 0; line < 20000; line++) damaged += "volume = = " + std::to_string(line) + "\n";
    Settings settings;
    std::vector<Complaint> complaints;
    parseSettings("[sound]\n" + damaged, settings, &complaints);
    EXPECT_EQ(complaints.size(), size_t(SETTINGS_MAX_DAMAGED) + 1);
    EXPECT_EQ(settings.volume, Settings().volume);

    std::string dir = makeTempDir("settings-long");
    std::string path = dir + "/settings.toml";
    std::string huge = "# " + std::string(size_t(SETTINGS_MAX_BYTES), 'x') + "\n";
    ASSERT_TRUE(writeBytes(path, Bytes(huge.begin(), huge.end())));
    EXPECT_FALSE(loadSettings(path, settings));
    removeTree(dir);
}

TEST(Settings, AFileIsWrittenWholeIntoFoldersMadeForItAndAFailedWriteLeavesTheOldOne) {
    std::string dir = makeTempDir("settings-write");
    std::string path = dir + "/config/grazewell/settings.toml";
    Settings settings;
    settings.volume = 70;
    std::string reason;
    ASSERT_TRUE(writeSettings(path, settings, &reason)) << reason;
    EXPECT_EQ(text(readBytes(path)), settingsText(settings));
    EXPECT_FALSE(fileExists(path + ".new"));
    Settings read;
    EXPECT_TRUE(loadSettings(path, read));
    EXPECT_EQ(read.volume, 70);

    // The temporary file's name is taken by a folder: the write fails and the file stands.
    ASSERT_TRUE(makeFolder((path + ".new").c_str()));
    ASSERT_TRUE(makeFolder((path + ".new/inside").c_str()));
    settings.volume = 20;
    EXPECT_FALSE(writeSettings(path, settings, &reason));
    EXPECT_NE(reason.find(".new"), std::string::npos) << reason;
    Settings after;
    EXPECT_TRUE(loadSettings(path, after));
    EXPECT_EQ(after.volume, 70);
    removeTree(dir);
}

TEST(Settings, NothingIsWrittenUntilSomethingDiffersFromTheFile) {
    std::string dir = makeTempDir("settings-unchanged");
    settingsPath = dir + "/settings.toml";
    savedSettings = Settings();
    settingsWritable = loadSettings(settingsPath, savedSettings);
    saveSettings();
    EXPECT_FALSE(fileExists(settingsPath)) << "the defaults were written with nothing changed";
    savedSettings.fullScreen = true;
    saveSettings();
    Settings read;
    EXPECT_TRUE(loadSettings(settingsPath, read));
    EXPECT_TRUE(read.fullScreen);
    settingsPath.clear();
    savedSettings = Settings();
    removeTree(dir);
}

// A file as a player might write it: comments of their own, their own order and spacing, an entry
// in a table of the keys, a dotted key, no line feed at the end.
const std::string HAND_WRITTEN = "# my settings\n"
                                 "drawing.fps = 30\n"
                                 "\n"
                                 "[sound]   # what I hear\n"
                                 "muted=false\n"
                                 "volume   =   70    # quiet, please\n"
                                 "\n"
                                 "[keys]\n"
                                 "turn_left = [ \"a\", \"left\" ]  # both\n"
                                 "# the end of my keys\n"
                                 "\n"
                                 "[window]\n"
                                 "width = 800\n"
                                 "height = 600";

TEST(Settings, AFileWrittenByHandIsLeftByteForByteButForTheValuesThatChanged) {
    std::string dir = makeTempDir("settings-by-hand");
    settingsPath = dir + "/settings.toml";
    ASSERT_TRUE(writeBytes(settingsPath, Bytes(HAND_WRITTEN.begin(), HAND_WRITTEN.end())));
    savedSettings = Settings();
    settingsWritable = loadSettings(settingsPath, savedSettings);
    ASSERT_TRUE(settingsWritable);
    EXPECT_EQ(savedSettings.volume, 70);
    EXPECT_EQ(savedSettings.fps, 30);
    // The same values, however written: nothing is written at all.
    saveSettings();
    EXPECT_EQ(text(readBytes(settingsPath)), HAND_WRITTEN);
    // Values changed: those values, an entry added below its table's last, and nothing else.
    savedSettings.volume = 60;
    savedSettings.muted = true;
    savedSettings.x = 10;
    savedSettings.fps = 0;
    savedSettings.keys[size_t(actionNamed("turn_left"))] = {'a', SPECIAL_KEY + GLUT_KEY_LEFT, 'j'};
    saveSettings();
    std::string expected = HAND_WRITTEN;
    auto change = [&](const std::string &from, const std::string &to) {
        size_t at = expected.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        expected.replace(at, from.size(), to);
    };
    change("drawing.fps = 30", "drawing.fps = 0");
    change("muted=false", "muted=true");
    change("volume   =   70    #", "volume   =   60    #");
    change("[ \"a\", \"left\" ]  # both", "[\"a\", \"left\", \"j\"]  # both");
    change("height = 600", "height = 600\n# Where its top-left corner stands, in pixels from the "
                           "screen's; -1 lets the desktop choose.\nx = 10\n");
    EXPECT_EQ(text(readBytes(settingsPath)), expected);
    Settings read;
    EXPECT_TRUE(loadSettings(settingsPath, read));
    EXPECT_TRUE(sameSettings(read, savedSettings));
    // A key given up by one action goes back to no other one's defaults: that one is written too.
    savedSettings.keys[size_t(actionNamed("turn_left"))] = {'a', 'j'};
    saveSettings();
    std::string now = text(readBytes(settingsPath));
    EXPECT_NE(now.find("turn_left = [\"a\", \"j\"]  # both\n# "), std::string::npos) << now;
    EXPECT_NE(now.find("\nturn_right = [\"d\"]\n# the end of my keys\n"), std::string::npos) << now;
    EXPECT_TRUE(loadSettings(settingsPath, read));
    EXPECT_TRUE(sameSettings(read, savedSettings));
    settingsPath.clear();
    savedSettings = Settings();
    removeTree(dir);
    // A table the file lacks is added at its end.
    Settings wider;
    wider.width = 640;
    EXPECT_EQ(rewrittenSettings("[sound]\nvolume = 100", Settings(), wider),
              "[sound]\nvolume = 100\n\n[window]\n# The window's width and height in pixels, when "
              "it does not fill the screen.\nwidth = 640\n");
}

TEST(Settings, ASymbolicLinkIsWrittenThroughToTheFileItLeadsTo) {
    if (!PLATFORM_HAS_FIFOS_AND_LINKS) GTEST_SKIP() << "no symbolic links here";
    std::string dir = makeTempDir("settings-link");
    ASSERT_TRUE(makeDir(dir + "/dotfiles") && makeDir(dir + "/config"));
    std::string real = dir + "/dotfiles/grazewell.toml", link = dir + "/config/settings.toml";
    ASSERT_TRUE(writeBytes(real, Bytes(HAND_WRITTEN.begin(), HAND_WRITTEN.end())));
    ASSERT_TRUE(makeLink("../dotfiles/grazewell.toml", link));
    Settings settings;
    ASSERT_TRUE(loadSettings(link, settings));
    settings.volume = 20;
    std::string reason;
    ASSERT_TRUE(writeSettings(link, settings, &reason)) << reason;
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_NE(text(readBytes(real)).find("volume   =   20    # quiet"), std::string::npos);
    EXPECT_FALSE(fileExists(link + ".new"));
    EXPECT_FALSE(fileExists(real + ".new"));
    // A link to a file not made yet makes it where the link leads.
    std::string dangling = dir + "/config/other.toml";
    ASSERT_TRUE(makeLink("../dotfiles/new/other.toml", dangling));
    ASSERT_TRUE(writeSettings(dangling, settings, &reason)) << reason;
    EXPECT_TRUE(std::filesystem::is_symlink(dangling));
    EXPECT_EQ(text(readBytes(dir + "/dotfiles/new/other.toml")), settingsText(settings));
    removeTree(dir);
}

TEST(Settings, AnUnclosedBracketCostsOnlyItsOwnEntryNamedOnceOnItsOwnLine) {
    const std::string file = "[window]\n"                 // 1
                             "width = 700\n"              // 2
                             "\n"                         // 3
                             "[keys]\n"                   // 4
                             "turn_left = [\"left\"]\n"   // 5
                             "pause = [\"p\"\n"           // 6: never closed
                             "turn_right = [\"right\"]\n" // 7
                             "[sound]\n"                  // 8
                             "volume = 40\n";             // 9
    Settings settings;
    std::vector<Complaint> complaints;
    parseSettings(file, settings, &complaints);
    ASSERT_EQ(complaints.size(), 1u);
    EXPECT_EQ(complaints[0].line, 6);
    EXPECT_EQ(settings.width, 700);
    EXPECT_EQ(settings.volume, 40);
    EXPECT_EQ(settings.keys[size_t(actionNamed("turn_left"))],
              std::vector<int>{SPECIAL_KEY + GLUT_KEY_LEFT});
    EXPECT_EQ(settings.keys[size_t(actionNamed("turn_right"))],
              std::vector<int>{SPECIAL_KEY + GLUT_KEY_RIGHT});
    EXPECT_EQ(settings.keys[size_t(actionNamed("pause"))], std::vector<int>{'p'});
    // On the last line, and a string never closed, alike.
    const std::pair<std::string, int> others[] = {{"[sound]\nvolume = 40\nmuted = [true", 3},
                                                  {"[sound]\nmuted = \"yes\nvolume = 40\n", 2}};
    for (const auto &[broken, line] : others) {
        complaints.clear();
        Settings read;
        parseSettings(broken, read, &complaints);
        ASSERT_EQ(complaints.size(), 1u) << broken;
        EXPECT_EQ(complaints[0].line, line) << broken;
        EXPECT_EQ(read.volume, 40) << broken;
    }
}

TEST(Settings, AFileNestedDeeperThanSixtyFourLevelsIsRefusedBeforeItIsParsed) {
    std::string deepKey;
    for (int level = 0; level < 150000; level++) deepKey += level ? ".a" : "a";
    std::string deepArray = std::string(100, '[') + std::string(100, ']');
    std::string deepTables, deepHeader = "[a";
    for (int level = 0; level < 70; level++) deepTables += "{a = ";
    deepTables += "1" + std::string(70, '}');
    for (int level = 0; level < 70; level++) deepHeader += ".b";
    deepHeader += "]\n";
    const std::pair<std::string, int> deep[] = {
        {"[sound]\nvolume = 30\n" + deepKey + " = 1\n", 3},
        {"[sound]\nvolume = 30\nx = " + deepArray + "\n", 3},
        {"[sound]\nvolume = 30\n\n\nx = " + deepTables + "\n", 5},
        {deepHeader + "x = 1\n[sound]\nvolume = 30\n", 1},
        // Behind a bracket never closed, which the recovery would cut away, and with no "=".
        {"[sound]\nvolume = 30\nx = [\n" + deepKey + " = 1\n", 4},
        {"[sound]\nvolume = 30\n" + deepKey + ".\n", 3},
        {"[sound]\nvolume = 30\nx = {a.b.c.d.e.f.g.h = [[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[["
         "[[[[[[[[[[[[[[[[[[[[[[[[]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]"
         "]]]]}\n",
         3}};
    for (const auto &[file, line] : deep) {
        Settings settings;
        std::vector<Complaint> complaints;
        parseSettings(file, settings, &complaints);
        ASSERT_EQ(complaints.size(), 1u) << file.substr(0, 80);
        EXPECT_EQ(complaints[0].line, line) << file.substr(0, 80);
        EXPECT_NE(complaints[0].text.find("more than 64"), std::string::npos);
        EXPECT_EQ(settings.volume, Settings().volume) << "a refused file gives nothing";
    }
    // Sixty-four levels are read.
    std::string sixtyFour = "x = " + std::string(62, '[') + std::string(62, ']') + "\n";
    Settings settings;
    std::vector<Complaint> complaints;
    parseSettings("[sound]\n" + sixtyFour, settings, &complaints);
    ASSERT_EQ(complaints.size(), 1u);
    EXPECT_EQ(complaints[0].text, "unknown entry 'sound.x'");
}

} // namespace

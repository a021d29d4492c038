// The settings file: what is written reads back the same, a damaged file costs only its bad lines
// and is never written over, and the writing leaves the old file or the new one, whole.
#include "settings/settings.h"

#include "platform/platform.h"
#include "support/files.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <string>

namespace {

bool sameSettings(const Settings &a, const Settings &b) {
    return a.width == b.width && a.height == b.height && a.x == b.x && a.y == b.y &&
           a.fullScreen == b.fullScreen && a.volume == b.volume && a.muted == b.muted &&
           a.fps == b.fps && a.vsync == b.vsync && a.keys == b.keys;
}

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
    changed.keys[size_t(actionNamed("walk_forward"))] = {SPECIAL_KEY + GLUT_KEY_UP, 'w'};
    changed.keys[size_t(actionNamed("look_up"))] = {'e'};
    changed.keys[size_t(actionNamed("turn_right"))] = {'d'};
    changed.keys[size_t(actionNamed("turn_left"))] = {'a', SPECIAL_KEY + GLUT_KEY_LEFT};
    // Keys whose names need escaping in TOML, and an action left with none.
    changed.keys[size_t(actionNamed("nod"))] = {'"', '\\'};
    changed.keys[size_t(actionNamed("spheres"))] = {};
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
                                "turn_left = [\"left\", \"j\"]\n"; // 17: taken
    Settings settings;
    std::vector<Complaint> complaints;
    parseSettings(damaged, settings, &complaints);
    std::vector<int> lines;
    for (const Complaint &complaint : complaints) lines.push_back(complaint.line);
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (std::vector<int>{3, 4, 5, 6, 8, 10, 14, 15, 16}));

    Settings defaults;
    EXPECT_EQ(settings.width, 800);
    EXPECT_EQ(settings.height, defaults.height);
    EXPECT_EQ(settings.x, defaults.x);
    EXPECT_EQ(settings.fullScreen, defaults.fullScreen);
    EXPECT_EQ(settings.volume, defaults.volume);
    EXPECT_TRUE(settings.muted);
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

} // namespace

// The real game under its own Xvfb: what the player sees of the meadow, and the captures it
// writes, with the build's pictures and without any.
#include "support/files.h"
#include "support/game_process.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <set>

namespace {

bool isClear(const unsigned char *p) {
    return std::abs(p[0] - 178) <= 2 && p[1] <= 2 && p[2] >= 253;
}

int countIn(const Screenshot &shot, int x0, int y0, int x1, int y1,
            const std::function<bool(const unsigned char *)> &test) {
    int count = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++)
            if (test(shot.at(x, y))) count++;
    return count;
}

int distinctColours(const Screenshot &shot) {
    std::set<int> colours;
    for (int y = 0; y < shot.height; y++)
        for (int x = 0; x < shot.width; x++) {
            const unsigned char *p = shot.at(x, y);
            colours.insert(p[0] << 16 | p[1] << 8 | p[2]);
        }
    return int(colours.size());
}

bool skyish(const unsigned char *p) {
    return p[2] >= p[0] && p[2] > 100;
}
bool grassy(const unsigned char *p) {
    return p[1] > p[0] && p[1] > p[2];
}
bool leafy(const unsigned char *p) {
    return p[1] > p[0] && p[1] > p[2] + 20;
}

// What the title view shows once its gaze has sunk to the meadow: sky above, grass below, and
// the nearest tree (15 units ahead, 2 to the right) with its crown against the sky.
struct MeadowView {
    int clear = 0, sky = 0, ground = 0, crown = 0, colours = 0;
    explicit MeadowView(const Screenshot &shot) {
        clear = countIn(shot, 0, 0, shot.width, shot.height, isClear);
        sky = countIn(shot, 0, 0, shot.width, 60, skyish);
        ground = countIn(shot, 0, 440, shot.width, 500, grassy);
        crown = countIn(shot, 505, 275, 615, 300, leafy);
        colours = distinctColours(shot);
    }
    bool settled() const { return crown > 100 && ground > 50000; }
};

// Takes screenshots until the view has settled or the time is up; returns the last.
Screenshot settledView(GameProcess &game, double seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    Screenshot shot = game.screenshot();
    while (!MeadowView(shot).settled() && std::chrono::steady_clock::now() < end) {
        sleepSeconds(0.5);
        shot = game.screenshot();
    }
    return shot;
}

// Holds a key until the game has printed needle, then lets it go.
bool holdUntil(GameProcess &game, const std::string &key, const std::string &needle) {
    game.pressKey(key);
    bool seen = game.waitForOutput(needle, 20);
    game.releaseKey(key);
    return seen;
}

// Waits until needle has stopped appearing in the output for quiet seconds; false when it still
// appears after the time is up.
bool waitForQuiet(GameProcess &game, const std::string &needle, double quiet, double seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    int count = countOf(game.output(), needle);
    auto since = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() < end) {
        sleepSeconds(0.1);
        int now = countOf(game.output(), needle);
        if (now != count) {
            count = now;
            since = std::chrono::steady_clock::now();
        } else if (std::chrono::steady_clock::now() - since >=
                   std::chrono::duration<double>(quiet)) {
            return true;
        }
    }
    return false;
}

// Share of the pixels a capture at 1000 x 500 has alike with a screenshot.
double sameShare(const Bytes &file, const Screenshot &shot) {
    const size_t header = 16;
    if (file.size() != header + shot.rgb.size() || shot.rgb.empty()) return 0;
    size_t same = 0, pixels = shot.rgb.size() / 3;
    for (size_t i = 0; i < pixels; i++)
        same += memcmp(&file[header + 3 * i], &shot.rgb[3 * i], 3) == 0;
    return double(same) / double(pixels);
}

// Takes screenshots until two in a row are alike: nothing moves any more.
Screenshot stillView(GameProcess &game, double seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    Screenshot last = game.screenshot();
    while (std::chrono::steady_clock::now() < end) {
        sleepSeconds(0.4);
        Screenshot now = game.screenshot();
        if (now.rgb == last.rgb) return now;
        last = now;
    }
    return last;
}

std::string captureName(int index) {
    char name[32];
    snprintf(name, sizeof name, "/ppm/img%03d.ppm", index);
    return name;
}

// Holds a key for a while: long enough for frames to see it, a one-shot key acting once.
void holdFor(GameProcess &game, const std::string &key, double seconds) {
    game.pressKey(key);
    sleepSeconds(seconds);
    game.releaseKey(key);
}

bool dark(const unsigned char *p) {
    return p[0] + p[1] + p[2] < 200;
}

void expectTexturedMeadow(const MeadowView &view) {
    EXPECT_EQ(view.clear, 0) << "the clear colour shows";
    EXPECT_GT(view.crown, 100) << "the tree's crown against the sky";
    EXPECT_GT(view.colours, 2000) << "textured, not flat";
}

// Starts play and stops the bison for a still frame, with the score lines at the top left; then
// holds '9' until the game has saved lastCapture. Returns the screen once the captures stop.
Screenshot captureStillPlay(GameProcess &game, const std::string &lastCapture) {
    holdFor(game, "1", 0.5);
    holdFor(game, "m", 0.5);
    Screenshot still = stillView(game, 30);
    EXPECT_GT(countIn(still, 10, 15, 200, 75, dark), 300) << "the score lines";
    EXPECT_TRUE(holdUntil(game, "9", "Saving image `" + lastCapture + "`\n"));
    EXPECT_TRUE(waitForQuiet(game, "Saving image", 1.0, 20));
    return game.screenshot();
}

TEST(EndToEnd, TheMeadowShowsSkyGroundAndATreeAndCapturesHoldWhatTheScreenShows) {
    std::string dir = makeTempDir("meadow");
    installTextures(dir);
    {
        GameProcess game(dir);
        MeadowView view(settledView(game, 60));
        expectTexturedMeadow(view);
        EXPECT_GT(view.sky, 1000 * 60 * 9 / 10) << "sky along the top";
        EXPECT_GT(view.ground, 1000 * 60 * 9 / 10) << "grass along the bottom";

        // '9' captures the frame on screen.
        Screenshot shot = captureStillPlay(game, "ppm/img002.ppm");
        int nines = countOf(game.output(), "Saving image");
        std::vector<Bytes> earlier;
        for (int i = 0; i < nines; i++) earlier.push_back(readBytes(dir + captureName(i)));
        ASSERT_EQ(earlier[0].size(), 1500016u);
        EXPECT_EQ(std::string(earlier[0].begin(), earlier[0].begin() + 16),
                  std::string("P6 1000 500 255\r"));
        EXPECT_GE(sameShare(earlier[0], shot), 0.99);
        EXPECT_GE(sameShare(earlier[size_t(nines) - 1], shot), 0.99);

        // A turn of the view, then a recording: it keeps the captures there and goes on after
        // them, each file the frame on screen.
        holdFor(game, "a", 0.3);
        EXPECT_TRUE(
            holdUntil(game, "0", "Saving image `ppm" + captureName(nines).substr(4) + "`\n"));
        EXPECT_TRUE(
            game.waitForOutput("Saving image `ppm" + captureName(nines + 3).substr(4) + "`\n", 30));
        game.pressKey("0");
        EXPECT_TRUE(waitForQuiet(game, "Saving image", 1.0, 30)) << "still recording";
        game.releaseKey("0");
        Screenshot turned = game.screenshot();
        EXPECT_LT(sameShare(earlier[0], turned), 0.9) << "the view did not turn";
        EXPECT_EQ(countOf(game.output(), "Saving image `ppm/img000.ppm`"), 1);
        for (int i = 0; i < nines; i++)
            EXPECT_EQ(readBytes(dir + captureName(i)), earlier[size_t(i)]) << captureName(i);
        EXPECT_GE(sameShare(readBytes(dir + captureName(nines)), turned), 0.99);
        EXPECT_GE(sameShare(readBytes(dir + captureName(nines + 3)), turned), 0.99);

        // A taller window: the score lines keep to the top left corner.
        ASSERT_EQ(game.xdotool("windowsize --sync " + game.window() + " 1280 1000"), 0);
        Screenshot tall = stillView(game, 20);
        ASSERT_EQ(tall.width, 1280);
        EXPECT_GT(countIn(tall, 10, 15, 200, 75, dark), 300) << "the score lines";
        EXPECT_EQ(game.quit(), 0);
    }
    removeTree(dir);
}

TEST(EndToEnd, WithoutPicturesItRunsUntexturedAndStillCaptures) {
    std::string dir = makeTempDir("bare");
    {
        GameProcess game(dir);
        sleepSeconds(2);
        Screenshot shot = game.screenshot();
        EXPECT_TRUE(game.running());
        MeadowView view(shot);
        EXPECT_EQ(view.clear, 0) << "the untextured dome still closes the view";
        EXPECT_EQ(view.crown, 0) << "no leaves without the tree's picture";
        EXPECT_LT(view.colours, 2000) << "flat colours only";
        EXPECT_TRUE(holdUntil(game, "9", "Saving image `ppm/img000.ppm`\n"));
        EXPECT_EQ(game.quit(), 0);
    }
    EXPECT_EQ(readBytes(dir + "/ppm/img000.ppm").size(), 1500016u);
    removeTree(dir);
}

TEST(EndToEnd, ZeroHeldStartsOneRecordingAndAPressStopsIt) {
    std::string dir = makeTempDir("record");
    {
        GameProcess game(dir);
        // Held for many frames, the key still toggles once: the recording runs on.
        EXPECT_TRUE(holdUntil(game, "0", "Saving image `ppm/img003.ppm`\n"));
        EXPECT_TRUE(game.waitForOutput("Saving image `ppm/img006.ppm`\n", 30));
        // Pressed again and held, it stops and stays stopped; were it toggled every frame, the
        // captures would go on every other frame.
        game.pressKey("0");
        EXPECT_TRUE(waitForQuiet(game, "Saving image", 1.5, 30)) << "still recording";
        game.releaseKey("0");
        EXPECT_TRUE(waitForQuiet(game, "Saving image", 1.5, 3)) << "recording again";
        EXPECT_EQ(countOf(game.output(), "Saving image `ppm/img000.ppm`"), 1);
        EXPECT_EQ(game.quit(), 0);
    }
    for (const char *name : {"/ppm/img000.ppm", "/ppm/img006.ppm"})
        EXPECT_EQ(readBytes(dir + name).size(), 1500016u) << name;
    removeTree(dir);
}

// The Windows build, played under Wine as a player on Windows plays it: scripts/test-windows.sh
// names the game unzipped from the download in GRAZEWELL_WINDOWS_GAME and Wine in GRAZEWELL_WINE.
TEST(WindowsBuild, UnderWineTheMeadowShowsOnePlaysNineCapturesTheScreenAndEscapeExits) {
    const char *exe = getenv("GRAZEWELL_WINDOWS_GAME"), *wine = getenv("GRAZEWELL_WINE");
    if (!exe || !*exe || !wine || !*wine)
        GTEST_SKIP() << "no Windows build named (scripts/test-windows.sh runs this)";
    std::string dir = makeTempDir("wine");
    GameStart start;
    start.launcher = wine;
    start.binary = exe;
    start.findPictures = true; // the pictures beside grazewell.exe
    {
        GameProcess game(dir, {}, start);
        expectTexturedMeadow(MeadowView(settledView(game, 90)));
        Screenshot shot = captureStillPlay(game, "ppm/img000.ppm");
        Bytes capture = readBytes(dir + captureName(0));
        ASSERT_EQ(capture.size(), 1500016u);
        EXPECT_EQ(std::string(capture.begin(), capture.begin() + 16), "P6 1000 500 255\r");
        EXPECT_GE(sameShare(capture, shot), 0.99);
        // The console lines are the game's log: one byte ends each, as on Linux.
        EXPECT_EQ(game.output().find('\r'), std::string::npos);
        EXPECT_EQ(game.quit(), 0);
    }
    removeTree(dir);
}

// What a Windows shortcut (.lnk) tells of the program it starts: its path, the folder it starts
// it in and where its icon comes from, as Windows paths.
struct Shortcut {
    std::string target;
    std::string startIn;
    std::string icon;
};

// Reads a shell link file: the fixed header, the item list (skipped), the link information (the
// target's local path), then the counted strings that follow (name, relative path, start folder,
// arguments, icon), each there only when its flag is set. Fields stay empty where the file holds
// none, or is no shell link.
Shortcut readShortcut(const std::string &path) {
    Shortcut link;
    Bytes b = readBytes(path);
    auto u16 = [&](size_t at) {
        return at + 2 <= b.size() ? uint32_t(b[at] | b[at + 1] << 8) : 0u;
    };
    auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    if (u32(0) != 0x4c) return link;
    const uint32_t ITEMS = 0x01, INFO = 0x02, START_IN = 0x10, ICON = 0x40, WIDE = 0x80;
    uint32_t flags = u32(0x14);
    size_t at = 0x4c;
    if (flags & ITEMS) at += 2 + u16(at);
    if (flags & INFO) {
        // A local path (flag 1 of the info) is a zero-ended string at its offset in the info.
        if (u32(at + 8) & 1)
            for (size_t i = at + u32(at + 16); i < b.size() && b[i]; i++) link.target += char(b[i]);
        at += u32(at);
    }
    size_t unit = flags & WIDE ? 2 : 1;
    for (uint32_t flag : {0x04u, 0x08u, START_IN, 0x20u, ICON}) {
        if (!(flags & flag)) continue;
        size_t count = u16(at);
        at += 2;
        std::string text;
        // Wine counts the ending zero in; Windows does not.
        for (size_t i = 0; i < count && at + unit <= b.size(); i++, at += unit) {
            uint32_t c = unit == 2 ? u16(at) : b[at];
            if (c) text += c < 0x80 ? char(c) : '?';
        }
        if (flag == START_IN) link.startIn = text;
        if (flag == ICON) link.icon = text;
    }
    return link;
}

// The Unix path of a Windows path on a drive of Wine's prefix (WINEPREFIX).
std::string inWinePrefix(const std::string &windowsPath) {
    const char *prefix = getenv("WINEPREFIX");
    if (!prefix || windowsPath.size() < 3 || windowsPath[1] != ':') return "";
    std::string path = std::string(prefix) + "/dosdevices/" + char(tolower(windowsPath[0])) + ":" +
                       windowsPath.substr(2);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

TEST(WindowsBuild, TheInstalledGameStartsFromItsShortcutInAFolderThePlayerOwnsWhereCapturesLand) {
    const char *lnk = getenv("GRAZEWELL_WINDOWS_SHORTCUT"), *wine = getenv("GRAZEWELL_WINE");
    if (!lnk || !*lnk || !wine || !*wine)
        GTEST_SKIP() << "no installed Windows game named (scripts/test-windows.sh runs this)";
    // The installer's Start menu entry: the game in Program Files, with its own icon, started in
    // the Grazewell folder of the Public Documents (Wine spells the users folder small).
    Shortcut link = readShortcut(lnk);
    EXPECT_EQ(link.target, "C:\\Program Files\\Grazewell\\grazewell.exe");
    EXPECT_EQ(link.icon, link.target);
    EXPECT_EQ(link.startIn, "C:\\users\\Public\\Documents\\Grazewell");
    std::string exe = inWinePrefix(link.target), folder = inWinePrefix(link.startIn);
    ASSERT_TRUE(fileExists(exe)) << exe;
    ASSERT_TRUE(isDirectory(folder)) << folder;

    std::string dir = makeTempDir("wine-installed");
    GameStart start;
    start.launcher = wine;
    start.binary = exe;
    start.folder = folder;
    start.findPictures = true; // the pictures installed beside grazewell.exe
    {
        GameProcess game(dir, {}, start);
        expectTexturedMeadow(MeadowView(settledView(game, 90)));
        Screenshot shot = captureStillPlay(game, "ppm/img000.ppm");
        EXPECT_GE(sameShare(readBytes(folder + captureName(0)), shot), 0.99);
        EXPECT_EQ(game.quit(), 0);
    }
    removeTree(dir);
}

} // namespace

// The real game among hostile files and surroundings: broken textures, a capture folder that
// cannot be written, a full disk, and odd window sizes. It must keep running and lose nothing
// that was already written.
#include "support/game_process.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

void writeFile(const std::string &path, const std::vector<unsigned char> &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<unsigned char> readFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// An uncompressed true-colour TGA header followed by pixelBytes bytes.
std::vector<unsigned char> tga(int width, int height, int bits, size_t pixelBytes, int type = 2) {
    std::vector<unsigned char> file = {0, 0, (unsigned char)type, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int v : {width & 255, width >> 8, height & 255, height >> 8, bits, 0})
        file.push_back((unsigned char)v);
    file.resize(file.size() + pixelBytes, 0x80);
    return file;
}

// Counts the distinct colours of a screenshot: a textured meadow has many.
int distinctColours(const Screenshot &shot) {
    std::vector<bool> seen(1 << 15);
    int count = 0;
    for (size_t i = 0; i + 2 < shot.rgb.size(); i += 3) {
        int key = (shot.rgb[i] >> 3) << 10 | (shot.rgb[i + 1] >> 3) << 5 | shot.rgb[i + 2] >> 3;
        if (!seen[size_t(key)]) {
            seen[size_t(key)] = true;
            count++;
        }
    }
    return count;
}

// Pixels of the clear colour (0.7, 0, 1): where nothing at all was drawn.
int clearPixels(const Screenshot &shot) {
    int count = 0;
    for (size_t i = 0; i + 2 < shot.rgb.size(); i += 3)
        if (shot.rgb[i] == 178 && shot.rgb[i + 1] == 0 && shot.rgb[i + 2] == 255) count++;
    return count;
}

long framesDrawn(const std::string &dir) {
    return readFrameCount(dir + "/frames.txt").frames;
}

// The game with its frames counted from outside, into dir/frames.txt.
std::vector<std::string> countingFrames(const std::string &dir) {
    return frameCounterEnvironment(dir + "/frames.txt");
}

// Still running and still drawing: the counter counts another step of frames (it writes every
// FRAME_COUNT_STEP of them, slowly under a loaded machine), and the dome covers the whole window.
void expectAlive(GameProcess &game, const std::string &dir) {
    long before = framesDrawn(dir);
    EXPECT_TRUE(waitForFrameCount(dir + "/frames.txt", before + FRAME_COUNT_STEP, 60))
        << "no frames after the " << before << " counted";
    ASSERT_TRUE(game.running());
    EXPECT_EQ(clearPixels(game.screenshot()), 0);
}

// Looks down at the meadow from the title screen: some frames to settle the view.
void playAWhile(GameProcess &game) {
    game.tapKey("1");
    game.pressKey("w");
    sleepSeconds(0.3);
    game.releaseKey("w");
    game.pressKey("f");
    sleepSeconds(0.2);
    game.releaseKey("f");
    sleepSeconds(0.3);
}

TEST(Hostile, BrokenTexturesLeaveTheGameRunningUntextured) {
    std::string dir = makeTempDir("hostile-tex");
    installTextures(dir);
    std::string tex = dir + "/tex/";
    std::vector<unsigned char> good = readFile(tex + "fur.tga");
    writeFile(tex + "fur.tga", std::vector<unsigned char>(good.begin(), good.begin() + 10));
    writeFile(tex + "lava.tga", tga(0, 0, 24, 64));
    writeFile(tex + "orange.tga", tga(65535, 65535, 32, 4096));
    writeFile(tex + "apple.tga", tga(4, 4, 16, 32));
    writeFile(tex + "marble.tga", tga(4, 4, 24, 48, 10));
    writeFile(tex + "room.tga", tga(4, 4, 24, 48, 1));
    remove((tex + "clouds.tga").c_str());
    mkdir((tex + "clouds.tga").c_str(), 0755);
    remove((tex + "sky.tga").c_str());
    ASSERT_EQ(mkfifo((tex + "sky.tga").c_str(), 0644), 0);
    writeFile(tex + "tree.tga", tga(64, 64, 32, 100)); // pixels cut short
    writeFile(tex + "grass.raw", std::vector<unsigned char>(1000, 200));
    {
        GameProcess game(dir, countingFrames(dir));
        playAWhile(game);
        game.tapKey("semicolon");
        EXPECT_TRUE(game.holdKeyUntil("9", "Saving image `ppm/img000.ppm`", 10));
        expectAlive(game, dir);
        EXPECT_EQ(game.quit(), 0);
    }
    removeTree(dir);
}

TEST(Hostile, GameRunsWithoutAnyTextures) {
    std::string dir = makeTempDir("no-tex");
    {
        GameProcess game(dir, countingFrames(dir));
        playAWhile(game);
        expectAlive(game, dir);
        EXPECT_EQ(game.quit(), 0);
    }
    removeTree(dir);
}

TEST(Hostile, CaptureFolderThatIsAFileIsReportedAndLeftAlone) {
    std::string dir = makeTempDir("ppm-file");
    writeFile(dir + "/ppm", {'k', 'e', 'e', 'p'});
    {
        GameProcess game(dir);
        EXPECT_TRUE(game.holdKeyUntil("9", "Unable to open file 'ppm/img001.ppm'\n", 10));
        EXPECT_TRUE(game.running());
        EXPECT_EQ(game.quit(), 0);
    }
    EXPECT_EQ(readFile(dir + "/ppm"), (std::vector<unsigned char>{'k', 'e', 'e', 'p'}));
    removeTree(dir);
}

// A small file system of our own at dir/ppm; skipped where mounting is not allowed.
bool mountSmallDisk(const std::string &at, const char *options, unsigned long flags) {
    mkdir(at.c_str(), 0755);
    return mount("tmpfs", at.c_str(), "tmpfs", flags, options) == 0;
}

TEST(Hostile, ReadOnlyCaptureFolderIsReported) {
    std::string dir = makeTempDir("ppm-ro");
    std::string ppm = dir + "/ppm";
    if (!mountSmallDisk(ppm, "size=4m", MS_RDONLY)) {
        removeTree(dir);
        GTEST_SKIP() << "cannot mount a read-only file system here (needs root)";
    }
    {
        GameProcess game(dir);
        EXPECT_TRUE(game.holdKeyUntil("9", "Unable to open file 'ppm/img000.ppm'\n", 10));
        EXPECT_TRUE(game.running());
        EXPECT_EQ(game.quit(), 0);
    }
    umount(ppm.c_str());
    removeTree(dir);
}

TEST(Hostile, FullDiskKeepsTheWholeCapturesAndReportsTheRest) {
    std::string dir = makeTempDir("ppm-full");
    std::string ppm = dir + "/ppm";
    // Room for two whole captures of 1,500,016 bytes and a part of a third.
    if (!mountSmallDisk(ppm, "size=4m", 0)) {
        removeTree(dir);
        GTEST_SKIP() << "cannot mount a small file system here (needs root)";
    }
    {
        GameProcess game(dir);
        ASSERT_TRUE(game.holdKeyUntil("9", "ppm/img003.ppm", 10));
        sleepSeconds(0.3);
        EXPECT_TRUE(game.running());
        EXPECT_EQ(game.quit(), 0);
        std::string out = game.output();
        EXPECT_NE(out.find("Saving image `ppm/img000.ppm`\n"), std::string::npos) << out;
        EXPECT_NE(out.find("Saving image `ppm/img001.ppm`\n"), std::string::npos) << out;
        EXPECT_NE(out.find("Unable to write file 'ppm/img002.ppm'\n"), std::string::npos) << out;
    }
    EXPECT_EQ(readFile(ppm + "/img000.ppm").size(), 1500016u);
    EXPECT_EQ(readFile(ppm + "/img001.ppm").size(), 1500016u);
    // What did not fit is not left behind as a file that looks like a capture.
    EXPECT_NE(access((ppm + "/img002.ppm").c_str(), F_OK), 0);
    EXPECT_NE(access((ppm + "/img003.ppm").c_str(), F_OK), 0);
    umount(ppm.c_str());
    removeTree(dir);
}

TEST(Hostile, TinyWindowThenNormalSizeDrawsAgain) {
    std::string dir = makeTempDir("tiny");
    installTextures(dir);
    {
        GameProcess game(dir);
        playAWhile(game);
        int before = distinctColours(game.screenshot());
        ASSERT_EQ(game.xdotool("windowsize --sync " + game.window() + " 1 1"), 0);
        sleepSeconds(0.3);
        ASSERT_TRUE(game.holdKeyUntil("9", "img000.ppm", 10));
        sleepSeconds(0.2);
        ASSERT_TRUE(game.running());
        std::vector<unsigned char> capture = readFile(dir + "/ppm/img000.ppm");
        std::string header = "P6 1 1 255\r";
        ASSERT_EQ(capture.size(), header.size() + 3);
        EXPECT_EQ(std::string(capture.begin(), capture.begin() + long(header.size())), header);
        ASSERT_EQ(game.xdotool("windowsize --sync " + game.window() + " 1000 500"), 0);
        sleepSeconds(0.5);
        Screenshot shot = game.screenshot();
        EXPECT_EQ(shot.width, 1000);
        EXPECT_GE(distinctColours(shot), before / 2);
        EXPECT_EQ(game.quit(), 0);
    }
    removeTree(dir);
}

} // namespace

// PPM captures: the exact bytes, the names, the folder, and the keys that ask for them.
#include "capture/capture.h"

#include "bison/bison.h"

#include "app/app.h"
#include "app/loop.h"
#include "input/input.h"
#include "support/files.h"
#include "support/gl_env.h"

#include <GL/freeglut.h>
#include <cstring>
#include <gtest/gtest.h>

namespace {

std::string text(const Bytes &bytes, size_t from, size_t count) {
    return std::string(bytes.begin() + long(from), bytes.begin() + long(from + count));
}

// The back buffer as glReadPixels gives it, bottom row first.
Bytes backBuffer() {
    Bytes pixels(size_t(windowWidth) * windowHeight * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, windowWidth, windowHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// A still meadow: playing, the bison stopped, nothing in flight.
void stillWorld() {
    startWorld();
    gameState = STATE_PLAYING;
    bison->wandering = false; // its leg messages would mix with the capture lines
    memset(keyDown, 0, sizeof keyDown);
    recording = false;
}

// Runs f and returns what it printed.
template <typename F> std::string printed(F f) {
    testing::internal::CaptureStdout();
    f();
    fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

TEST(Capture, NamesAndHeader) {
    EXPECT_EQ(captureFileName(0), "ppm/img000.ppm");
    EXPECT_EQ(captureFileName(7), "ppm/img007.ppm");
    EXPECT_EQ(captureFileName(1234), "ppm/img1234.ppm");
    std::string header = ppmHeader(1000, 500);
    EXPECT_EQ(header, std::string("P6 1000 500 255") + char(13));
    EXPECT_EQ(header.size(), 16u);
    EXPECT_EQ(ppmHeader(640, 480), std::string("P6 640 480 255\r"));
}

// A picture whose bytes tell their row, bottom row first as the GL gives it: row y (0 at the
// bottom) holds 10 y + 1, 10 y + 2, ...
int framesRead = 0;
void numberedFrame(int width, int height, unsigned char *pixels) {
    framesRead++;
    for (int y = 0; y < height; y++)
        for (int i = 0; i < width * 3; i++)
            pixels[size_t(y) * size_t(width) * 3 + size_t(i)] = (unsigned char)(10 * y + i + 1);
}

TEST(Capture, WritesHeaderThenRowsFromTheTopDown) {
    WorkDir dir("ppm-bytes");
    for (int height : {1, 2, 3, 4}) {
        framesRead = 0;
        std::string out =
            printed([height] { EXPECT_EQ(writePPM("small.ppm", 3, height, numberedFrame), 0); });
        EXPECT_EQ(out, "Saving image `small.ppm`\n");
        EXPECT_EQ(framesRead, 1); // the frame is read once, whole
        std::string header = "P6 3 " + std::to_string(height) + " 255\r";
        Bytes expected(header.begin(), header.end());
        for (int y = height - 1; y >= 0; y--)
            for (int i = 0; i < 9; i++) expected.push_back((unsigned char)(10 * y + i + 1));
        EXPECT_EQ(readBytes("small.ppm"), expected) << height << " rows";
    }
    // A picture without pixels is its header alone, and nothing is read for it.
    framesRead = 0;
    printed([] { EXPECT_EQ(writePPM("empty.ppm", 0, 5, numberedFrame), 0); });
    EXPECT_EQ(framesRead, 0);
    EXPECT_EQ(readBytes("empty.ppm"),
              (Bytes{'P', '6', ' ', '0', ' ', '5', ' ', '2', '5', '5', 13}));
}

// What a frame being read saw of the file it is for: whether its name was there yet, and the file
// beside it.
bool namedWhileRead = true, asideWhileRead = false;
void frameLookingAround(int width, int height, unsigned char *pixels) {
    numberedFrame(width, height, pixels);
    namedWhileRead = fileExists("whole.ppm");
    asideWhileRead = fileExists("whole.ppm.new");
}

TEST(Capture, APictureIsWrittenAsideAndFoundUnderItsNameOnlyWhole) {
    WorkDir dir("ppm-aside");
    printed([] { EXPECT_EQ(writePPM("whole.ppm", 3, 2, frameLookingAround), 0); });
    EXPECT_FALSE(namedWhileRead);
    EXPECT_TRUE(asideWhileRead);
    EXPECT_EQ(readBytes("whole.ppm").size(), 11u + 18u);
    EXPECT_FALSE(fileExists("whole.ppm.new"));
}

TEST(Capture, FlipRowsTurnsThePictureUpsideDownInPlace) {
    // Rows shorter and longer than the pieces the swap moves at a time.
    for (size_t rowBytes : {size_t(7), size_t(10000)}) {
        for (int height : {0, 1, 2, 5, 6}) {
            Bytes rows(rowBytes * size_t(height));
            for (size_t i = 0; i < rows.size(); i++) rows[i] = (unsigned char)(i * 3 + 1);
            Bytes flipped = rows;
            flipRows(flipped.data(), rowBytes, height);
            for (int y = 0; y < height; y++)
                EXPECT_EQ(memcmp(&flipped[size_t(y) * rowBytes],
                                 &rows[size_t(height - 1 - y) * rowBytes], rowBytes),
                          0)
                    << "row " << y << " of " << height;
        }
    }
}

TEST(Capture, NineSavesTheFrameItsFrameDraws) {
    stillWorld();
    WorkDir dir("ppm-frame");
    onDisplay();
    captureIndex = 0;
    onKeyDown('9', 0, 0);
    std::string out = printed([] { onDisplay(); });
    onKeyUp('9', 0, 0);
    EXPECT_EQ(out, "Saving image `ppm/img000.ppm`\n");
    EXPECT_EQ(captureIndex, 1);
    EXPECT_TRUE(isDirectory("ppm")); // made when missing
    // The swap leaves the frame in the back buffer here, so it can be compared after the frame.
    Bytes drawn = backBuffer();
    Bytes file = readBytes("ppm/img000.ppm");
    ASSERT_EQ(file.size(), 1500016u);
    EXPECT_EQ(text(file, 0, 16), std::string("P6 1000 500 255\r"));
    size_t row = 1000 * 3, dark = 0;
    for (int y = 0; y < 500; y++) {
        const unsigned char *expected = &drawn[size_t(499 - y) * row];
        ASSERT_EQ(memcmp(&file[16 + size_t(y) * row], expected, row), 0) << "row " << y;
    }
    for (size_t i = 16; i < file.size(); i += 3) dark += file[i] + file[i + 1] + file[i + 2] < 30;
    EXPECT_LT(dark, 1000 * 500 / 10) << "a black picture";
    GLint readBuffer = 0;
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    EXPECT_EQ(readBuffer, GL_BACK);
}

TEST(Capture, AfterAReshapeTheFileHasTheNewSize) {
    stillWorld();
    WorkDir dir("ppm-reshape");
    onReshape(640, 480);
    glutReshapeWindow(640, 480);
    pumpEvents();
    glutSwapBuffers(); // the GL takes the window's new size on a swap
    captureIndex = 5;
    requestCapture();
    printed([] { onDisplay(); });
    Bytes file = readBytes("ppm/img005.ppm");
    Bytes drawn = backBuffer();
    ASSERT_EQ(file.size(), 15u + 921600u); // "P6 640 480 255\r" and 640 x 480 x 3
    EXPECT_EQ(text(file, 0, 15), std::string("P6 640 480 255\r"));
    // The top-left pixel first, the bottom-right last.
    EXPECT_EQ(memcmp(&file[15], &drawn[size_t(479) * 640 * 3], 3), 0);
    EXPECT_EQ(memcmp(&file[file.size() - 3], &drawn[size_t(639) * 3], 3), 0);
    onReshape(1000, 500);
    glutReshapeWindow(1000, 500);
    pumpEvents();
    glutSwapBuffers();
}

TEST(Capture, NineHeldForThreeFramesWritesThreeNumberedFiles) {
    startWorld();
    bison->wandering = false; // its leg messages would mix with the capture lines
    WorkDir dir("ppm-nine");
    captureIndex = 0;
    onKeyDown('9', 0, 0);
    std::string out = printed([] {
        for (int frame = 0; frame < 3; frame++) onDisplay();
    });
    onKeyUp('9', 0, 0);
    EXPECT_EQ(captureIndex, 3);
    EXPECT_EQ(countOf(out, "Saving image `ppm/img00"), 3);
    for (const char *name : {"ppm/img000.ppm", "ppm/img001.ppm", "ppm/img002.ppm"})
        EXPECT_EQ(readBytes(name).size(), 1500016u) << name;
    EXPECT_FALSE(fileExists("ppm/img003.ppm"));
}

TEST(Capture, ZeroStartsARecordingOnceAndNineAddsAFileEachFrame) {
    startWorld();
    bison->wandering = false; // its leg messages would mix with the capture lines
    WorkDir dir("ppm-zero");
    captureIndex = 42;
    recording = false;
    onKeyDown('0', 0, 0); // held down through all frames below: one press, one toggle
    std::string out = printed([] {
        onDisplay();
        onDisplay();
    });
    EXPECT_TRUE(recording);
    EXPECT_EQ(captureIndex, 2); // reset to 0, then one capture at the end of each frame
    EXPECT_EQ(out, "Saving image `ppm/img000.ppm`\nSaving image `ppm/img001.ppm`\n");
    // With '9' held too, a frame writes two files, the '9' one first.
    onKeyDown('9', 0, 0);
    out = printed([] { onDisplay(); });
    onKeyUp('9', 0, 0);
    EXPECT_EQ(out, "Saving image `ppm/img002.ppm`\nSaving image `ppm/img003.ppm`\n");
    EXPECT_EQ(captureIndex, 4);
    // A new press stops it.
    onKeyUp('0', 0, 0);
    onKeyDown('0', 0, 0);
    out = printed([] { onDisplay(); });
    onKeyUp('0', 0, 0);
    EXPECT_FALSE(recording);
    EXPECT_EQ(out, "");
    EXPECT_EQ(captureIndex, 0);
}

TEST(Capture, ACaptureNeverReplacesAFileAndMovesOnToTheFirstFreeName) {
    stillWorld();
    WorkDir dir("ppm-keep");
    ASSERT_TRUE(makeDir("ppm"));
    // Three earlier captures, a gap at 3, and a file of the player's at 4.
    Bytes mine = {'m', 'i', 'n', 'e'};
    for (const char *name :
         {"ppm/img000.ppm", "ppm/img001.ppm", "ppm/img002.ppm", "ppm/img004.ppm"})
        ASSERT_TRUE(writeBytes(name, mine));
    captureIndex = 0;
    onKeyDown('0', 0, 0);
    std::string out = printed([] {
        onDisplay();
        onDisplay();
    });
    onKeyUp('0', 0, 0);
    EXPECT_EQ(out, "Saving image `ppm/img003.ppm`\nSaving image `ppm/img005.ppm`\n");
    EXPECT_EQ(captureIndex, 6);
    for (const char *name :
         {"ppm/img000.ppm", "ppm/img001.ppm", "ppm/img002.ppm", "ppm/img004.ppm"})
        EXPECT_EQ(readBytes(name), mine) << name;
    EXPECT_EQ(readBytes("ppm/img003.ppm").size(), 1500016u);
    EXPECT_EQ(readBytes("ppm/img005.ppm").size(), 1500016u);
    // A name held by a folder is taken too.
    ASSERT_TRUE(makeDir("ppm/img006.ppm"));
    out = printed([] { onDisplay(); });
    EXPECT_EQ(out, "Saving image `ppm/img007.ppm`\n");
    onKeyDown('0', 0, 0);
    printed([] { onDisplay(); });
    onKeyUp('0', 0, 0);
    EXPECT_FALSE(recording);
}

TEST(Capture, NothingIsWrittenThroughADanglingLink) {
    if (!PLATFORM_HAS_FIFOS_AND_LINKS) GTEST_SKIP() << "symbolic links are not made here";
    stillWorld();
    WorkDir dir("ppm-link");
    ASSERT_TRUE(makeDir("ppm"));
    ASSERT_TRUE(makeLink("../gone.ppm", "ppm/img000.ppm"));
    captureIndex = 0;
    std::string out = printed([] { captureFrame(); });
    EXPECT_EQ(out, "Saving image `ppm/img001.ppm`\n");
    EXPECT_FALSE(fileExists("gone.ppm"));
}

TEST(Capture, WhenTheFolderCannotBeMadeItSaysSoAndTheNumberStillAdvances) {
    startWorld();
    bison->wandering = false; // its leg messages would mix with the capture lines
    WorkDir dir("ppm-blocked");
    ASSERT_TRUE(writeBytes("ppm", {'x'})); // a file where the folder would go
    captureIndex = 7;
    std::string out = printed([] { EXPECT_EQ(captureFrame(), 1); });
    EXPECT_EQ(out, "Unable to open file 'ppm/img007.ppm'\n");
    onKeyDown('9', 0, 0);
    out = printed([] { onDisplay(); });
    onKeyUp('9', 0, 0);
    EXPECT_EQ(out, "Unable to open file 'ppm/img007.ppm'\n");
    EXPECT_EQ(captureIndex, 8);
    EXPECT_EQ(readBytes("ppm"), Bytes{'x'});
}

TEST(Capture, WithoutMemoryForTheFrameTheFileIsRemovedAndTheResultIsOne) {
    WorkDir dir("ppm-memory");
    // A frame of a billion pixels cannot be had with 64 MiB to spare; nothing is read.
    int result = runWithLittleMemory(64 << 20, [] {
        int written =
            writePPM("wide.ppm", 1 << 30, 1, [](int, int, unsigned char *) { _exit(20); });
        if (written != 1) return 10;
        struct stat info;
        if (stat("wide.ppm", &info) == 0) return 11;
        return 0;
    });
    if (result == NO_MEMORY_LIMIT) GTEST_SKIP() << NO_MEMORY_LIMIT_REASON;
    EXPECT_EQ(result, 0);
}

} // namespace

// Recorded games played back in process, as fast as they draw: every frame's draws, picks and
// checksum as recorded, and the end each game came to. A change to the game's logic shows here
// as a desync at a named frame. The recordings are made by scripts/make-recordings.sh.
#include "app/loop.h"
#include "app/ticks.h"
#include "app/replay.h"
#include "app/replay_in_process.h"
#include "app/timedemo.h"

#include "app/app.h"
#include "app/world_check.h"
#include "hud/assists.h"
#include "hud/overlay.h"
#include "hud/screen_text.h"
#include "bison/bison.h"
#include "build_paths.h"
#include "camera/camera.h"
#include "capture/capture.h"
#include "food/pick.h"
#include "game.h"
#include "input/input.h"
#include "sound/captions.h"
#include "support/files.h"
#include "support/gl_env.h"

#include <GL/freeglut.h>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>

namespace {

Demo recorded(const char *name) {
    Demo demo;
    std::string reason;
    std::string path = std::string(GRAZEWELL_SOURCE_DIR) + "/tests/data/" + name;
    EXPECT_TRUE(readDemo(path.c_str(), demo, &reason)) << path << ": " << reason;
    return demo;
}

// Plays a whole recording, drawn drawingRate times a second (0: a frame a tick) and fails the
// calling test at its first tick that differs.
void playBack(const Demo &demo, int drawingRate = 0) {
    startWorld();
    ASSERT_FALSE(demo.frames.empty());
    long bad = -1;
    drawEveryFrame = false; // the ticks that decide something are drawn all the same
    std::string difference = playDemoInProcess(demo, &bad, drawingRate);
    drawEveryFrame = true;
    EXPECT_EQ(difference, "") << "frame " << bad << " of " << demo.frames.size();
}

// The back buffer as drawn, RGB rows from the bottom.
std::vector<unsigned char> backBuffer() {
    glFinish();
    std::vector<unsigned char> pixels(1000 * 500 * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 1000, 500, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// The glyph pixels of the state's first screen line, drawn alone by the game's own routine into
// the back buffer: true where a glyph is, rows from the bottom.
std::vector<bool> lineMask(GameState state) {
    glViewport(0, 0, 1000, 500);
    setProjection();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1, 1, 1);
    float x = 0, y = 0;
    formatScreenLine(state, 0, 1000, 500, &x, &y);
    drawText(x, y);
    std::vector<unsigned char> pixels = backBuffer();
    std::vector<bool> mask(pixels.size() / 3);
    for (size_t i = 0; i < mask.size(); i++) mask[i] = pixels[i * 3] > 128;
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glClearColor(0.7f, 0.0f, 1.0f, 0.0f);
    return mask;
}

// How well a frame shows a line: the glyph pixels take one colour (the most common among them),
// and within the line's box the pixels of that colour should be exactly the glyphs. Their
// overlap, intersection over union: 1 for a perfect match.
double lineMatch(const std::vector<unsigned char> &frame, const std::vector<bool> &mask) {
    auto colourAt = [&](size_t i) {
        return frame[i * 3] << 16 | frame[i * 3 + 1] << 8 | frame[i * 3 + 2];
    };
    int x0 = 1000, y0 = 500, x1 = -1, y1 = -1;
    std::map<int, int> colours;
    for (int y = 0; y < 500; y++)
        for (int x = 0; x < 1000; x++)
            if (mask[size_t(y) * 1000 + x]) {
                x0 = std::min(x0, x), x1 = std::max(x1, x);
                y0 = std::min(y0, y), y1 = std::max(y1, y);
                colours[colourAt(size_t(y) * 1000 + x)]++;
            }
    if (x1 < 0) return 0;
    int colour = 0, most = 0;
    for (auto &entry : colours)
        if (entry.second > most) most = entry.second, colour = entry.first;
    int both = 0, either = 0;
    for (int y = y0 - 2; y <= y1 + 2; y++)
        for (int x = x0 - 2; x <= x1 + 2; x++) {
            bool coloured = colourAt(size_t(y) * 1000 + x) == colour;
            bool glyph = mask[size_t(y) * 1000 + x];
            both += coloured && glyph;
            either += coloured || glyph;
        }
    return either ? double(both) / either : 0;
}

// A game played to a win: the recording was made from the real game, fed ten oranges.
TEST(Recordings, TheWinPlaysBackToTheWinScreen) {
    Demo demo = recorded("win.gzd");
    playBack(demo);
    EXPECT_EQ(gameState, STATE_WON);
    EXPECT_EQ(foodFed, WIN_SCORE);
    // Drawn again as it stands, the last frame shows the win's line over the meadow.
    drawGame(false);
    std::vector<unsigned char> frame = backBuffer();
    EXPECT_GE(lineMatch(frame, lineMask(STATE_WON)), 0.9);
    EXPECT_LT(lineMatch(frame, lineMask(STATE_LOST)), 0.8);
}

TEST(Recordings, TheLossPlaysBackToTheLossAtMinusTen) {
    playBack(recorded("loss.gzd"));
    EXPECT_EQ(gameState, STATE_LOST);
    EXPECT_EQ(foodFed, LOSE_SCORE);
}

// A game won from the keyboard alone (pick_at_centre bound to c, and space): every pick is a left
// click at the view's centre, and nothing else came from the mouse.
TEST(Recordings, AWinPlayedWithKeysAlonePlaysBackToTheWin) {
    Demo demo = recorded("keys.gzd");
    int centreClicks = 0, otherMouse = 0, specials = 0, spaces = 0;
    for (const DemoFrame &frame : demo.frames)
        for (const DemoEvent &event : frame.events) {
            bool centre = event.type == DEMO_MOUSE && event.a == GLUT_LEFT_BUTTON &&
                          event.c == 500 && event.d == 250;
            centreClicks += centre && event.b == GLUT_DOWN;
            otherMouse += event.type == DEMO_MOUSE && !centre;
            specials += event.type == DEMO_SPECIAL_DOWN || event.type == DEMO_SPECIAL_UP;
            spaces += event.type == DEMO_KEY_DOWN && event.a == ' ';
        }
    EXPECT_GE(centreClicks, 2);
    EXPECT_EQ(otherMouse, 0);
    EXPECT_EQ(specials, 0);
    EXPECT_GE(spaces, WIN_SCORE);
    playBack(demo);
    EXPECT_EQ(gameState, STATE_WON);
    EXPECT_EQ(foodFed, WIN_SCORE);
    freshWorld();
    playBack(demo, 20);
    EXPECT_EQ(foodFed, WIN_SCORE) << "drawn at 20 frames a second";
}

// A game whose window was resized, which saved frames with 9 and lost the keyboard to another
// window while a key was down: the same captures again, and the keys let go where they were.
TEST(Recordings, AGameThatResizesCapturesAndLosesTheKeyboardPlaysBack) {
    Demo demo = recorded("window.gzd");
    int reshapes = 0, released = 0, nines = 0;
    for (const DemoFrame &frame : demo.frames)
        for (const DemoEvent &event : frame.events) {
            reshapes += event.type == DEMO_RESHAPE;
            released += event.type == DEMO_KEYS_RELEASED;
            nines += event.type == DEMO_KEY_DOWN && event.a == '9';
        }
    EXPECT_GE(reshapes, 2) << "the recording holds no resize";
    EXPECT_GE(released, 1) << "the recording never lost the keyboard";
    EXPECT_GE(nines, 1);
    WorkDir dir("replayed-captures");
    playBack(demo);
    int captures = 0;
    while (fileExists(dir.path + "/ppm/img" + std::string(captures < 10 ? "00" : "0") +
                      std::to_string(captures) + ".ppm"))
        captures++;
    EXPECT_GE(captures, 1);
    EXPECT_EQ(captures, captureIndex);
}

// Drawn 20 times a second, three ticks a frame, each recorded game is the same game to its end
// and its captures (each test runs in a process of its own, so one game each).
TEST(Recordings, TheWinPlaysTheSameDrawnAtTwentyFramesASecond) {
    playBack(recorded("win.gzd"), 20);
    EXPECT_EQ(foodFed, WIN_SCORE);
}

TEST(Recordings, TheLossPlaysTheSameDrawnAtTwentyFramesASecond) {
    playBack(recorded("loss.gzd"), 20);
    EXPECT_EQ(foodFed, LOSE_SCORE);
}

TEST(Recordings, TheWindowGamePlaysTheSameDrawnAtTwentyFramesASecond) {
    WorkDir dir("window-at-twenty");
    playBack(recorded("window.gzd"), 20);
    EXPECT_GE(captureIndex, 1);
    EXPECT_TRUE(fileExists(dir.path + "/ppm/img000.ppm"));
}

// What the screen shows is the player's own: large and readable text, the keys' list and the
// options screen and the assists drawn over every frame leave the game as recorded, its picks
// included.
TEST(Recordings, TheWinPlaysTheSameWhateverTheScreenShows) {
    startWorld();
    largeText = readableText = keysListShown = true;
    captionsOn = crosshairShown = bisonMarkerShown = true;
    openOptions();
    long bad = -1;
    std::string difference = playDemoInProcess(recorded("win.gzd"), &bad, 2);
    EXPECT_EQ(difference, "") << "frame " << bad;
    EXPECT_EQ(foodFed, WIN_SCORE);
}

// A frame that differs is named with what differs: the draws, the pick, the checksum.
TEST(Recordings, AFrameThatDiffersSaysWhatDiffers) {
    DemoFrame recordedFrame;
    recordedFrame.draws = {5, 7};
    recordedFrame.picked = true;
    recordedFrame.pickHits = {3};
    recordedFrame.checksum = 0x1234abcd;
    DemoFrame played = recordedFrame;
    EXPECT_EQ(frameDifference(recordedFrame, played), "");
    played.draws = {5};
    EXPECT_NE(frameDifference(recordedFrame, played).find("(5 7)"), std::string::npos);
    played = recordedFrame;
    played.pickHits = {4};
    EXPECT_NE(frameDifference(recordedFrame, played).find("hit foods (4)"), std::string::npos);
    played = recordedFrame;
    played.checksum = 0x1234abce;
    EXPECT_NE(frameDifference(recordedFrame, played).find("1234abce"), std::string::npos);
}

// A recording changed at one frame stops the playback exactly there.
TEST(Recordings, APlaybackStopsAtTheFirstFrameThatDiffers) {
    Demo demo = recorded("loss.gzd");
    ASSERT_GT(demo.frames.size(), 300u);
    DemoFrame changed = demo.frames[300];
    changed.checksum ^= 1;
    demo.frames.set(300, changed);
    startWorld();
    drawEveryFrame = false;
    long bad = -1;
    std::string difference = playDemoInProcess(demo, &bad);
    EXPECT_EQ(bad, 300);
    EXPECT_NE(difference.find("checksum"), std::string::npos) << difference;
}

// A replay says up front when the tree pictures here are not those it was recorded with, and
// says nothing when they are, or when the recording never knew them (its game died before its
// first tick) or is of the version that did not keep them.
TEST(Recordings, AReplayWhoseTreePicturesDifferSaysSoUpFront) {
    startWorld();
    Demo demo = recorded("win.gzd");
    const std::pair<uint32_t, uint32_t> cases[] = {
        {2, worldFingerprint()}, {2, worldFingerprint() ^ 1}, {2, 0}, {1, worldFingerprint() ^ 1}};
    for (const auto &[version, fingerprint] : cases) {
        demo.header.formatVersion = version;
        demo.header.fingerprint = fingerprint;
        testing::internal::CaptureStderr();
        startReplay(demo, "win.gzd", false);
        std::string said = testing::internal::GetCapturedStderr();
        stopReplay();
        bool warned = version == 2 && fingerprint == (worldFingerprint() ^ 1);
        EXPECT_EQ(said, warned ? "grazewell: win.gzd: the tree pictures here are not the "
                                 "recording's (their visible texels differ), so a click through "
                                 "a tree may not pick what it picked\n"
                               : "")
            << version << " " << fingerprint;
    }
}

TEST(Recordings, TimedemoFiguresGiveTheAverageTheOnePercentLowAndTheSlowestFrame) {
    std::vector<double> seconds(200, 0.01);
    seconds[17] = 0.1;
    seconds[150] = 0.05;
    // 200 frames in 2.13 s; the slowest 1 % is two frames, 0.15 s: 13.3 a second.
    EXPECT_EQ(timedemoFigures(seconds),
              "timedemo: 200 frames in 2.13 s: 93.9 fps average, 13.3 fps 1% low, slowest frame 17 "
              "(100.0 ms)\n");
}

} // namespace

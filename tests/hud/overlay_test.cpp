// The overlays: they show only in frames that are shown, leave the game's GL state as they found
// it (so the next frame without them is as it would have been), never reach a capture, and speak
// of the keys in force.
#include "hud/overlay.h"

#include "app/app.h"
#include "app/loop.h"
#include "app/player.h"
#include "app/replay.h"
#include "bison/bison.h"
#include "camera/camera.h"
#include "capture/capture.h"
#include "hud/screen_text.h"
#include "input/input.h"
#include "settings/settings.h"
#include "support/files.h"
#include "support/gl_env.h"

#include <GL/freeglut.h>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>

namespace {

// The window's front or back buffer, read whole, rows from the bottom.
std::vector<unsigned char> pixels(GLenum buffer) {
    std::vector<unsigned char> read(size_t(windowWidth) * windowHeight * 3);
    glReadBuffer(buffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, windowWidth, windowHeight, GL_RGB, GL_UNSIGNED_BYTE, read.data());
    glReadBuffer(GL_BACK);
    return read;
}

class Overlays : public ::testing::Test {
  protected:
    void SetUp() override {
        startWorld();
        releaseKeysWithFocus = false;
        bison->wandering = false;
        *camera = Camera();
    }
    void TearDown() override {
        gamePaused = false;
        keysListShown = false;
        keysInForce = defaultBindings();
        releaseKeysWithFocus = true;
    }
};

TEST_F(Overlays, TheyShowOverTheFrameButNotInItsCaptureAndLeaveTheNextFrameAsItWas) {
    drawGame(false);
    std::vector<unsigned char> plain = pixels(GL_BACK);
    keysListShown = true;
    drawGame(false);
    drawOverlays(screenFacts());
    EXPECT_NE(pixels(GL_BACK), plain) << "no overlay was drawn";
    keysListShown = false;
    drawGame(false);
    EXPECT_EQ(pixels(GL_BACK), plain) << "the overlays left the game's GL state changed";

    // A paused frame shows its line, while its capture is the game's picture alone.
    WorkDir dir("overlay-capture");
    gamePaused = true;
    captureIndex = 0;
    requestCapture();
    onDisplay();
    Bytes capture = readBytes("ppm/img000.ppm");
    EXPECT_NE(pixels(GL_FRONT), plain) << "the paused line did not show";
    ASSERT_EQ(capture.size(), size_t(16) + plain.size());
    size_t row = size_t(windowWidth) * 3, differing = 0;
    for (int y = 0; y < windowHeight; y++)
        differing += memcmp(&capture[16 + size_t(y) * row],
                            &plain[size_t(windowHeight - 1 - y) * row], row) != 0;
    EXPECT_EQ(differing, 0u) << "rows of the capture differ from the frame without overlays";
}

// Every line of the blocks due, head, body and foot, in their order.
std::vector<std::string> overlayLines() {
    std::vector<std::string> lines;
    for (const BlockWords &words : overlayBlocks(screenFacts()))
        for (const auto *part : {&words.head, &words.body, &words.foot})
            lines.insert(lines.end(), part->begin(), part->end());
    return lines;
}

TEST_F(Overlays, TheirWordsAreTheKeysInForce) {
    gameState = STATE_PLAYING;
    std::vector<std::string> none = overlayLines();
    EXPECT_TRUE(none.empty());
    gamePaused = true;
    std::vector<std::string> paused = overlayLines();
    ASSERT_EQ(paused.size(), 1u);
    EXPECT_EQ(paused[0], "Paused: p goes on; still acting: escape, 9, 0, n, v, -, =, f11, f1, f10");

    keysInForce[size_t(actionNamed("pause"))] = {SPECIAL_KEY + GLUT_KEY_F5};
    keysInForce[size_t(actionNamed("walk_forward"))] = {SPECIAL_KEY + GLUT_KEY_UP, 'w'};
    keysListShown = true;
    std::vector<std::string> lines = overlayLines();
    EXPECT_EQ(lines[0].rfind("Paused: f5 goes on", 0), 0u) << lines[0];
    EXPECT_NE(std::find(lines.begin(), lines.end(), "up, w: walk forward"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "f5: pause or go on"), lines.end());

    // The title and the result say what to do next, by the keys in force.
    gamePaused = false;
    keysListShown = false;
    gameState = STATE_TITLE;
    EXPECT_EQ(overlayLines(),
              std::vector<std::string>{"Press f10 for the options, f5 to pause, f1 for the keys."});
    gameState = STATE_LOST;
    foodFed = -10;
    keysInForce[size_t(actionNamed("start"))] = {SPECIAL_KEY + GLUT_KEY_HOME};
    EXPECT_EQ(overlayLines(),
              std::vector<std::string>{"Final score: -10. Press home to go back to the title."});

    // A replay says so first, with the tick it is at and the ticks in all.
    Demo demo;
    demo.header.width = windowWidth;
    demo.header.height = windowHeight;
    demo.frames.resize(3);
    startReplay(demo, "three.gzd", false);
    EXPECT_EQ(overlayLines()[0], "Replay: tick 1 of 3");
}

TEST_F(Overlays, AClickOnAnOptionsRowChoosesItAndTheWheelScrollsThem) {
    openOptions();
    const PlacedBlock *block = overlayLayout(screenFacts()).find(BLOCK_OPTIONS);
    ASSERT_TRUE(block);
    int line = fontLineHeight(block->font);
    auto rowY = [&](const char *name) {
        return block->rowTop + (optionItemNamed(name) - block->first) * line + line / 2;
    };
    optionsClick(GLUT_LEFT_BUTTON, block->box.x + 4, rowY("readable_text"));
    EXPECT_TRUE(readableText);
    EXPECT_EQ(optionsScreen.selected, optionItemNamed("readable_text"));
    // On a value, left of its middle a step down, right of it a step up.
    OptionsAsk ask = optionsClick(GLUT_LEFT_BUTTON, block->valueX + 2, rowY("volume"));
    EXPECT_EQ(ask.preference, PREFERENCE_VOLUME_DOWN);
    ask = optionsClick(GLUT_LEFT_BUTTON, block->box.right() - 3, rowY("fps"));
    EXPECT_EQ(ask.kind, ASK_FPS);
    savedSettings = Settings();
    // Above the rows, or beside the block: nothing.
    EXPECT_EQ(optionsClick(GLUT_LEFT_BUTTON, block->box.x + 4, block->box.y + 1).kind, ASK_NOTHING);
    EXPECT_EQ(optionsClick(GLUT_LEFT_BUTTON, block->box.x - 2, rowY("close")).kind, ASK_NOTHING);
    EXPECT_TRUE(optionsScreen.shown);

    // In a window too small for every row, the wheel moves them.
    windowWidth = 320;
    windowHeight = 200;
    gameState = STATE_TITLE;
    block = overlayLayout(screenFacts()).find(BLOCK_OPTIONS);
    ASSERT_TRUE(block);
    ASSERT_LT(block->shown, OPTION_ITEM_COUNT);
    optionsKey(SPECIAL_KEY + GLUT_KEY_HOME);
    overlayLayout(screenFacts());
    optionsClick(4, block->box.x + 4, block->rowTop);
    EXPECT_EQ(optionsScreen.first, 1);
    optionsClick(3, block->box.x + 4, block->rowTop);
    EXPECT_EQ(optionsScreen.first, 0);
    windowWidth = 1000;
    windowHeight = 500;
    closeOptions();
    readableText = false;
}

} // namespace

// The assists drawn over the view: the marker's place for a bison out of view (behind, left,
// right, near and far, clear of the captions), and what reaches the window: with every assist off
// nothing, with each on only its own pixels, never in a capture.
#include "hud/assists.h"

#include "app/app.h"
#include "app/loop.h"
#include "app/player.h"
#include "bison/bison.h"
#include "camera/camera.h"
#include "capture/capture.h"
#include "hud/overlay.h"
#include "input/input.h"
#include "sound/captions.h"
#include "sound/sound.h"
#include "support/files.h"
#include "support/gl_env.h"

#include <GL/gl.h>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace {

const Vector3 EYE = {0.0f, 1.75f, 0.0f}, NORTH = {0.0f, 0.0f, -1.0f};

MarkerPlace markerFor(Vector3 bison, std::vector<Box> clear = {}) {
    return bisonMarkerPlace(EYE, NORTH, bison, 1000, 500, clear);
}

// How far in from the edge the marker stands for a bison at distance.
double inset(double distance) {
    double nearness = (MARKER_FAR - distance) / (MARKER_FAR - MARKER_NEAR);
    return MARKER_MARGIN + MARKER_INSET * std::min(1.0, std::max(0.0, nearness));
}

TEST(BisonMarker, ItPointsFromTheEdgeToABisonBehindLeftOrRightAndNotAtOneInView) {
    EXPECT_FALSE(markerFor({0.0f, 1.75f, -30.0f}).shown) << "straight ahead";
    EXPECT_FALSE(markerFor({11.0f, 1.75f, -10.0f}).shown) << "ahead, just inside the right edge";
    EXPECT_FALSE(markerFor({0.0f, 1.75f, -0.5f}).shown)
        << "nearer than the view begins, as good as in view";

    // Straight behind, 30 away: at the bottom's middle, pointing down.
    MarkerPlace behind = markerFor({0.0f, 1.75f, 30.0f});
    ASSERT_TRUE(behind.shown);
    EXPECT_NEAR(behind.x, 500.0, 1e-3);
    EXPECT_NEAR(behind.y, 500.0 - inset(30.0), 1e-3);
    EXPECT_NEAR(behind.angle, PI_D / 2, 1e-6);
    // Left, 40 away, level with the eye: at the left edge's middle, pointing left.
    MarkerPlace left = markerFor({-40.0f, 1.75f, 0.0f});
    ASSERT_TRUE(left.shown);
    EXPECT_NEAR(left.x, inset(40.0), 1e-3);
    EXPECT_NEAR(left.y, 250.0, 1e-3);
    EXPECT_NEAR(std::fabs(left.angle), PI_D, 1e-6);
    // Ahead but off to the right: at the right edge, pointing right.
    MarkerPlace right = markerFor({40.0f, 1.75f, -10.0f});
    ASSERT_TRUE(right.shown);
    EXPECT_NEAR(right.x, 1000.0 - inset(std::sqrt(1700.0)), 1e-3);
    EXPECT_NEAR(right.y, 250.0, 1e-3);
    EXPECT_NEAR(right.angle, 0.0, 1e-6);
    // Behind and to the right: on the right, low, the bottom edge reached first.
    MarkerPlace behindRight = markerFor({20.0f, 1.75f, 20.0f});
    ASSERT_TRUE(behindRight.shown);
    double in = inset(std::sqrt(800.0));
    EXPECT_NEAR(behindRight.y, 500.0 - in, 1e-3);
    EXPECT_NEAR(behindRight.x, 500.0 + (250.0 - in), 1e-3);
    // The farther, the nearer the edge: 20 away and 140 away the same way, and 400 at the margin.
    MarkerPlace nearOne = markerFor({-20.0f, 1.75f, 1.0f}),
                farOne = markerFor({-140.0f, 1.75f, 7.0f});
    EXPECT_GT(nearOne.x, farOne.x);
    EXPECT_NEAR(markerFor({-400.0f, 1.75f, 0.0f}).x, MARKER_MARGIN, 1e-3);
    EXPECT_NEAR(markerFor({-5.0f, 1.75f, 0.0f}).x, MARKER_MARGIN + MARKER_INSET, 1e-3);
    // A bison high in the sky after a bomb, out of the top of the view.
    MarkerPlace up = markerFor({0.0f, 80.0f, -10.0f});
    ASSERT_TRUE(up.shown);
    EXPECT_NEAR(up.x, 500.0, 1e-3);
    EXPECT_LT(up.y, 100.0);
}

TEST(BisonMarker, ItKeepsClearOfTheCaptionsAtTheBottom) {
    const Box captions = {400, 420, 200, 76};
    MarkerPlace behind = markerFor({0.0f, 1.75f, 30.0f}, {captions});
    ASSERT_TRUE(behind.shown);
    int grow = int(MARKER_WIDTH / 2.0f) + LAYOUT_GAP;
    EXPECT_NEAR(behind.y, captions.y - grow - 1.0, 1e-3);
    EXPECT_NEAR(behind.x, 500.0, 1e-3);
    // A marker beside the captions is where it was.
    MarkerPlace left = markerFor({-40.0f, 1.75f, 0.0f}, {captions});
    EXPECT_NEAR(left.x, inset(40.0), 1e-3);
}

// The window's back or front buffer, read whole, rows from the bottom.
std::vector<unsigned char> pixels(GLenum buffer = GL_BACK) {
    glFinish();
    std::vector<unsigned char> read(size_t(windowWidth) * windowHeight * 3);
    glReadBuffer(buffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, windowWidth, windowHeight, GL_RGB, GL_UNSIGNED_BYTE, read.data());
    glReadBuffer(GL_BACK);
    return read;
}

// The box (y down, as the layout's) holding every pixel that differs; empty when none does.
Box differing(const std::vector<unsigned char> &a, const std::vector<unsigned char> &b) {
    int x0 = windowWidth, y0 = windowHeight, x1 = -1, y1 = -1;
    for (int y = 0; y < windowHeight; y++)
        for (int x = 0; x < windowWidth; x++) {
            size_t at = (size_t(y) * windowWidth + x) * 3;
            if (memcmp(&a[at], &b[at], 3) == 0) continue;
            int top = windowHeight - 1 - y;
            x0 = std::min(x0, x), x1 = std::max(x1, x);
            y0 = std::min(y0, top), y1 = std::max(y1, top);
        }
    return x1 < 0 ? Box{} : Box{x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

bool within(const Box &inner, const Box &outer) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.right() <= outer.right() &&
           inner.bottom() <= outer.bottom();
}

class AssistsDrawn : public ::testing::Test {
  protected:
    void SetUp() override {
        startWorld();
        bison->wandering = false;
        *camera = Camera();
        camera->direction.y = 0.0f; // level, looking along +z
        bison->position = {camera->position.x, 1.75f, camera->position.z - 30.0f}; // behind
        listenFrom(camera->position, camera->direction);
        soundClockSource = [] { return 100.0; };
        captionClock = 100.0;
    }
    // The frame and the assists over it.
    std::vector<unsigned char> frame() {
        drawGame(false);
        drawAssists(camera->position, camera->direction, bison->position,
                    overlayLayout(screenFacts()));
        return pixels();
    }
};

TEST_F(AssistsDrawn, OffTheyDrawNothingOnOnlyTheirOwnPixelsAndTheNextFrameIsAsItWas) {
    drawGame(false);
    std::vector<unsigned char> plain = pixels();
    EXPECT_EQ(frame(), plain) << "every assist off";

    crosshairShown = true;
    std::vector<unsigned char> crossed = frame();
    Box cross = differing(plain, crossed);
    int reach = CROSSHAIR_ARM + 2;
    EXPECT_TRUE(within(cross, {500 - reach, 250 - reach, 2 * reach, 2 * reach}))
        << cross.x << "," << cross.y << " " << cross.width << "x" << cross.height;
    EXPECT_GE(cross.width, 2 * CROSSHAIR_ARM);
    // Light about the click's pixel, (500, 250) from the top: row 249 from the bottom.
    size_t centre = (size_t(249) * windowWidth + 500) * 3;
    EXPECT_EQ(crossed[centre] + crossed[centre + 1] + crossed[centre + 2], 3 * 255);
    crosshairShown = false;

    bisonMarkerShown = true;
    Box marked = differing(plain, frame());
    MarkerPlace marker =
        bisonMarkerPlace(camera->position, camera->direction, bison->position, 1000, 500);
    ASSERT_TRUE(marker.shown);
    int size = int(MARKER_LENGTH) + 6;
    EXPECT_TRUE(within(marked, {int(marker.x) - size, int(marker.y) - size, 2 * size, 2 * size}))
        << marked.x << "," << marked.y << " " << marked.width << "x" << marked.height;
    EXPECT_GT(marked.width, 0) << "no marker drawn";
    // In view, no marker.
    bison->position = {camera->position.x, 1.75f, camera->position.z + 30.0f};
    drawGame(false);
    std::vector<unsigned char> bisonAhead = pixels();
    EXPECT_EQ(frame(), bisonAhead);
    bisonMarkerShown = false;

    bison->position = {camera->position.x, 1.75f, camera->position.z - 30.0f};
    drawGame(false);
    EXPECT_EQ(pixels(), plain) << "the assists left the game's GL state changed";
}

TEST_F(AssistsDrawn, CaptionsShowInTheCaptionsAreaAloneAndNoAssistReachesACapture) {
    gameState = STATE_PLAYING;
    initSound(true, false);
    drawGame(false);
    std::vector<unsigned char> plain = pixels();
    captionsOn = true;
    playAt(SOUND_HOOF, bison->position);
    ScreenFacts facts = screenFacts();
    ASSERT_EQ(facts.captions, std::vector<std::string>{"Bison's hooves, far behind"});
    drawGame(false);
    drawOverlays(facts);
    std::vector<unsigned char> captioned = pixels();
    const PlacedBlock *block = overlayLayout(facts).find(BLOCK_CAPTIONS);
    ASSERT_NE(block, nullptr);
    Box changed = differing(plain, captioned);
    EXPECT_TRUE(within(changed, block->box))
        << changed.x << "," << changed.y << " " << changed.width << "x" << changed.height
        << " outside " << block->box.x << "," << block->box.y << " " << block->box.width << "x"
        << block->box.height;
    EXPECT_GT(changed.width, 100);

    // Every assist at once on a paused frame that is captured: the capture is the game alone.
    crosshairShown = bisonMarkerShown = true;
    WorkDir dir("assists-capture");
    gamePaused = true;
    captureIndex = 0;
    requestCapture();
    onDisplay();
    Bytes capture = readBytes("ppm/img000.ppm");
    ASSERT_EQ(capture.size(), size_t(16) + plain.size());
    std::vector<unsigned char> shown = pixels(GL_FRONT);
    Box onScreen = differing(plain, shown);
    EXPECT_GT(onScreen.width, 900) << "the marker, the crosshair and the words showed";
    size_t row = size_t(windowWidth) * 3, rows = 0;
    for (int y = 0; y < windowHeight; y++)
        rows += memcmp(&capture[16 + size_t(y) * row], &plain[size_t(windowHeight - 1 - y) * row],
                       row) != 0;
    EXPECT_EQ(rows, 0u) << "rows of the capture differ from the frame without assists";
    gamePaused = false;
}

} // namespace

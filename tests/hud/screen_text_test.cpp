// Game states: the outcome, the state key, the title drift and the lines on the screen.
#include "app/app.h"
#include "app/loop.h"
#include "hud/screen_text.h"

#include "camera/camera.h"
#include "food/feeding.h"
#include "food/food.h"
#include "food/pick.h"
#include "input/input.h"
#include "support/gl_env.h"

#include <GL/freeglut.h>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

class States : public ::testing::Test {
  protected:
    void SetUp() override {
        startWorld();
        memset(keyDown, 0, sizeof keyDown);
        gameState = STATE_TITLE;
        foodFed = 0;
    }
};

TEST_F(States, TenWinsElevenStaysWonMinusTenLoses) {
    gameState = STATE_PLAYING;
    foodFed = 9;
    checkOutcome();
    EXPECT_EQ(gameState, STATE_PLAYING);
    foodFed = 10;
    onDisplay(); // the check opens the frame
    EXPECT_EQ(gameState, STATE_WON);
    foodFed = 11;
    checkOutcome();
    EXPECT_EQ(gameState, STATE_WON);
    foodFed = -9;
    checkOutcome();
    EXPECT_EQ(gameState, STATE_WON);
    foodFed = -10;
    checkOutcome();
    EXPECT_EQ(gameState, STATE_LOST);
    // Scoring is not blocked on the title screen.
    gameState = STATE_TITLE;
    foodFed = 10;
    checkOutcome();
    EXPECT_EQ(gameState, STATE_WON);
}

TEST_F(States, OneTogglesAndResetsOnlyTheScore) {
    onKeyDown('1', 0, 0);
    processInput(TICK_ADVANCE);
    EXPECT_EQ(gameState, STATE_PLAYING);
    processInput(TICK_ADVANCE); // one press, one toggle
    EXPECT_EQ(gameState, STATE_PLAYING);

    foodFed = 7;
    takeIntoHand(5);
    Vector3 where = camera->position;
    onKeyDown('1', 0, 0);
    processInput(TICK_ADVANCE);
    EXPECT_EQ(gameState, STATE_TITLE);
    EXPECT_EQ(foodFed, 0);
    EXPECT_EQ(handCount, 1);
    EXPECT_EQ(foods[5]->state, FOOD_HELD);
    EXPECT_EQ(camera->position.x, where.x);

    for (GameState from : {STATE_WON, STATE_LOST}) {
        gameState = from;
        foodFed = from == STATE_WON ? 10 : -10;
        toggleGameState();
        EXPECT_EQ(gameState, STATE_TITLE);
        EXPECT_EQ(foodFed, 0);
    }
}

TEST_F(States, TheTitleDriftSinksTheGazeTo02AndStops) {
    camera->direction.y = 2.0f;
    int frames = 0;
    float before = 0;
    do {
        before = camera->direction.y;
        titleDrift();
        frames++;
    } while (camera->direction.y != before && frames < 1000);
    // 181 steps of 0.01 in single precision: the 180th leaves 0.2000016, just above 0.2.
    EXPECT_EQ(frames - 1, 181);
    EXPECT_FLOAT_EQ(camera->direction.y, 0.19000164f);

    // After 'f' has lowered the gaze below 0.2 the drift does nothing.
    camera->direction.y = 0.5f;
    onKeyDown('f', 0, 0);
    for (int i = 0; i < 40; i++) processInput(TICK_ADVANCE);
    onKeyUp('f', 0, 0);
    float looked = camera->direction.y;
    ASSERT_LT(looked, 0.2f);
    titleDrift();
    EXPECT_EQ(camera->direction.y, looked);

    // No drift while playing.
    gameState = STATE_PLAYING;
    camera->direction.y = 1.0f;
    titleDrift();
    EXPECT_EQ(camera->direction.y, 1.0f);
}

struct Line {
    std::string text;
    float x, y; // where it starts in the window, in pixels from the bottom-left corner
};

std::vector<Line> linesOf(GameState state, int width = 1000, int height = 500) {
    std::vector<Line> lines;
    float x = 0, y = 0;
    for (int i = 0; formatScreenLine(state, i, width, height, &x, &y); i++)
        lines.push_back({textLine, x, y});
    return lines;
}

void expectTexts(GameState state, const std::vector<std::string> &expected) {
    std::vector<Line> lines = linesOf(state);
    ASSERT_EQ(lines.size(), expected.size()) << state;
    for (size_t i = 0; i < lines.size(); i++) EXPECT_EQ(lines[i].text, expected[i]);
}

TEST_F(States, TheLinesOfEachStateWordForWord) {
    expectTexts(STATE_TITLE,
                {"GRAZEWELL", "w - move forward, s - move backward",
                 "a - turn left, d - turn right", "q - turn around, e - look up, f - look down",
                 "click left to pick up food.  click right to throw.", "Press 1 to start."});
    expectTexts(STATE_WON, {"YOU FED THAT BISON WELL! :)"});
    expectTexts(STATE_LOST, {"YOU FED THAT BISON POORLY! :("});

    handCount = 0;
    holding = false;
    heldIndex = -1;
    foodFed = -3;
    expectTexts(STATE_PLAYING, {"food fed: -3", "number at hand: 0", "currently holding: nothing"});
    takeIntoHand(0);  // an orange
    takeIntoHand(18); // a cloud
    expectTexts(STATE_PLAYING, {"food fed: -3", "number at hand: 2", "currently holding: cloud"});
    throwHeld();
    EXPECT_EQ(linesOf(STATE_PLAYING)[2].text, "currently holding: orange");
}

// The lines of each state as they stood before the text was placed in window pixels: raster
// positions in the view scaled by 5 at depth -1.2, through the window's perspective.
struct OldLine {
    GameState state;
    float x, y;
};
const OldLine OLD_LINES[] = {
    {STATE_PLAYING, -1.35f, 0.6f}, {STATE_PLAYING, -1.35f, 0.55f}, {STATE_PLAYING, -1.35f, 0.5f},
    {STATE_TITLE, -0.5f, 0.3f},    {STATE_TITLE, -0.5f, 0.25f},    {STATE_TITLE, -0.5f, 0.2f},
    {STATE_TITLE, -0.5f, 0.15f},   {STATE_TITLE, -0.5f, 0.1f},     {STATE_TITLE, -0.5f, 0.0f},
    {STATE_WON, -0.5f, 0.0f},      {STATE_LOST, -0.5f, 0.0f},
};

// Where a raster position of the old scaled frame lands in the 1000 x 500 window.
void oldWindowPoint(const OldLine &old, double &wx, double &wy) {
    GLdouble projection[16], model[16] = {5, 0, 0, 0, 0, 5, 0, 0, 0, 0, 5, 0, 0, 0, 0, 1};
    GLint viewport[4] = {0, 0, 1000, 500};
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(60.0, 2.0, 1.0, 2000.0);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    double wz;
    gluProject(old.x, old.y, -1.2, model, projection, viewport, &wx, &wy, &wz);
}

// The whole back buffer, bottom row first.
std::vector<unsigned char> backBuffer(int width, int height) {
    std::vector<unsigned char> pixels(size_t(width) * size_t(height) * 3);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// A black field with a cleared depth buffer, and the normal the lit text colour depends on.
void clearForText() {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.7f, 0.0f, 1.0f, 1.0f);
    glNormal3f(0.3f, 0.4f, 0.866f);
}

// The text block of a state as it was drawn before, line by line from OLD_LINES.
void drawOldText(GameState state) {
    setProjection();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(0.2f, 0.2f, 0.2f);
    glScalef(5, 5, 5);
    int line = 0;
    float x = 0, y = 0;
    for (const OldLine &old : OLD_LINES) {
        if (old.state != state) continue;
        ASSERT_TRUE(formatScreenLine(state, line++, 1000, 500, &x, &y));
        glRasterPos3f(old.x, old.y, -1.2f);
        for (const char *c = textLine; *c; c++)
            glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, (unsigned char)*c);
    }
}

TEST_F(States, AtTheFirstWindowSizeEveryLineTakesTheSamePixelsAsBefore) {
    onReshape(1000, 500);
    handCount = 0;
    heldIndex = -1;
    foodFed = 7;
    int line = 0;
    GameState last = STATE_PLAYING;
    for (const OldLine &old : OLD_LINES) {
        line = old.state == last ? line : 0;
        last = old.state;
        Line now = linesOf(old.state)[size_t(line++)];
        double wx, wy;
        oldWindowPoint(old, wx, wy);
        EXPECT_NEAR(now.x, wx, 1e-3) << now.text;
        EXPECT_NEAR(now.y, wy, 1e-3) << now.text;
    }
    // Place, shade and depth: the same bytes in the colour buffer.
    for (GameState state : {STATE_TITLE, STATE_PLAYING, STATE_WON, STATE_LOST}) {
        gameState = state;
        clearForText();
        drawOldText(state);
        std::vector<unsigned char> before = backBuffer(1000, 500);
        setProjection();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        camera->yaw = 0.7f; // the text must not depend on the view
        camera->direction = {0.6f, -0.4f, 0.8f};
        camera->look();
        clearForText();
        drawScreenText();
        std::vector<unsigned char> now = backBuffer(1000, 500);
        size_t lit = 0, differ = 0;
        for (size_t i = 0; i < now.size(); i++) {
            lit += before[i] != 0;
            differ += before[i] != now[i];
        }
        EXPECT_GT(lit, 1000u) << state;
        EXPECT_EQ(differ, 0u) << state;
    }
    *camera = Camera();
}

// The lines of the current state drawn alone on black, as the frame draws them: lit pixels and
// the colour most of them take.
struct Drawn {
    size_t lit = 0;
    std::set<int> rows, columns;
    std::map<int, int> colours;
    std::vector<bool> mask;
};
Drawn drawnAlone() {
    setProjection();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    clearForText();
    drawScreenText();
    std::vector<unsigned char> pixels = backBuffer(1000, 500);
    Drawn drawn;
    drawn.mask.resize(pixels.size() / 3);
    for (size_t i = 0; i < drawn.mask.size(); i++) {
        int colour = pixels[i * 3] << 16 | pixels[i * 3 + 1] << 8 | pixels[i * 3 + 2];
        if (!colour) continue;
        drawn.mask[i] = true;
        drawn.lit++;
        drawn.rows.insert(int(i / 1000));
        drawn.columns.insert(int(i % 1000));
        drawn.colours[colour]++;
    }
    return drawn;
}

int mostCommon(const std::map<int, int> &colours) {
    int colour = 0, most = 0;
    for (const auto &entry : colours)
        if (entry.second > most) most = entry.second, colour = entry.first;
    return colour;
}

TEST_F(States, LargeTextDoublesTheLinesWhereTheWindowHoldsThemInTheirShade) {
    largeText = true;
    EXPECT_EQ(gameTextScale(STATE_TITLE, 1000, 500), 2.0f);
    EXPECT_EQ(gameTextScale(STATE_TITLE, 700, 400), 1.5f);
    EXPECT_EQ(gameTextScale(STATE_TITLE, 400, 300), 1.0f);
    EXPECT_EQ(gameTextScale(STATE_PLAYING, 1000, 500), 2.0f);
    largeText = false;
    EXPECT_EQ(gameTextScale(STATE_TITLE, 1000, 500), 1.0f);

    onReshape(1000, 500);
    for (GameState state : {STATE_WON, STATE_PLAYING}) {
        gameState = state;
        largeText = false;
        Drawn normal = drawnAlone();
        largeText = true;
        Drawn large = drawnAlone();
        // Every pixel of every glyph, twice as wide and twice as high.
        EXPECT_GT(normal.lit, 200u) << state;
        EXPECT_EQ(large.lit, 4 * normal.lit) << state;
        EXPECT_EQ(large.rows.size(), 2 * normal.rows.size()) << state;
        int a = mostCommon(normal.colours), b = mostCommon(large.colours);
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(a >> shift & 255, b >> shift & 255, 1) << state << " shade";
    }
}

TEST_F(States, ReadableTextSetsTheLinesOnABandAndTheNextFrameWithoutIsAsBefore) {
    onReshape(1000, 500);
    gameState = STATE_TITLE;
    std::vector<bool> glyphs = drawnAlone().mask;
    // The lines' shade takes the normal the frame before left: a frame first, to start from it.
    drawGame(false);
    drawGame(false);
    std::vector<unsigned char> plain = backBuffer(1000, 500);
    readableText = true;
    drawGame(false);
    std::vector<unsigned char> banded = backBuffer(1000, 500);
    readableText = false;
    std::vector<Box> boxes = gameLineBoxes(STATE_TITLE, 1000, 500, 1.0f);
    size_t glyphsChanged = 0, lighter = 0, banding = 0, outsideChanged = 0;
    for (int row = 0; row < 500; row++)
        for (int x = 0; x < 1000; x++) {
            size_t i = size_t(row) * 1000 + size_t(x); // rows from the bottom
            int fromTop = 499 - row;
            bool inBand = false, byBand = false; // (near is a macro of Windows' headers)
            for (const Box &box : boxes) {
                inBand = inBand || (x >= box.x && x < box.right() && fromTop >= box.y &&
                                    fromTop < box.bottom());
                byBand = byBand || (x >= box.x - 6 && x < box.right() + 6 && fromTop >= box.y - 6 &&
                                    fromTop < box.bottom() + 6);
            }
            int before = plain[i * 3] + plain[i * 3 + 1] + plain[i * 3 + 2];
            int after = banded[i * 3] + banded[i * 3 + 1] + banded[i * 3 + 2];
            bool changed = memcmp(&plain[i * 3], &banded[i * 3], 3) != 0;
            if (glyphs[i]) {
                glyphsChanged += changed;
            } else if (inBand) {
                banding++;
                lighter += after > before;
            } else if (!byBand) {
                outsideChanged += changed;
            }
        }
    EXPECT_EQ(glyphsChanged, 0u) << "the band covered the lines";
    EXPECT_GT(banding, 10000u);
    EXPECT_GT(lighter, banding * 9 / 10) << "the band did not lighten what is behind the lines";
    EXPECT_EQ(outsideChanged, 0u) << "the band reached beyond the lines";
    drawGame(false);
    EXPECT_EQ(backBuffer(1000, 500), plain) << "the band left the GL's state changed";
}

// Resizes this process's window; the GL takes the new size on a swap.
void resizeWindow(int width, int height) {
    onReshape(width, height);
    glutReshapeWindow(width, height);
    pumpEvents();
    glutSwapBuffers();
}

// The rows of the window (from the bottom) that one line of a state lights, drawn alone.
std::set<int> litRows(GameState state, int line, int width, int height) {
    clearForText();
    float x = 0, y = 0;
    EXPECT_TRUE(formatScreenLine(state, line, width, height, &x, &y));
    glColor3f(0.2f, 0.2f, 0.2f);
    drawText(x, y);
    std::vector<unsigned char> pixels = backBuffer(width, height);
    std::set<int> rows;
    for (size_t i = 0; i < pixels.size(); i++)
        if (pixels[i] != 0) rows.insert(int(i / (size_t(width) * 3)));
    return rows;
}

TEST_F(States, AtOtherSizesTheLinesShowInTheirPlacesWithoutOverlapping) {
    handCount = 0;
    heldIndex = -1;
    // Where each line lights at the first size, as rows from the top.
    std::map<GameState, std::vector<std::set<int>>> first;
    for (GameState state : {STATE_TITLE, STATE_PLAYING, STATE_WON})
        for (int line = 0; line < int(linesOf(state).size()); line++)
            first[state].push_back(litRows(state, line, 1000, 500));
    struct Case {
        int width, height;
        GameState state;
    };
    // At 320 x 160 the title is taller than the window and its top lines are beyond the edge;
    // at 300 x 600 its lines start left of the window and show from the edge on.
    for (Case c :
         {Case{1280, 1000, STATE_TITLE}, Case{1280, 1000, STATE_PLAYING},
          Case{1920, 1080, STATE_TITLE}, Case{1920, 1080, STATE_PLAYING},
          Case{320, 160, STATE_PLAYING}, Case{320, 160, STATE_WON}, Case{300, 600, STATE_TITLE}}) {
        resizeWindow(c.width, c.height);
        std::set<int> seen;
        for (int line = 0; line < int(first[c.state].size()); line++) {
            std::string what = std::to_string(c.state) + " line " + std::to_string(line) + " at " +
                               std::to_string(c.width) + " x " + std::to_string(c.height);
            std::set<int> rows = litRows(c.state, line, c.width, c.height);
            ASSERT_GE(rows.size(), 10u) << what;
            // The score lines keep their rows from the top, the others theirs from the middle:
            // the same rows as at the first size, moved (rows count from the bottom). A line
            // cut at the left edge may have lost the glyphs of some rows.
            int shift = c.state == STATE_PLAYING ? c.height - 500 : (c.height - 500) / 2;
            std::set<int> moved;
            for (int row : first[c.state][size_t(line)]) moved.insert(row + shift);
            float x = 0, y = 0;
            formatScreenLine(c.state, line, c.width, c.height, &x, &y);
            if (x >= 0)
                EXPECT_EQ(rows, moved) << what;
            else
                EXPECT_TRUE(std::includes(moved.begin(), moved.end(), rows.begin(), rows.end()))
                    << what;
            for (int row : rows) EXPECT_EQ(seen.count(row), 0u) << what << " overlaps";
            seen.insert(rows.begin(), rows.end());
        }
    }
    resizeWindow(1000, 500);
}

} // namespace

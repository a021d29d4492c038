// Game states: the outcome, the state key, the title drift and the lines on the screen.
#include "app/app.h"

#include "camera/camera.h"
#include "food/food.h"
#include "input/input.h"
#include "support/gl_env.h"

#include <GL/freeglut.h>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
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
    processInput();
    EXPECT_EQ(gameState, STATE_PLAYING);
    processInput(); // one press, one toggle
    EXPECT_EQ(gameState, STATE_PLAYING);

    foodFed = 7;
    takeIntoHand(5);
    Vector3 where = camera->position;
    onKeyDown('1', 0, 0);
    processInput();
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
    for (int i = 0; i < 40; i++) processInput();
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
    float x, y;
};

std::vector<Line> linesOf(GameState state) {
    std::vector<Line> lines;
    float x = 0, y = 0;
    for (int i = 0; formatScreenLine(state, i, &x, &y); i++) lines.push_back({textLine, x, y});
    return lines;
}

void expectLines(GameState state, const std::vector<Line> &expected) {
    std::vector<Line> lines = linesOf(state);
    ASSERT_EQ(lines.size(), expected.size()) << state;
    for (size_t i = 0; i < lines.size(); i++) {
        EXPECT_EQ(lines[i].text, expected[i].text);
        EXPECT_EQ(lines[i].x, expected[i].x) << lines[i].text;
        EXPECT_EQ(lines[i].y, expected[i].y) << lines[i].text;
    }
}

TEST_F(States, TheLinesOfEachStateWordForWord) {
    expectLines(STATE_TITLE, {{"GRAZEWELL", -0.5f, 0.3f},
                              {"w - move forward, s - move backward", -0.5f, 0.25f},
                              {"a - turn left, d - turn right", -0.5f, 0.2f},
                              {"q - turn around, e - look up, f - look down", -0.5f, 0.15f},
                              {"click left to pick up food.  click right to throw.", -0.5f, 0.1f},
                              {"Press 1 to start.", -0.5f, 0.0f}});
    expectLines(STATE_WON, {{"YOU FED THAT BISON WELL! :)", -0.5f, 0.0f}});
    expectLines(STATE_LOST, {{"YOU FED THAT BISON POORLY! :(", -0.5f, 0.0f}});

    handCount = 0;
    holding = false;
    heldIndex = -1;
    foodFed = -3;
    expectLines(STATE_PLAYING, {{"food fed: -3", -1.35f, 0.6f},
                                {"number at hand: 0", -1.35f, 0.55f},
                                {"currently holding: nothing", -1.35f, 0.5f}});
    takeIntoHand(0);  // an orange
    takeIntoHand(18); // a cloud
    expectLines(STATE_PLAYING, {{"food fed: -3", -1.35f, 0.6f},
                                {"number at hand: 2", -1.35f, 0.55f},
                                {"currently holding: cloud", -1.35f, 0.5f}});
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
        ASSERT_TRUE(formatScreenLine(state, line++, &x, &y));
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
    for (GameState state : {STATE_TITLE, STATE_PLAYING, STATE_WON, STATE_LOST}) {
        gameState = state;
        clearForText();
        drawOldText(state);
        std::vector<unsigned char> before = backBuffer(1000, 500);
        setProjection();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        camera->look(); // the view the frame has when it draws the text
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

// The characters the text block draws, by window row: through feedback, each character is one
// bitmap at its raster position.
std::map<float, std::vector<float>> drawnCharacters() {
    std::vector<GLfloat> buffer(8192);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    setProjection();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    camera->look(); // the text must not depend on the view
    drawScreenText();
    int words = glRenderMode(GL_RENDER);
    std::map<float, std::vector<float>> rows;
    for (int at = 0; at + 3 < words; at += 4) {
        EXPECT_EQ(buffer[size_t(at)], GLfloat(GL_BITMAP_TOKEN));
        rows[buffer[size_t(at) + 2]].push_back(buffer[size_t(at) + 1]);
    }
    return rows;
}

// Where a raster position of the text's scaled frame lands in the window.
void windowOf(float x, float y, double &wx, double &wy) {
    setProjection();
    GLdouble projection[16], model[16] = {5, 0, 0, 0, 0, 5, 0, 0, 0, 0, 5, 0, 0, 0, 0, 1};
    GLint viewport[4];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    double wz;
    gluProject(x, y, -1.2, model, projection, viewport, &wx, &wy, &wz);
}

TEST_F(States, EachLineIsDrawnAtItsRasterPositionWhateverTheCamera) {
    for (GameState state : {STATE_TITLE, STATE_PLAYING, STATE_WON, STATE_LOST}) {
        gameState = state;
        camera->yaw = 0.7f;
        camera->direction = {0.6f, -0.4f, 0.8f};
        std::map<float, std::vector<float>> rows = drawnCharacters();
        std::vector<Line> lines = linesOf(state);
        ASSERT_EQ(rows.size(), lines.size()) << state;
        for (const Line &line : lines) {
            double wx, wy;
            windowOf(line.x, line.y, wx, wy);
            auto row = rows.end();
            for (auto it = rows.begin(); it != rows.end(); ++it)
                if (std::abs(it->first - wy) < 0.01) row = it;
            ASSERT_NE(row, rows.end()) << line.text;
            EXPECT_EQ(row->second.size(), line.text.size()) << line.text;
            EXPECT_NEAR(row->second.front(), wx, 0.01) << line.text;
        }
    }
    *camera = Camera();
}

} // namespace

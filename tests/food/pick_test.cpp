// Picking: the hit-record walk, and real selection frames of the game.
#include "food/feeding.h"
#include "food/food.h"
#include "food/pick.h"

#include "app/app.h"
#include "app/loop.h"
#include "hud/screen_text.h"
#include "bison/bison.h"
#include "camera/camera.h"
#include "input/input.h"
#include "platform/platform.h"
#include "scenery/scenery.h"
#include "support/gl_env.h"

#include <GL/freeglut.h>
#include <climits>
#include <cmath>
#include <gtest/gtest.h>
#include <regex>
#include <string>
#include <vector>

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

namespace {

TEST(HitRecords, NearestByUnsignedMinimumDepthFirstOfEquals) {
    // Records: nameless at 0x90000000; food 4 at 0x7fffffff; food 9 at 0x80000000 (negative if
    // compared signed); food 2 equal to food 4.
    std::vector<unsigned int> words = {0, 0x90000000u, 0xa0000000u,    //
                                       1, 0x7fffffffu, 0x7fffffffu, 4, //
                                       1, 0x80000000u, 0x80000001u, 9, //
                                       1, 0x7fffffffu, 0x7fffffffu, 2};
    EXPECT_EQ(nearestHitRecord(words.data(), int(words.size()), 4), 3);
    // Only the first two records counted: food 4 still.
    EXPECT_EQ(nearestHitRecord(words.data(), int(words.size()), 2), 3);
    EXPECT_EQ(nearestHitRecord(words.data(), int(words.size()), 1), 0);
    EXPECT_EQ(nearestHitRecord(words.data(), int(words.size()), 0), -1);
    // An overflowed selection reports -1 records: nothing to walk.
    EXPECT_EQ(nearestHitRecord(words.data(), int(words.size()), -1), -1);
}

TEST(HitRecords, ADepthOfAllOnesIsNeverChosen) {
    std::vector<unsigned int> words = {1, UINT_MAX, UINT_MAX, 5};
    EXPECT_EQ(nearestHitRecord(words.data(), int(words.size()), 1), -1);
}

TEST(HitRecords, TheWalkNeverLeavesTheBuffer) {
    // A name count that runs past the end, and more records claimed than the words hold.
    std::vector<unsigned int> words = {1, 50, 60, 7, 1000, 10, 20, 3};
    EXPECT_EQ(nearestHitRecord(words.data(), int(words.size()), 2), 0);
    EXPECT_EQ(nearestHitRecord(words.data(), 5, 9), 0);
    std::vector<unsigned int> partial = {1, 50};
    EXPECT_EQ(nearestHitRecord(partial.data(), int(partial.size()), 1), -1);
}

// The matrices and viewport of a frame's normal view through the camera.
struct CameraView {
    GLdouble model[16], projection[16];
    GLint viewport[4];
};

CameraView cameraView() {
    setProjection();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    camera->look();
    CameraView view;
    glGetDoublev(GL_MODELVIEW_MATRIX, view.model);
    glGetDoublev(GL_PROJECTION_MATRIX, view.projection);
    glGetIntegerv(GL_VIEWPORT, view.viewport);
    return view;
}

class Picking : public ::testing::Test {
  protected:
    void SetUp() override {
        startWorld();
        gameState = STATE_PLAYING; // no title drift: the gaze stays where the test put it
        bison->wandering = false;
        bison->position = {100.0f, 1.75f, -60.0f}; // far out of the way
        // Looking along -x at the oranges and apples of the first tree.
        camera->position = {-2.0f, 1.75f, 7.5f};
        camera->yaw = float(3 * PI_D / 2);
        camera->direction = {-1.0f, 0.2f, 0.0f};
        handCount = 0;
        holding = false;
        heldIndex = -1;
        for (int i = 0; i < FOOD_COUNT; i++) foods[i]->state = FOOD_HOME;
    }

    // Where a world point shows in the window, with y counted from the top as GLUT gives it.
    void windowPoint(Vector3 point, float &x, float &y) {
        CameraView view = cameraView();
        GLdouble wx, wy, wz;
        ASSERT_TRUE(gluProject(point.x, point.y, point.z, view.model, view.projection,
                               view.viewport, &wx, &wy, &wz));
        x = float(wx);
        y = float(view.viewport[3] - wy);
    }

    // A left click on the point, then the frame that resolves it; returns the frame's output.
    std::string clickAndDraw(Vector3 point) {
        float x = 0, y = 0;
        windowPoint(point, x, y);
        onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, int(x + 0.5f), int(y + 0.5f));
        CaptureStdout();
        onDisplay();
        return GetCapturedStdout();
    }
};

TEST_F(Picking, AClickOnAFoodAtHomePicksIt) {
    std::string out = clickAndDraw(foods[1]->home);
    std::smatch match;
    ASSERT_TRUE(std::regex_match(out, match,
                                 std::regex("Start picking\nYou picked food  1 Number of Hits "
                                            "([0-9]+), Stopped picking\n")))
        << out;
    EXPECT_EQ(std::stoi(match[1]), hitCount);
    EXPECT_FALSE(pickPending);
    EXPECT_EQ(handCount, 1);
    EXPECT_EQ(hand[0], 1);
    EXPECT_EQ(heldIndex, 1);
    EXPECT_TRUE(holding);
    EXPECT_EQ(foods[1]->state, FOOD_HELD);
    EXPECT_EQ(foods[1]->speed.y, 0.0f);
    // Drawn in the hand from the next frame on: one unit ahead, 0.2 below the held point.
    onDisplay();
    EXPECT_FLOAT_EQ(foods[1]->position.x, -3.0f);
    EXPECT_FLOAT_EQ(foods[1]->position.y, 1.75f + 0.2f - 0.2f);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    GLint depth = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
}

TEST_F(Picking, AClickBesideEveryFoodPicksNothing) {
    // High above the foods: only the sky is there, in one record without names.
    std::string out = clickAndDraw({-8.0f, 6.0f, 7.5f});
    EXPECT_EQ(out, "Start picking\nYou didn't click a food\nNumber of Hits 1, Stopped picking\n");
    EXPECT_EQ(handCount, 0);
    EXPECT_FALSE(pickPending);
}

// True when the last selection pass has a record naming index.
bool recorded(int index) {
    int at = 0;
    for (int record = 0; record < hitCount; record++) {
        unsigned int names = selectBuffer[at];
        for (unsigned int n = 0; n < names; n++)
            if (selectBuffer[at + 3 + int(n)] == unsigned(index)) return true;
        at += 3 + int(names);
    }
    return false;
}

TEST_F(Picking, ATreeInFrontPicksNothing) {
    // From behind the first tree, the marble at its foot lies behind the tree's card.
    camera->position = {-9.0f, 1.75f, -3.0f};
    camera->yaw = float(PI_D);
    camera->direction = {0.0f, 0.1f, 1.0f};
    std::string out = clickAndDraw(foods[3]->home);
    EXPECT_NE(out.find("You didn't click a food\n"), std::string::npos) << out;
    EXPECT_TRUE(recorded(3)); // it was under the cursor, only farther than the tree
    EXPECT_EQ(handCount, 0);
    EXPECT_EQ(foods[3]->state, FOOD_HOME);
}

// What the player sees decides: a food seen through a tree card's clear top corner is picked, one
// hidden behind the card's leaves is not. The card's corner and leaves lie a unit nearer than it.
TEST_F(Picking, ThroughACardsClearCornerAFoodIsPickedBehindItsLeavesNot) {
    const Tree *tree = trees[0];
    Food *apple = foods[1];
    Vector3 home = apple->home;
    // The corner, then a point of the crown (texels 6 and 160 across, 249 and 160 up the picture).
    const Vector3 spots[2] = {{tree->position.x - 1.9f, 3.9f, tree->position.z},
                              {tree->position.x + 0.5f, 2.5f, tree->position.z}};
    for (int k = 0; k < 2; k++) {
        Vector3 spot = spots[k];
        camera->position = {spot.x, 1.75f, spot.z + 6.0f};
        camera->yaw = 0.0f;
        camera->direction = {0.0f, float((spot.y - 1.75) / 6.0), -1.0f};
        apple->home = {spot.x, spot.y, spot.z - 1.0f};
        apple->state = FOOD_HOME;
        handCount = 0;
        onDisplay(); // at its new home
        std::string out = clickAndDraw(apple->home);
        EXPECT_TRUE(recorded(1)) << k;
        if (k == 0) {
            EXPECT_NE(out.find("You picked food  1 "), std::string::npos) << out;
            EXPECT_EQ(apple->state, FOOD_HELD);
        } else {
            EXPECT_NE(out.find("You didn't click a food\n"), std::string::npos) << out;
            EXPECT_EQ(apple->state, FOOD_HOME);
        }
    }
    apple->home = home;
}

TEST_F(Picking, TheGroundInFrontOfALyingFoodPicksNothing) {
    // A food lying forty units ahead, a pixel or two across: the ground at the foot of the pick
    // region is nearer than it. (Ten units ahead it filled the region, and what lay in front was
    // the clear foot of the first tree's crossed card: this line of sight passes no tree.)
    camera->position.z = 12.5f;
    Food *apple = foods[5];
    apple->launch(0.0f, 0.0f);
    apple->position = {-42.0f, 0.1f, 12.5f};
    apple->groundTimer = 40;
    std::string out = clickAndDraw(apple->position);
    EXPECT_NE(out.find("You didn't click a food\n"), std::string::npos) << out;
    EXPECT_TRUE(recorded(5));
    EXPECT_EQ(apple->state, FOOD_FLYING);
    EXPECT_EQ(handCount, 0);
}

// The game picks in a GL context of its own, whose first passes a thread pays at start-up: its
// picks find what the window's context finds, record for record and depth for depth, across the
// view (foods, a tree's cards, the bison, the ground, the sky), and the window's context is
// current again after each.
TEST_F(Picking, ThePicksOwnContextFindsWhatTheWindowsFinds) {
    if (std::string(platformName()) != "linux" && !prepareSelectionContext())
        GTEST_SKIP() << "no second context on this platform";
    bison->position = {-9.0f, 1.75f, 9.0f}; // in view, among the first tree's foods
    std::vector<std::pair<int, int>> clicks;
    for (int row = 0; row < 4; row++)
        for (int column = 0; column < 6; column++)
            clicks.push_back({40 + column * 180, 30 + row * 140});
    for (Vector3 point : {foods[0]->home, foods[1]->home, foods[3]->home, bison->position}) {
        float x = 0, y = 0;
        windowPoint(point, x, y);
        clicks.push_back({int(x + 0.5f), int(y + 0.5f)});
    }
    ASSERT_TRUE(prepareSelectionContext());
    startSelectionWarmUp();
    finishSelectionWarmUp();
    int picked = 0;
    for (auto [x, y] : clicks) {
        std::vector<unsigned int> found[2];
        for (int aside = 0; aside < 2; aside++) {
            if (aside)
                ASSERT_TRUE(prepareSelectionContext());
            else
                resetSelectionWarmUp();
            for (int i = 0; i < FOOD_COUNT; i++) foods[i]->state = FOOD_HOME;
            handCount = 0;
            onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, x, y);
            CaptureStdout();
            onDisplay();
            GetCapturedStdout();
            // The window's context, lit, and not the picks' own, which never is.
            EXPECT_TRUE(glIsEnabled(GL_LIGHTING)) << x << ", " << y;
            found[aside].assign(selectBuffer, selectBuffer + SELECT_BUFFER_WORDS);
            found[aside].push_back(unsigned(hitCount));
        }
        EXPECT_EQ(found[1], found[0]) << "the click at " << x << ", " << y;
        picked += handCount;
    }
    EXPECT_GE(picked, 3) << "the clicks on the foods picked them";
    resetSelectionWarmUp();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// The world point distance units from the eye that shows at window pixel (x, y), y from the top.
Vector3 worldAt(float x, float y, double distance) {
    CameraView view = cameraView();
    GLdouble nx, ny, nz, fx, fy, fz;
    gluUnProject(x, view.viewport[3] - y, 0.0, view.model, view.projection, view.viewport, &nx, &ny,
                 &nz);
    gluUnProject(x, view.viewport[3] - y, 1.0, view.model, view.projection, view.viewport, &fx, &fy,
                 &fz);
    double dx = fx - nx, dy = fy - ny, dz = fz - nz,
           length = std::sqrt(dx * dx + dy * dy + dz * dz);
    Vector3 eye = camera->position;
    return {float(eye.x + dx / length * distance), float(eye.y + dy / length * distance),
            float(eye.z + dz / length * distance)};
}

// The least depth of the record without names.
unsigned int namelessDepth() {
    int at = 0;
    for (int record = 0; record < hitCount; record++) {
        if (selectBuffer[at] == 0) return selectBuffer[at + 1];
        at += 3 + int(selectBuffer[at]);
    }
    return 0;
}

TEST_F(Picking, UnderTheScoreLinesAFoodIsPickedAndBesideItNothingIs) {
    // The second score line starts at (x, top) in pixels from the top-left corner.
    float x = 0, y = 0;
    ASSERT_TRUE(formatScreenLine(STATE_PLAYING, 1, 1000, 500, &x, &y));
    float top = 500 - y;
    Vector3 home = foods[1]->home;
    // The apple, 15 units away, in the middle of the line's letters.
    foods[1]->home = worldAt(x + 60, top - 5, 15);
    std::string out = clickAndDraw(foods[1]->home);
    EXPECT_EQ(out, "Start picking\nYou picked food  1 Number of Hits 2, Stopped picking\n");
    EXPECT_EQ(heldIndex, 1);
    // The sky behind it: nothing the text drew counts there.
    const unsigned int textDepth = unsigned(double(TEXT_DEPTH) * UINT_MAX);
    EXPECT_GT(namelessDepth(), textDepth + (1u << 24));

    // Beside the apple, on the same letters: only the sky.
    out = clickAndDraw(worldAt(x + 110, top - 5, 15));
    EXPECT_EQ(out, "Start picking\nYou didn't click a food\nNumber of Hits 1, Stopped picking\n");

    // At the very point where the line starts, its raster position is a hit, nearer than a food
    // behind it: as it has always been.
    foods[1]->state = FOOD_HOME;
    handCount = 0;
    holding = false;
    heldIndex = -1;
    foods[1]->home = worldAt(x, top, 15);
    onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, int(x + 0.5f), int(top + 0.5f));
    CaptureStdout();
    onDisplay();
    out = GetCapturedStdout();
    EXPECT_EQ(out, "Start picking\nYou didn't click a food\nNumber of Hits 2, Stopped picking\n");
    EXPECT_TRUE(recorded(1));
    EXPECT_NEAR(double(namelessDepth()), double(textDepth), double(1u << 12));
    foods[1]->home = home;
}

TEST_F(Picking, OfEqualDepthsTheLowerIndexWins) {
    Vector3 keep = foods[13]->home;
    foods[13]->home = foods[1]->home; // the apple of another tree, in the same place
    std::string out = clickAndDraw(foods[1]->home);
    foods[13]->home = keep;
    EXPECT_NE(out.find("You picked food  1 "), std::string::npos) << out;
    EXPECT_EQ(handCount, 1);
    EXPECT_EQ(foods[13]->state, FOOD_HOME);
}

TEST_F(Picking, AFoodAlreadyHeldChangesNothing) {
    clickAndDraw(foods[0]->home);
    ASSERT_EQ(handCount, 1);
    onDisplay(); // now drawn in the hand
    Vector3 held = foods[0]->position;
    std::string out = clickAndDraw(held);
    EXPECT_NE(out.find("You picked food  0 Number of Hits "), std::string::npos) << out;
    EXPECT_EQ(handCount, 1);
    EXPECT_EQ(heldIndex, 0);
}

TEST_F(Picking, TheTwentiethFoodFits) {
    for (int i = 0; i < FOOD_COUNT; i++) {
        unsigned int record[] = {1, 10, 20, unsigned(i)};
        std::copy(record, record + 4, selectBuffer);
        hitCount = 1;
        processHits();
    }
    EXPECT_EQ(handCount, 20);
    EXPECT_EQ(heldIndex, 19);
    for (int i = 0; i < FOOD_COUNT; i++) {
        EXPECT_EQ(hand[i], i);
        EXPECT_EQ(foods[i]->state, FOOD_HELD);
    }
    // All twenty drawn in the hand in one frame, and thrown one by one from the top.
    onDisplay();
    for (int i = FOOD_COUNT - 1; i >= 0; i--) {
        throwHeld();
        EXPECT_EQ(lastThrownIndex, i);
    }
    EXPECT_FALSE(holding);
}

TEST_F(Picking, ResolvingMessages) {
    unsigned int nameless[] = {0, 5, 9, 1, 7, 9, 3};
    std::copy(nameless, nameless + 7, selectBuffer);
    hitCount = 2;
    CaptureStdout();
    processHits();
    EXPECT_EQ(GetCapturedStdout(), "You didn't click a food\n");
    EXPECT_EQ(handCount, 0);

    unsigned int food[] = {0, 9, 9, 1, 7, 9, 3};
    std::copy(food, food + 7, selectBuffer);
    CaptureStdout();
    processHits();
    EXPECT_EQ(GetCapturedStdout(), "You picked food  3 ");
    EXPECT_EQ(heldIndex, 3);
}

} // namespace

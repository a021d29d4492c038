// The maker of tests/data/loss.gzd (scripts/make-recordings.sh; skipped otherwise): a player who
// sees the whole world plays the game to a loss through the same events a window hands in, frame
// by frame, and the game is recorded as --record writes it. The bison is stopped; the first tree's
// bomb is taken (the orange and the apple, in front of it, go into the hand first), and each time
// the player turns and tilts until the bomb's flight, worked out ahead, strikes the bison, throws
// it, waits for the bison to come down and stops it again, and picks the bomb up again where it
// lies. The test suite's own e2e check replays it in the real game.
#include "app/app.h"
#include "app/loop.h"
#include "app/replay.h"
#include "bison/bison.h"
#include "camera/camera.h"
#include "food/feeding.h"
#include "food/pick.h"
#include "game.h"
#include "input/input.h"
#include "support/files.h"
#include "support/gl_env.h"

#include <GL/freeglut.h>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

struct Planner {
    DemoWriter writer;
    long frames = 0;
    std::vector<DemoEvent> next; // handed in before the next frame

    void frame() {
        DemoFrame taken = runFrame(next);
        next.clear();
        ASSERT_TRUE(writeDemoFrame(writer, taken));
        frames++;
    }
    void run(int count) {
        for (int i = 0; i < count && !::testing::Test::HasFatalFailure(); i++) frame();
    }
    void tap(unsigned char key) {
        next.push_back({DEMO_KEY_DOWN, key});
        next.push_back({DEMO_KEY_UP, key});
        frame();
    }
    // A held key acting in exactly count frames.
    void hold(unsigned char key, int count) {
        if (count <= 0) return;
        next.push_back({DEMO_KEY_DOWN, key});
        run(count);
        next.push_back({DEMO_KEY_UP, key});
    }
    void click(double x, double y) {
        next.push_back(
            {DEMO_MOUSE, GLUT_LEFT_BUTTON, GLUT_DOWN, int(std::lround(x)), int(std::lround(y))});
        next.push_back(
            {DEMO_MOUSE, GLUT_LEFT_BUTTON, GLUT_UP, int(std::lround(x)), int(std::lround(y))});
        frame(); // the selection frame
    }
};

// Where a point shows in the window from view, y from the top; false when behind the eye.
bool windowPoint(const Camera &view, Vector3 point, double &x, double &y) {
    Camera saved = *camera;
    *camera = view;
    setProjection();
    camera->look();
    GLdouble model[16], projection[16], wz = 0;
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    gluProject(point.x, point.y, point.z, model, projection, viewport, &x, &y, &wz);
    y = viewport[3] - y;
    *camera = saved;
    return wz < 1.0;
}

// The turns (frames of 'a' or 'd', signed: right positive) that point the camera's yaw most
// nearly at target.
int turnsTowards(Vector3 target) {
    double wanted =
        std::atan2(double(target.x) - camera->position.x, -(double(target.z) - camera->position.z));
    double turn = std::remainder(wanted - double(camera->yaw), 2 * PI_D);
    return int(std::lround(turn / CAMERA_TURN_STEP));
}

void turn(Planner &plan, int turns) {
    plan.hold(turns > 0 ? 'd' : 'a', std::abs(turns));
}
void tilt(Planner &plan, int tilts) {
    plan.hold(tilts > 0 ? 'e' : 'f', std::abs(tilts));
}

// The frame of first strike on the bison (head or body) of a food thrown with the camera turned by
// turns and tilted by tilts, or -1 when it never strikes.
int strikeFrame(int index, int turns, int tilts) {
    Camera view = *camera;
    for (int i = 0; i < std::abs(turns); i++) view.turn(turns > 0);
    for (int i = 0; i < std::abs(tilts); i++) view.tilt(tilts > 0);
    Food food = *foods[index];
    Vector3 held = {float(double(view.position.x) + double(view.direction.x)),
                    float(double(view.position.y) + double(view.direction.y)),
                    float(double(view.position.z) + double(view.direction.z))};
    food.position = {held.x, float(double(held.y) - FOOD_HELD_DROP), held.z};
    food.speed = {0.0f, 0.0f, 0.0f};
    food.launch(view.yaw, view.direction.y);
    for (int frame = 0; frame < 400; frame++) {
        food.update();
        if (food.position.y <= FOOD_GROUND_LEVEL) return -1;
        for (int s = 0; s < SPHERE_COUNT; s++) {
            float reach = float(double(food.radius) + double(collisionSpheres[s].radius));
            if (distanceBetween(food.position, sphereCentre(s, bison->position, bison->heading)) <=
                reach - 0.3f)
                return frame;
        }
    }
    return -1;
}

// Takes food index into the hand: faced and looked at from where the camera stands, clicked;
// whatever stands in front of it is taken first. False when it cannot be had.
bool take(Planner &plan, int index) {
    for (int attempt = 0; attempt < 8; attempt++) {
        if (holding && heldIndex == index) return true;
        turn(plan, turnsTowards(foods[index]->position));
        // Looked at from a little above, so that the hand, drawn below the middle, is clear.
        double x = 0, y = 0;
        int tilts = 0;
        Camera view = *camera;
        while (tilts > -60 && windowPoint(view, foods[index]->position, x, y) &&
               y > windowHeight / 2.0 - 30) {
            view.tilt(false);
            tilts--;
        }
        tilt(plan, tilts);
        if (!windowPoint(*camera, foods[index]->position, x, y)) return false;
        plan.click(x, y);
        tilt(plan, -tilts);
    }
    return holding && heldIndex == index;
}

TEST(PlannedRecording, Loss) {
    const char *folder = getenv("GRAZEWELL_RECORDINGS");
    if (!folder) GTEST_SKIP() << "GRAZEWELL_RECORDINGS names no folder";
    startWorld();
    std::string path = std::string(folder) + "/loss.gzd";
    remove(path.c_str());
    DemoHeader header;
    header.gameVersion = GRAZEWELL_VERSION;
    header.seed = 1;
    header.width = 1000;
    header.height = 500;
    header.fps = 60;
    header.platform = "linux";
    Planner plan;
    std::string reason;
    ASSERT_TRUE(openDemoWriter(plan.writer, path.c_str(), header, &reason)) << reason;
    startDemo(header);
    plan.next.push_back({DEMO_RESHAPE, 1000, 500}); // as the window's first reshape
    plan.tap('m');                                  // the bison stands
    plan.hold('/', 30);                             // out of the line of the first tree's foods
    plan.run(200);                                  // the title's gaze settles
    plan.tap('1');
    const int bomb = 10; // the third tree's, which no tree card hides from the start
    for (int round = 0; foodFed > LOSE_SCORE && round < 60 && !HasFatalFailure(); round++) {
        ASSERT_TRUE(take(plan, bomb)) << "round " << round;
        // The nearest turn and tilt whose throw strikes.
        int bestTurns = 0, bestTilts = 0, best = 1 << 30;
        int around = turnsTowards(sphereCentre(0, bison->position, bison->heading));
        for (int turns = around - 20; turns <= around + 20; turns++)
            for (int tilts = -40; tilts <= 40; tilts++) {
                int cost = std::abs(turns) + std::abs(tilts);
                if (cost < best && strikeFrame(bomb, turns, tilts) >= 0)
                    best = cost, bestTurns = turns, bestTilts = tilts;
            }
        ASSERT_LT(best, 1 << 30) << "no throw strikes the bison from here, round " << round;
        turn(plan, bestTurns);
        tilt(plan, bestTilts);
        int before = foodFed;
        plan.tap(' ');
        for (int i = 0; i < 400 && foodFed == before; i++) plan.frame();
        ASSERT_LT(foodFed, before) << "the planned throw missed, round " << round;
        // Launched: it comes down where it stood and wanders on, until stopped again.
        while (bombLaunch && !HasFatalFailure()) plan.frame();
        plan.tap('m');
        ASSERT_FALSE(bison->wandering);
        while (foods[bomb]->state == FOOD_FLYING && !HasFatalFailure()) plan.frame();
    }
    plan.run(60); // the lost screen a second
    closeDemoWriter(plan.writer);
    EXPECT_EQ(gameState, STATE_LOST);
    EXPECT_EQ(foodFed, LOSE_SCORE);
    printf("%ld frames recorded in %s\n", plan.frames, path.c_str());
}

} // namespace

// The maker of tests/data/keys.gzd (scripts/make-recordings.sh; skipped otherwise): the game won
// from the keyboard alone, through the live game's own way in (the player's bindings, with
// pick_at_centre bound to c), recorded as --record writes it. A player who sees the whole world
// turns and tilts with a, d, e and f until a food stands under the view's centre and picks it with
// c, turns and tilts until its throw, worked out ahead, strikes the stopped bison's head, and
// throws it with space; the orange, then the apple, then the apple again and again with r.
#include "app/app.h"
#include "app/live_events.h"
#include "app/loop.h"
#include "app/player.h"
#include "app/recording.h"
#include "bison/bison.h"
#include "camera/camera.h"
#include "clock/clock.h"
#include "food/feeding.h"
#include "food/pick.h"
#include "game.h"
#include "input/bindings.h"
#include "support/gl_env.h"

#include <GL/freeglut.h>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

const int CENTRE_KEY = 'c';

// The keyboard of the live game: each key goes through the player's bindings as the window hands
// it in, and each frame is the live game's, recorded.
struct Keyboard {
    long frames = 0;
    void frame() {
        playFrameAt(PaceClock::now());
        frames++;
    }
    void run(int count) {
        for (int i = 0; i < count; i++) frame();
    }
    // Down and up again before the next frame: it acts once in it.
    void tap(int key) {
        takeLiveKey(key, true);
        takeLiveKey(key, false);
        frame();
    }
    // Held through exactly count frames.
    void hold(int key, int count) {
        if (count <= 0) return;
        takeLiveKey(key, true);
        run(count);
        takeLiveKey(key, false);
    }
    void turn(int turns) { hold(turns > 0 ? 'd' : 'a', std::abs(turns)); }
    void tilt(int tilts) { hold(tilts > 0 ? 'e' : 'f', std::abs(tilts)); }
};

// The camera turned by turns and tilted by tilts as the keys would.
Camera turned(int turns, int tilts) {
    Camera view = *camera;
    for (int i = 0; i < std::abs(turns); i++) view.turn(turns > 0);
    for (int i = 0; i < std::abs(tilts); i++) view.tilt(tilts > 0);
    return view;
}

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

// The turns that point the camera's yaw most nearly at target.
int turnsTowards(Vector3 target) {
    double wanted =
        std::atan2(double(target.x) - camera->position.x, -(double(target.z) - camera->position.z));
    double turn = std::remainder(wanted - double(camera->yaw), 2 * PI_D);
    return int(std::lround(turn / CAMERA_TURN_STEP));
}

// Picks food index with the centre's key: the turns and tilts that bring it nearest the view's
// centre, then c. Whatever the centre finds first is taken; false when it never is.
bool takeAtCentre(Keyboard &keys, int index) {
    for (int attempt = 0; attempt < 6; attempt++) {
        if (inHand(index)) return true;
        int around = turnsTowards(foods[index]->position);
        int bestTurns = 0, bestTilts = 0;
        double best = 1e30;
        for (int turns = around - 4; turns <= around + 4; turns++)
            for (int tilts = -120; tilts <= 60; tilts++) {
                double x = 0, y = 0;
                if (!windowPoint(turned(turns, tilts), foods[index]->position, x, y)) continue;
                double off = std::hypot(x - windowWidth / 2, y - windowHeight / 2);
                if (off < best) best = off, bestTurns = turns, bestTilts = tilts;
            }
        keys.turn(bestTurns);
        keys.tilt(bestTilts);
        keys.tap(CENTRE_KEY);
        // Not under the centre, or hidden: a step nearer changes the view.
        if (!inHand(index)) keys.hold('w', 5);
    }
    return inHand(index);
}

// Whether a food thrown from the hand with the camera turned and tilted so strikes the stopped
// bison's head before anything else of it (with a little to spare).
bool strikesTheHead(int index, int turns, int tilts) {
    Camera view = turned(turns, tilts);
    Food food = *foods[index];
    food.position = {float(double(view.position.x) + double(view.direction.x)),
                     float(double(view.position.y) + double(view.direction.y) - FOOD_HELD_DROP),
                     float(double(view.position.z) + double(view.direction.z))};
    food.speed = {0.0f, 0.0f, 0.0f};
    food.launch(view.yaw, view.direction.y);
    for (int frame = 0; frame < 400; frame++) {
        food.update();
        if (food.position.y <= FOOD_GROUND_LEVEL) return false;
        for (int s = 0; s < SPHERE_COUNT; s++) {
            float reach = float(double(food.radius) + double(collisionSpheres[s].radius));
            float spare = s == 0 ? 0.3f : -0.3f;
            if (distanceBetween(food.position, sphereCentre(s, bison->position, bison->heading)) <=
                reach - spare)
                return s == 0;
        }
    }
    return false;
}

// Aims the food on top of the hand at the head and throws it with space: true when it fed.
bool feed(Keyboard &keys) {
    int index = heldIndex, around = turnsTowards(sphereCentre(0, bison->position, bison->heading));
    int bestTurns = 0, bestTilts = 0, best = 1 << 30;
    for (int turns = around - 20; turns <= around + 20; turns++)
        for (int tilts = -60; tilts <= 60; tilts++) {
            int cost = std::abs(turns) + std::abs(tilts);
            if (cost < best && strikesTheHead(index, turns, tilts))
                best = cost, bestTurns = turns, bestTilts = tilts;
        }
    if (best == 1 << 30) return false;
    keys.turn(bestTurns);
    keys.tilt(bestTilts);
    int before = foodFed;
    keys.tap(' ');
    for (int i = 0; i < 400 && foodFed == before && foods[index]->state == FOOD_FLYING; i++)
        keys.frame();
    return foodFed > before;
}

TEST(PlannedRecording, KeysAlone) {
    const char *folder = getenv("GRAZEWELL_RECORDINGS");
    if (!folder) GTEST_SKIP() << "GRAZEWELL_RECORDINGS names no folder";
    startWorld();
    std::string path = std::string(folder) + "/keys.gzd";
    remove(path.c_str());
    DemoHeader header;
    header.gameVersion = GRAZEWELL_VERSION;
    header.seed = 1;
    header.width = 1000;
    header.height = 500;
    header.fps = 60;
    header.platform = "linux";
    std::string reason;
    ASSERT_TRUE(startRecording(path.c_str(), header, &reason)) << reason;
    seedBison(header.seed);
    keysInForce[size_t(preferenceAction(PREFERENCE_PICK_AT_CENTRE))] = {CENTRE_KEY};
    drawEveryFrame = false; // the ticks that pick are drawn all the same
    Keyboard keys;
    takeLiveEvent({DEMO_RESHAPE, 1000, 500}); // as the window's first reshape
    keys.tap('m');                            // the bison stands
    keys.hold('/', 30);                       // out of the line of the first tree's foods
    keys.run(200);                            // the title's gaze settles
    keys.tap('1');
    const int ORANGE = 0, APPLE = 1;
    for (int food : {ORANGE, APPLE}) {
        ASSERT_TRUE(takeAtCentre(keys, food)) << "food " << food;
        for (int throws = 0; foodFed < 1 + (food == APPLE) && throws < 10; throws++) {
            if (!holding) keys.tap('r');
            ASSERT_TRUE(holding);
            feed(keys);
        }
        ASSERT_EQ(foodFed, 1 + (food == APPLE)) << "food " << food << " never fed";
    }
    for (int throws = 0; foodFed < WIN_SCORE && throws < 40; throws++) {
        keys.tap('r'); // the apple, back from home
        ASSERT_TRUE(holding);
        feed(keys);
    }
    keys.run(60); // the won screen a second
    stopRecording();
    EXPECT_EQ(gameState, STATE_WON);
    EXPECT_EQ(foodFed, WIN_SCORE);
    printf("%ld frames recorded in %s\n", keys.frames, path.c_str());
}

} // namespace

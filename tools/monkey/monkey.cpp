// The monkey: random games (a random seed, window, keys, clicks anywhere, reshapes, the keyboard
// lost) played in process through the same path as a replay, the world's rules checked after
// every frame. Each game is written as a recording while it is played; a game that breaks a rule,
// or dies, keeps its recording and the command that replays it is printed.
//   monkey SECONDS [--seed N] [--keep FOLDER] [--keep-all]
// Each game runs in a child process of its own, with a fresh world, as a replay starts.
#include "app/app.h"
#include "app/loop.h"
#include "app/replay.h"
#include "app/world_check.h"
#include "assets/assets.h"
#include "clock/clock.h"
#include "bison/bison.h"
#include "camera/camera.h"
#include "demo/demo.h"
#include "food/feeding.h"
#include "food/food.h"
#include "food/pick.h"
#include "input/input.h"

#include <GL/freeglut.h>
#include <GL/glu.h>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// What the child tells the parent when its game ends.
struct GameReport {
    long frames = 0;
    bool fault = false;
    // How far the game went: foods taken into the hand, thrown, the score's changes, the ends.
    long picked = 0, thrown = 0, scored = 0;
    bool won = false, lost = false;
};

// Keys the monkey leaves alone: Escape ends the game; '/' walks the bison through the fence,
// which the game allows; '9' and '0' write a 1.5 MB capture a frame; 'v' looks for a sound
// device. None of them moves the world the rules are about, or they move it by design.
bool leftAlone(unsigned char key) {
    return key == 27 || key == '/' || key == '9' || key == '0' || key == 'v';
}

// The monkey's choices, all drawn from one generator seeded per game: the same game seed plays
// the same game.
struct Monkey {
    std::mt19937 random;
    std::vector<unsigned char> keys; // the keys it presses
    std::vector<unsigned char> down; // those it holds now
    std::vector<int> specialsDown;   // the special keys it holds now
    int aiming = 0;                  // frames left of walking to the bison and throwing
    // A feeder's game: it picks only oranges and apples (1) or bombs (-1) and throws each at the
    // bison's head, to reach a won or lost game and play on beyond it; 0 plays at random.
    int feeding = 0;

    explicit Monkey(uint32_t seed) : random(seed) {
        for (int i = 0; i < KEY_BINDING_COUNT; i++)
            if (!leftAlone(keyBindings[i].key)) keys.push_back(keyBindings[i].key);
        // A few keys the game does not bind at all.
        for (int key : {int('x'), int('P'), int('\t'), int('\r'), 200})
            keys.push_back((unsigned char)key);
    }

    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random) < p; }
    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

    void press(std::vector<DemoEvent> &events, unsigned char key) {
        for (unsigned char held : down)
            if (held == key) return;
        events.push_back({DEMO_KEY_DOWN, key});
        down.push_back(key);
    }
    void releaseAll(std::vector<DemoEvent> &events) {
        for (unsigned char key : down) events.push_back({DEMO_KEY_UP, key});
        down.clear();
        // The arrows share the letters' entries: a held one would turn against the monkey's aim.
        for (int key : specialsDown) events.push_back({DEMO_SPECIAL_UP, key});
        specialsDown.clear();
    }

    // Where food index is on the window, y from the top; false when it is behind the eye or well
    // off the window.
    bool foodOnScreen(int index, int &x, int &y) {
        GLdouble model[16], projection[16];
        GLint view[4] = {0, 0, windowWidth, windowHeight};
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        multViewPerspective();
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        const Vector3 &p = camera->position, &d = camera->direction;
        gluLookAt(p.x, p.y, p.z, double(p.x) + d.x, double(p.y) + d.y, double(p.z) + d.z, 0, 1, 0);
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glPopMatrix();
        const Vector3 &f = foods[index]->position;
        GLdouble wx, wy, wz;
        if (!gluProject(f.x, f.y, f.z, model, projection, view, &wx, &wy, &wz) || wz < 0 || wz > 1)
            return false;
        if (wx < -50 || wy < -50 || wx > windowWidth + 50 || wy > windowHeight + 50) return false;
        x = int(std::lround(wx));
        y = windowHeight - int(std::lround(wy));
        return true;
    }

    // A food on the window to click, of the kinds wanted (any when none is named).
    bool foodInSight(int &x, int &y, std::initializer_list<FoodKind> wanted) {
        int first = between(0, FOOD_COUNT - 1);
        for (int k = 0; k < FOOD_COUNT; k++) {
            int index = (first + k) % FOOD_COUNT;
            FoodKind kind = foodKind(foods[index]->name);
            if (wanted.size() && std::find(wanted.begin(), wanted.end(), kind) == wanted.end())
                continue;
            if (foods[index]->state != FOOD_HELD && foodOnScreen(index, x, y)) return true;
        }
        return false;
    }

    void click(std::vector<DemoEvent> &events, int button, int x, int y) {
        events.push_back({DEMO_MOUSE, button, 0, x, y});
        events.push_back({DEMO_MOUSE, button, 1, x + between(-2, 2), y + between(-2, 2)});
    }

    // Walks towards the bison's head, turned to face it, and throws when near: so that foods reach
    // it and the score moves.
    void aim(std::vector<DemoEvent> &events) {
        aiming--;
        Vector3 head = sphereCentre(0, bison->position, bison->heading);
        double dx = double(head.x) - camera->position.x;
        double dz = double(head.z) - camera->position.z;
        double bearing = std::atan2(dx, -dz);
        double off = std::remainder(bearing - double(camera->yaw), 2 * M_PI);
        releaseAll(events);
        // The gaze's slope that throws a food to the head's height: it leaves the hand a unit
        // ahead of the eye and 0.2 below, at half a unit a frame, rising at half the slope (and a
        // little) and falling by FOOD_GRAVITY a frame each frame.
        double distance = std::sqrt(dx * dx + dz * dz);
        double t = distance / FOOD_THROW_SPEED;
        double start = CAMERA_EYE_HEIGHT - FOOD_HELD_DROP;
        double slope =
            (double(head.y) - start - FOOD_THROW_LIFT * t + FOOD_GRAVITY * t * (t + 1) / 2) /
            (1 + FOOD_THROW_RISE * t);
        bool level = std::fabs(double(camera->direction.y) - slope) <= 0.01;
        if (!level) press(events, double(camera->direction.y) > slope ? 'f' : 'e');
        if (std::fabs(off) > 0.03)
            press(events, off > 0 ? 'd' : 'a');
        else if (distance > 12)
            press(events, 'w');
        else if (holding && level) {
            click(events, GLUT_RIGHT_BUTTON, windowWidth / 2, windowHeight / 2);
            aiming = 0;
        }
    }

    // A feeder's frame: a food of its kind picked when one is in sight, else a look around.
    void feed(std::vector<DemoEvent> &events) {
        if (gamePaused) { // a paused game takes no clicks
            releaseAll(events);
            press(events, 'p');
            return;
        }
        if (holding) {
            aiming = 600;
            aim(events);
            return;
        }
        if (pickPending) return;
        int x, y;
        bool inSight = feeding > 0 ? foodInSight(x, y, {KIND_ORANGE, KIND_APPLE})
                                   : foodInSight(x, y, {KIND_BOMB});
        releaseAll(events);
        if (inSight) {
            click(events, GLUT_LEFT_BUTTON, x, y);
            return;
        }
        if (camera->direction.y > 0.15f) press(events, 'f');
        if (camera->direction.y < 0.05f) press(events, 'e');
        press(events, 'a');
        if (chance(0.3)) press(events, 'w');
    }

    std::vector<DemoEvent> frameEvents() {
        std::vector<DemoEvent> events;
        if (aiming > 0) {
            aim(events);
            return events;
        }
        if (feeding != 0) {
            feed(events);
            // Now and then something else: a tap, a click anywhere, a reshape.
            if (!chance(0.05)) return events;
        }
        if (holding && chance(0.01)) aiming = 600;
        if (chance(0.06) && !keys.empty())
            press(events, keys[size_t(between(0, int(keys.size()) - 1))]);
        for (size_t i = 0; i < down.size();) {
            if (chance(0.04)) {
                events.push_back({DEMO_KEY_UP, down[i]});
                down.erase(down.begin() + long(i));
            } else {
                i++;
            }
        }
        if (chance(0.01)) { // a tap inside one frame
            unsigned char key = keys[size_t(between(0, int(keys.size()) - 1))];
            bool held = false;
            for (unsigned char k : down) held = held || k == key;
            if (!held) {
                events.push_back({DEMO_KEY_DOWN, key});
                events.push_back({DEMO_KEY_UP, key});
            }
        }
        if (chance(0.01)) { // an arrow key, down for a while
            int key = between(GLUT_KEY_LEFT, GLUT_KEY_DOWN);
            events.push_back({DEMO_SPECIAL_DOWN, key});
            specialsDown.push_back(key);
        }
        if (!specialsDown.empty() && chance(0.05)) {
            events.push_back({DEMO_SPECIAL_UP, specialsDown.back()});
            specialsDown.pop_back();
        }
        if (chance(0.02)) {
            int x, y;
            // In sight most often: an orange, an apple or a bomb, which move the score.
            if (chance(0.6) &&
                foodInSight(x, y,
                            chance(0.8) ? std::initializer_list<FoodKind>{KIND_ORANGE, KIND_APPLE,
                                                                          KIND_BOMB}
                                        : std::initializer_list<FoodKind>{}))
                click(events, GLUT_LEFT_BUTTON, x, y);
            else // anywhere, the window's edges and beyond them included
                click(events, between(0, 4), between(-50, windowWidth + 50),
                      between(-50, windowHeight + 50));
        }
        if (chance(0.005)) click(events, GLUT_RIGHT_BUTTON, between(0, windowWidth), 0);
        if (chance(0.002)) events.push_back({DEMO_RESHAPE, between(0, 1600), between(0, 1000)});
        if (chance(0.002)) {
            events.push_back({DEMO_KEYS_RELEASED});
            down.clear();
            specialsDown.clear();
        }
        return events;
    }
};

// Plays one game to its end, or to the first broken rule, writing it to path.
GameReport playGame(uint32_t gameSeed, const std::string &path, const std::string &game,
                    double secondsLeft, bool keepAll) {
    auto start = std::chrono::steady_clock::now();
    Monkey monkey(gameSeed);
    const int sizes[][2] = {{1000, 500}, {640, 480}, {320, 200}, {200, 100}, {1, 1}, {1200, 300}};
    const int *size = sizes[monkey.between(0, 5)];
    DemoHeader header;
    header.gameVersion = GRAZEWELL_VERSION;
    header.seed = uint32_t(monkey.random());
    header.width = size[0];
    header.height = size[1];
    header.fps = 60;
    header.platform = "linux";
    long frames = monkey.between(200, 4000);
    // One game in four feeds the bison well, one feeds it bombs: longer games, to their end.
    int kind = monkey.between(0, 3);
    monkey.feeding = kind == 2 ? 1 : kind == 3 ? -1 : 0;
    if (monkey.feeding) frames = monkey.between(4000, 12000);

    // The game's own lines would bury the monkey's.
    if (!freopen("/dev/null", "w", stdout)) return {};
    int argc = 1;
    char name[] = "monkey";
    char *argv[] = {name, nullptr};
    glutInitWindowSize(header.width, header.height);
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutCreateWindow("Grazewell");
    // No input callbacks: the monkey's events are the only input the game takes.
    glutDisplayFunc([] {});
    chooseDataFolders();
    initWorld();
    // The keyboard is lost only when the monkey says so.
    releaseKeysWithFocus = false;
    // A frame a tick, whatever the clock says: the monkey counts its ticks by its frames.
    oneTickPerFrame = true;
    // As a replay starts: the recorded seed and window.
    startDemo(header);

    DemoWriter writer;
    std::string reason;
    if (!openDemoWriter(writer, path.c_str(), header, &reason)) {
        fprintf(stderr, "monkey: %s: %s\n", path.c_str(), reason.c_str());
        exit(3);
    }
    GameReport report;
    for (long frame = 0; frame < frames; frame++) {
        std::vector<DemoEvent> events = monkey.frameEvents();
        int handBefore = handCount, scoreBefore = foodFed;
        DemoFrame played = runFrame(events);
        if (handCount > handBefore) report.picked += handCount - handBefore;
        if (handCount < handBefore) report.thrown += handBefore - handCount;
        if (foodFed != scoreBefore) report.scored++;
        report.won = report.won || gameState == STATE_WON;
        report.lost = report.lost || gameState == STATE_LOST;
        if (!writeDemoFrame(writer, played)) {
            fprintf(stderr, "monkey: %s: frame %ld could not be written\n", path.c_str(), frame);
            exit(3);
        }
        report.frames++;
        std::vector<std::string> faults = worldInvariantFaults();
        for (GLenum error; (error = glGetError()) != GL_NO_ERROR;)
            faults.push_back("GL error " + std::to_string(error) + " (" +
                             reinterpret_cast<const char *>(gluErrorString(error)) + ")");
        if (!faults.empty()) {
            for (const std::string &fault : faults)
                fprintf(stderr, "monkey: game seed %u, frame %ld (from 0): %s\n", gameSeed, frame,
                        fault.c_str());
            fprintf(stderr, "monkey: kept as %s; replay it with\n  %s --replay %s\n", path.c_str(),
                    game.c_str(), path.c_str());
            report.fault = true;
            break;
        }
        std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        if (spent.count() > secondsLeft) break;
    }
    closeDemoWriter(writer);
    if (!report.fault && !keepAll) remove(path.c_str());
    return report;
}

std::string absolute(const std::string &path) {
    char *real = realpath(path.c_str(), nullptr);
    std::string result = real ? real : path;
    free(real);
    return result;
}

} // namespace

int main(int argc, char **argv) {
    double seconds = argc > 1 ? atof(argv[1]) : 0;
    uint32_t seed = uint32_t(std::chrono::system_clock::now().time_since_epoch().count());
    std::string keep = "monkey-games";
    bool keepAll = false; // every game's recording kept, not only a failing one's
    for (int i = 2; i < argc; i++) {
        if (!strcmp(argv[i], "--keep-all")) {
            keepAll = true;
            continue;
        }
        if (i + 1 >= argc) break;
        if (!strcmp(argv[i], "--seed"))
            seed = uint32_t(strtoul(argv[i + 1], nullptr, 10));
        else if (!strcmp(argv[i], "--keep"))
            keep = argv[i + 1];
        i++;
    }
    if (seconds <= 0) {
        fprintf(stderr, "usage: monkey SECONDS [--seed N] [--keep FOLDER] [--keep-all]\n");
        return 2;
    }
    mkdir(keep.c_str(), 0755);
    // The game beside the monkey replays what it keeps.
    std::string self = absolute("/proc/self/exe");
    std::string game = self.substr(0, self.rfind('/')) + "/../grazewell";
    game = absolute(game);
    printf("monkey: %g s, seed %u\n", seconds, seed);
    fflush(stdout);

    std::mt19937 seeds(seed);
    auto start = std::chrono::steady_clock::now();
    long games = 0, frames = 0, failures = 0;
    GameReport all;
    long won = 0, lost = 0;
    for (;;) {
        std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        double left = seconds - spent.count();
        if (left <= 0) break;
        uint32_t gameSeed = uint32_t(seeds());
        std::string path = absolute(keep) + "/game-" + std::to_string(gameSeed) + ".rec";
        remove(path.c_str());
        int channel[2];
        if (pipe(channel) != 0) return 3;
        pid_t child = fork();
        if (child < 0) return 3;
        if (child == 0) {
            close(channel[0]);
            GameReport report = playGame(gameSeed, path, game, left, keepAll);
            if (write(channel[1], &report, sizeof report) != ssize_t(sizeof report)) _exit(3);
            // The leak check runs at exit, as for every program of a sanitizer build.
            exit(report.fault ? 1 : 0);
        }
        close(channel[1]);
        GameReport report;
        bool told = read(channel[0], &report, sizeof report) == ssize_t(sizeof report);
        close(channel[0]);
        int status = 0;
        waitpid(child, &status, 0);
        games++;
        bool clean = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (!told) {
            // Died in its game: what it wrote before is the game to replay.
            Demo demo;
            std::string reason;
            if (readDemo(path.c_str(), demo, &reason)) report.frames = long(demo.frames.size());
            fprintf(stderr,
                    "monkey: game seed %u died after %ld frames (%s %d); kept as %s; replay it "
                    "with\n  %s --replay %s\n",
                    gameSeed, report.frames, WIFSIGNALED(status) ? "signal" : "status",
                    WIFSIGNALED(status) ? WTERMSIG(status) : WEXITSTATUS(status), path.c_str(),
                    game.c_str(), path.c_str());
        } else if (!clean && !report.fault) {
            fprintf(stderr,
                    "monkey: game seed %u ended with status %d after its game (the sanitizers' "
                    "report is above)\n",
                    gameSeed, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
            report.fault = true;
        }
        frames += report.frames;
        all.picked += report.picked;
        all.thrown += report.thrown;
        all.scored += report.scored;
        won += report.won;
        lost += report.lost;
        if (!told || report.fault) failures++;
    }
    printf("monkey: %ld games, %ld frames, %ld failed\n", games, frames, failures);
    printf("monkey: in them %ld foods picked, %ld thrown, the score moved %ld times, %ld games "
           "won, %ld lost\n",
           all.picked, all.thrown, all.scored, won, lost);
    return failures == 0 ? 0 : 1;
}

// Frames per second of the game's frame in its typical situations, measured in one window and
// one run, interleaved round by round, against two floors: a frame that only clears and swaps,
// and a frame that draws only the scenery's display list (sky and ground).
//
//   grazewell_bench [rounds] [seconds per measurement]
//
// Run it from a folder holding tex/ (scripts/bench.sh does all of this under Xvfb).
#include "app/app.h"
#include "bison/bison.h"
#include "camera/camera.h"
#include "capture/capture.h"
#include "food/food.h"
#include "input/input.h"
#include "scenery/scenery.h"

#include <GL/freeglut.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using Clock = std::chrono::steady_clock;

static double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// What a food changes while it is picked, thrown and sent home.
struct FoodMotion {
    FoodState state;
    int groundTimer;
    Vector3 position, direction, speed;
};

// Everything the game changes while playing, so that each situation starts the same. The
// objects themselves are not copied: their destructors delete their textures.
struct Snapshot {
    Camera camera;
    Vector3 bisonPosition;
    float bisonHeading;
    bool bisonWandering;
    FoodMotion foodMotion[FOOD_COUNT];
    int handState[FOOD_COUNT];
    int handSize;
    int held, lastThrown;
    GameState state;
};

static Snapshot save() {
    Snapshot s;
    s.camera = *camera;
    s.bisonPosition = bison->position;
    s.bisonHeading = bison->heading;
    s.bisonWandering = bison->wandering;
    for (int i = 0; i < FOOD_COUNT; i++) {
        const Food &f = *foods[i];
        s.foodMotion[i] = {f.state, f.groundTimer, f.position, f.direction, f.speed};
    }
    memcpy(s.handState, hand, sizeof hand);
    s.handSize = handCount;
    s.held = heldIndex;
    s.lastThrown = lastThrownIndex;
    s.state = gameState;
    return s;
}

static void restore(const Snapshot &s) {
    *camera = s.camera;
    bison->position = s.bisonPosition;
    bison->heading = s.bisonHeading;
    bison->wandering = s.bisonWandering;
    for (int i = 0; i < FOOD_COUNT; i++) {
        Food &f = *foods[i];
        const FoodMotion &m = s.foodMotion[i];
        f.state = m.state;
        f.groundTimer = m.groundTimer;
        f.position = m.position;
        f.direction = m.direction;
        f.speed = m.speed;
    }
    memcpy(hand, s.handState, sizeof hand);
    handCount = s.handSize;
    holding = handCount > 0;
    heldIndex = s.held;
    lastThrownIndex = s.lastThrown;
    gameState = s.state;
    bombLaunch = bombFalling = flashActive = false;
    bombFirstFall = true;
    flashRadius = 0;
    recording = false;
    pickPending = false;
    memset(keyDown, 0, sizeof keyDown);
}

// A situation of the game: how to set it up, and how to draw one frame of it.
struct Situation {
    const char *name;
    std::function<void()> setUp;
    std::function<void()> frame;
    std::vector<double> fps;
};

static void clearFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
}

static void sceneryFrame() {
    setProjection();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix();
    camera->look();
    glCallList(scene->displayList);
    glPopMatrix();
    glutSwapBuffers();
}

// Looking over the first tree's foods towards the meadow, as a player does.
static void playingView() {
    gameState = STATE_PLAYING;
    camera->position = {-8.0f, 1.75f, -2.0f};
    camera->yaw = 3.1415927f;
    camera->direction = {0.0f, -0.1f, 1.0f};
    bison->position = {-4.0f, 1.75f, 12.0f};
}

static void pickFood(int index) {
    hand[handCount++] = index;
    holding = true;
    heldIndex = index;
    foods[index]->state = FOOD_HELD;
}

static double measure(Situation &situation, double seconds) {
    situation.setUp();
    situation.frame(); // warm-up: first use of a state, texture or list
    glFinish();
    int frames = 0;
    Clock::time_point start = Clock::now();
    while (secondsSince(start) < seconds) {
        situation.frame();
        frames++;
    }
    glFinish();
    return frames / secondsSince(start);
}

static double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Milliseconds from exec to the first frame swapped and finished, as the game starts.
static double startUpMilliseconds(const char *self) {
    Clock::time_point start = Clock::now();
    int fds[2];
    if (pipe(fds) != 0) return -1;
    pid_t child = fork();
    if (child == 0) {
        dup2(fds[1], 3);
        execl(self, self, "--first-frame", static_cast<char *>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    long long endNanoseconds = 0;
    ssize_t got = read(fds[0], &endNanoseconds, sizeof endNanoseconds);
    close(fds[0]);
    waitpid(child, nullptr, 0);
    if (got != sizeof endNanoseconds) return -1;
    long long startNanoseconds =
        std::chrono::duration_cast<std::chrono::nanoseconds>(start.time_since_epoch()).count();
    return double(endNanoseconds - startNanoseconds) / 1e6;
}

static void openWindow(int &argc, char **argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(windowWidth, windowHeight);
    glutCreateWindow("Grazewell");
    glutReshapeFunc(onReshape);
    glutDisplayFunc([] {}); // the benchmark draws its frames itself
}

// The child of startUpMilliseconds: the game's own start, up to its first frame.
static int firstFrame(int argc, char **argv) {
    openWindow(argc, argv);
    initWorld();
    glutMainLoopEvent();
    onDisplay();
    glFinish();
    long long now =
        std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
            .count();
    return write(3, &now, sizeof now) == sizeof now ? 0 : 1;
}

int main(int argc, char **argv) {
    if (argc > 1 && strcmp(argv[1], "--first-frame") == 0) return firstFrame(argc, argv);
    int rounds = argc > 1 ? atoi(argv[1]) : 5;
    double seconds = argc > 2 ? atof(argv[2]) : 1.0;
    if (rounds < 1 || seconds <= 0) {
        fprintf(stderr, "usage: grazewell_bench [rounds] [seconds per measurement]\n");
        return 2;
    }
    // The game's console lines would drown the table; the benchmark keeps only its own.
    FILE *table = fdopen(dup(1), "w");
    if (!freopen("/dev/null", "w", stdout)) return 1;

    openWindow(argc, argv);
    for (int i = 0; i < 20; i++) glutMainLoopEvent();
    Clock::time_point initStart = Clock::now();
    initWorld();
    glFinish();
    double initMilliseconds = secondsSince(initStart) * 1000;
    onReshape(windowWidth, windowHeight);
    // Let the title drift settle, as on a real title screen after the first seconds.
    for (int i = 0; i < 200; i++) onDisplay();
    Snapshot start = save();

    char folder[] = "/tmp/grazewell-bench-XXXXXX";
    if (!mkdtemp(folder)) return 1;
    std::string home = get_current_dir_name();
    std::vector<Situation> situations = {
        {"floor: clear and swap", [] {}, clearFrame, {}},
        {"floor: scenery list", playingView, sceneryFrame, {}},
        {"title screen", [] { gameState = STATE_TITLE; }, onDisplay, {}},
        {"playing, foods at home", playingView, onDisplay, {}},
        {"playing, 5 in hand, 1 flying",
         [] {
             playingView();
             for (int i : {0, 1, 4, 5, 8}) pickFood(i);
             foods[12]->position = {-8.0f, 20.0f, 0.0f};
             foods[12]->launch(3.1415927f, 2.0f);
             foods[12]->speed.y = 0.0f;
             lastThrownIndex = 12;
         },
         [] {
             if (foods[12]->position.y < 5.0f) foods[12]->position.y = 20.0f; // keep it up
             onDisplay();
         },
         {}},
        {"bomb launch",
         [] {
             playingView();
             bombLaunch = true;
             flashRadius = 5;
         },
         [] {
             if (!bombLaunch) {
                 bombLaunch = true;
                 flashRadius = 5;
             }
             onDisplay();
         },
         {}},
        {"selection frame (pick)",
         playingView,
         [] {
             pickPending = true;
             pickX = 500;
             pickY = 300;
             onDisplay();
             // Keep the hand empty so every pick does the same work.
             for (int i = 0; i < handCount; i++) foods[hand[i]]->state = FOOD_HOME;
             handCount = 0;
             holding = false;
             heldIndex = -1;
         },
         {}},
        {"recording (capture every frame)",
         [&folder] {
             playingView();
             if (chdir(folder) != 0) exit(1);
             recording = true;
         },
         [] {
             captureIndex = 0; // one file, rewritten
             onDisplay();
         },
         {}},
    };

    for (int round = 0; round < rounds; round++) {
        for (Situation &situation : situations) {
            restore(start);
            situation.fps.push_back(measure(situation, seconds));
            if (chdir(home.c_str()) != 0) return 1;
        }
    }
    restore(start);
    std::string cleanup = std::string("rm -rf '") + folder + "'";
    if (system(cleanup.c_str()) != 0) fprintf(stderr, "could not remove %s\n", folder);

    std::vector<double> startUps;
    for (int round = 0; round < rounds; round++) startUps.push_back(startUpMilliseconds(argv[0]));

    fprintf(table, "Renderer: %s (%s), window %d x %d, %d rounds of %.1f s\n\n",
            (const char *)glGetString(GL_RENDERER), (const char *)glGetString(GL_VERSION),
            windowWidth, windowHeight, rounds, seconds);
    double floor = median(situations[1].fps);
    fprintf(table, "| %-34s | %9s | %17s | %14s |\n", "frame", "fps", "spread (min-max)",
            "cost / scenery");
    fprintf(table, "|%s|%s|%s|%s|\n", std::string(36, '-').c_str(), std::string(11, '-').c_str(),
            std::string(19, '-').c_str(), std::string(16, '-').c_str());
    for (const Situation &s : situations) {
        double fps = median(s.fps);
        auto range = std::minmax_element(s.fps.begin(), s.fps.end());
        fprintf(table, "| %-34s | %9.1f | %7.1f - %7.1f | %14.2f |\n", s.name, fps, *range.first,
                *range.second, floor / fps);
    }
    auto range = std::minmax_element(startUps.begin(), startUps.end());
    fprintf(table, "\nStart-up to the first frame on screen: %.1f ms (%.1f - %.1f)\n",
            median(startUps), *range.first, *range.second);
    fprintf(table, "initWorld alone: %.1f ms\n", initMilliseconds);
    fclose(table);
    return 0;
}

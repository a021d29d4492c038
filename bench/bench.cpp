// Frames per second of the game's frame in its typical situations, measured in one window and
// one run, interleaved round by round, against two floors: a frame that only clears and swaps,
// and a frame that draws only sky and ground. The scenery floor is the benchmark's own display
// list, sky then ground as the game first drew them, so that a cheaper scene in the game shows as
// a lower ratio instead of moving the floor with it. The game's window size and a maximised
// 1920 x 1080 window are measured, each against the floors at its own size (the X screen must
// hold 1920 x 1080).
//
//   grazewell_bench [rounds] [seconds per measurement]   the table
//   grazewell_bench --raw [rounds] [seconds]              one line per measurement, for scripts
//   grazewell_bench --only NAME [seconds]                 one situation, for a profiler
//
// Every frame of a situation draws the same picture: the bison is put back where it stood before
// each frame (it still takes its wander step inside the frame), so a faster frame does not let it
// walk out of view, and the flying food and the bomb launch are put back into the same moment of
// their flight. Each situation is checked after its measurement; one that left its state stops
// the run. Run it from a folder holding tex/ (scripts/bench.sh does all of this under Xvfb).
#include "app/app.h"
#include "bison/bison.h"
#include "camera/camera.h"
#include "capture/capture.h"
#include "food/feeding.h"
#include "food/food.h"
#include "food/pick.h"
#include "input/input.h"
#include "scenery/scenery.h"

#include <GL/freeglut.h>
#include <GL/glu.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using Clock = std::chrono::steady_clock;

static double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// CPU time of the whole process, every thread (llvmpipe rasterises on threads of its own), in
// seconds; the X server's work on the swap is not in it.
static double processSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// CPU time of the calling thread, the game's, in seconds: what the frame's own calls cost, the
// GL's vertex work and binning included, its rasterisation not.
static double threadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

static long long nanosecondsNow() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

// What a food changes while it is picked, thrown and sent home.
struct FoodMotion {
    FoodState state;
    int groundTimer;
    Vector3 position, direction, speed;
};

// What the bison changes from frame to frame: its walk and its nod. The object itself is not
// copied: its destructor deletes its skin.
struct BisonPose {
    Vector3 position;
    float baseAngle, heading, targetHeading, dirX, dirZ, stepCount, legLength, speed;
    bool wandering, turnPositive, nodLowering;
    float nodAngle;
    int nodCount, wantedNods;
};

static BisonPose bisonPose() {
    const Bison &b = *bison;
    return {b.position,     b.baseAngle,   b.heading,   b.targetHeading, b.dirX,
            b.dirZ,         b.stepCount,   b.legLength, b.speed,         b.wandering,
            b.turnPositive, b.nodLowering, b.nodAngle,  b.nodCount,      b.wantedNods};
}

static void setBisonPose(const BisonPose &p) {
    Bison &b = *bison;
    b.position = p.position;
    b.baseAngle = p.baseAngle;
    b.heading = p.heading;
    b.targetHeading = p.targetHeading;
    b.dirX = p.dirX;
    b.dirZ = p.dirZ;
    b.stepCount = p.stepCount;
    b.legLength = p.legLength;
    b.speed = p.speed;
    b.wandering = p.wandering;
    b.turnPositive = p.turnPositive;
    b.nodLowering = p.nodLowering;
    b.nodAngle = p.nodAngle;
    b.nodCount = p.nodCount;
    b.wantedNods = p.wantedNods;
}

// Everything the game changes while playing, so that each situation starts the same.
struct Snapshot {
    Camera camera;
    BisonPose bison;
    FoodMotion foodMotion[FOOD_COUNT];
    int handState[FOOD_COUNT];
    int handSize;
    int held, lastThrown;
    GameState state;
};

static Snapshot save() {
    Snapshot s;
    s.camera = *camera;
    s.bison = bisonPose();
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
    setBisonPose(s.bison);
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

struct WindowSize {
    int width, height;
};

// A situation of the game: how to set it up, how to draw one frame of it, and how to tell after
// the measurement that every frame was what the name says (an empty string when it was).
struct Situation {
    const char *name;
    WindowSize size; // the window's while it is measured
    std::function<void()> setUp;
    std::function<void()> frame;
    std::function<std::string()> check;
    std::vector<double> fps = {};
    std::vector<double> cpuMilliseconds = {};    // CPU time per frame, all threads
    std::vector<double> threadMilliseconds = {}; // CPU time per frame, the game's thread
};

static std::string fine() {
    return "";
}

static void clearFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
}

// The scenery floor's display list: the sky dome and the ground of the game's scene, with its
// textures, drawn as the scene list first drew them (sky, then ground) and kept here unchanged
// whatever the game's own list becomes.
static unsigned int floorList = 0;

static void buildFloorList() {
    floorList = glGenLists(1);
    glNewList(floorList, GL_COMPILE);
    glPushMatrix();
    glScalef(SKY_RADIUS, SKY_RADIUS, SKY_RADIUS);
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    GLUquadric *quadric = gluNewQuadric();
    gluQuadricTexture(quadric, GL_TRUE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, scene->skyTexture);
    gluSphere(quadric, 1.0, 50, 50);
    gluDeleteQuadric(quadric);
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
    glEnable(GL_TEXTURE_2D);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glPushMatrix();
    glTranslatef(-162.0f, 0.0f, -162.0f);
    glScalef(3.0f, 1.0f, 3.0f);
    glBindTexture(GL_TEXTURE_2D, scene->grassTexture);
    for (int column = 0; column < 30; column++) {
        glPushMatrix();
        for (int row = 0; row < 30; row++) {
            glBegin(GL_QUADS);
            glNormal3f(0.0f, 1.0f, 0.0f);
            glTexCoord2f(0.0f, 1.0f);
            glVertex3f(-2.0f, 0.0f, -2.0f);
            glTexCoord2f(0.0f, 0.0f);
            glVertex3f(-2.0f, 0.0f, 2.0f);
            glTexCoord2f(1.0f, 0.0f);
            glVertex3f(2.0f, 0.0f, 2.0f);
            glTexCoord2f(1.0f, 1.0f);
            glVertex3f(2.0f, 0.0f, -2.0f);
            glEnd();
            glTranslatef(0.0f, 0.0f, 4.0f);
        }
        glPopMatrix();
        glTranslatef(4.0f, 0.0f, 0.0f);
    }
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
    glEndList();
}

static void sceneryFrame() {
    setProjection();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix();
    camera->look();
    glCallList(floorList);
    glPopMatrix();
    glutSwapBuffers();
}

// The game's window size, and the maximised one.
static const WindowSize GAME_SIZE = {1000, 500};
static const WindowSize WIDE_SIZE = {1920, 1080};

// Resizes the window and waits until the game has been told.
static void useWindowSize(WindowSize size) {
    int width = size.width, height = size.height;
    if (windowWidth == width && windowHeight == height) return;
    glutReshapeWindow(width, height);
    for (int i = 0; i < 200 && (windowWidth != width || windowHeight != height); i++) {
        glutMainLoopEvent();
        usleep(5000);
    }
    if (windowWidth != width || windowHeight != height) {
        fprintf(stderr, "the window could not be made %d x %d\n", width, height);
        exit(1);
    }
}

// Where the bison stands in every frame of the current situation.
static BisonPose situationPose;
static void keepBisonHere() {
    situationPose = bisonPose();
}

// The scenery floor with one more part of the game's frame drawn where the frame draws it.
static void sceneryWith(void (*beforeScene)(), void (*afterScene)()) {
    setProjection();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPushMatrix();
    camera->look();
    beforeScene();
    glCallList(scene->displayList);
    afterScene();
    glPopMatrix();
    glutSwapBuffers();
}

static void nothing() {}

// Looking over the first tree's foods towards the bison, as a player does.
static void playingView() {
    gameState = STATE_PLAYING;
    camera->position = {-8.0f, 1.75f, -2.0f};
    camera->yaw = 3.1415927f;
    camera->direction = {0.0f, -0.1f, 1.0f};
    bison->position = {-4.0f, 1.75f, 12.0f};
    keepBisonHere();
}

// A frame of the game: the bison back where it stood, then the game's own frame.
static void gameFrame() {
    setBisonPose(situationPose);
    onDisplay();
}

static void pickFood(int index) {
    hand[handCount++] = index;
    holding = true;
    heldIndex = index;
    foods[index]->state = FOOD_HELD;
}

// The food thrown in the hand-and-flight situation, and where it flies in view each frame.
static const int FLYING_FOOD = 12;
static const Vector3 FLIGHT_POINT = {-7.0f, 2.2f, 3.0f};

// Where the pick aims: the window point of the first food at home, y counted from the top.
static const int PICKED_FOOD = 0;
static int picksMissed = 0;
static void aimAtPickedFood() {
    setProjection();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    camera->look();
    GLdouble model[16], projection[16], x, y, z;
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    const Vector3 &home = foods[PICKED_FOOD]->home;
    gluProject(home.x, home.y, home.z, model, projection, viewport, &x, &y, &z);
    pickX = float(x);
    pickY = float(double(viewport[3]) - y);
}

// perf's control and acknowledgement fifos (perf record --control=fifo:CTL,ACK -D -1), named by
// GRAZEWELL_PROFILER_CONTROL and GRAZEWELL_PROFILER_ACK: the profile then holds the measured
// frames only, not the start-up and set-up around them.
static FILE *profilerControl = nullptr, *profilerAck = nullptr;

static void openProfilerControl() {
    const char *control = getenv("GRAZEWELL_PROFILER_CONTROL");
    const char *ack = getenv("GRAZEWELL_PROFILER_ACK");
    if (!control || !ack) return;
    profilerControl = fopen(control, "w");
    profilerAck = fopen(ack, "r");
}

static void tellProfiler(const char *command) {
    if (!profilerControl || !profilerAck) return;
    fprintf(profilerControl, "%s\n", command);
    fflush(profilerControl);
    char answer[16];
    if (!fgets(answer, sizeof answer, profilerAck)) profilerAck = nullptr;
}

// Frames drawn in the last measurement, and the CPU milliseconds per frame it took.
static int measuredFrames = 0;
static double measuredCpu = 0, measuredThread = 0;

static double measure(Situation &situation, double seconds) {
    situation.setUp();
    situation.frame(); // warm-up: first use of a state, texture or list
    glFinish();
    tellProfiler("enable");
    int frames = 0;
    double cpuStart = processSeconds(), threadStart = threadSeconds();
    Clock::time_point start = Clock::now();
    while (secondsSince(start) < seconds) {
        situation.frame();
        frames++;
    }
    glFinish();
    double elapsed = secondsSince(start);
    measuredCpu = (processSeconds() - cpuStart) * 1000 / frames;
    measuredThread = (threadSeconds() - threadStart) * 1000 / frames;
    tellProfiler("disable");
    measuredFrames = frames;
    return frames / elapsed;
}

static double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// What the start-up child reports: when its first frame was finished, and how long initWorld took.
struct StartUp {
    long long firstFrameNanoseconds;
    long long initWorldNanoseconds;
};

// Milliseconds from exec to the first frame swapped and finished, and of initWorld alone, as the
// game starts; false when the child failed.
static bool startUp(const char *self, double &toFirstFrame, double &initWorldAlone) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    long long start = nanosecondsNow();
    pid_t child = fork();
    if (child == 0) {
        dup2(fds[1], 3);
        execl(self, self, "--first-frame", static_cast<char *>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    StartUp report;
    ssize_t got = read(fds[0], &report, sizeof report);
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (got != sizeof report || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
    toFirstFrame = double(report.firstFrameNanoseconds - start) / 1e6;
    initWorldAlone = double(report.initWorldNanoseconds) / 1e6;
    return true;
}

static void openWindow(int &argc, char **argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(windowWidth, windowHeight);
    glutCreateWindow("Grazewell");
    glutReshapeFunc(onReshape);
    glutDisplayFunc([] {}); // the benchmark draws its frames itself
}

// The child of startUp: the game's own start, as main makes it, up to its first frame.
static int firstFrame(int argc, char **argv) {
    openWindow(argc, argv);
    long long before = nanosecondsNow();
    initWorld();
    glFinish();
    long long initWorldNanoseconds = nanosecondsNow() - before;
    glutMainLoopEvent();
    onDisplay();
    glFinish();
    StartUp report = {nanosecondsNow(), initWorldNanoseconds};
    return write(3, &report, sizeof report) == sizeof report ? 0 : 1;
}

static void titleView() {
    gameState = STATE_TITLE;
    keepBisonHere();
}

static std::string stillOnTitle() {
    return gameState == STATE_TITLE ? "" : "left the title";
}

static std::vector<Situation> situations(const char *folder, const std::string &home) {
    return {
        {"floor: clear and swap", GAME_SIZE, [] {}, clearFrame, fine},
        {"floor: scenery (sky, ground)", GAME_SIZE, playingView, sceneryFrame, fine},
        {"title screen", GAME_SIZE, titleView, gameFrame, stillOnTitle},
        {"playing, foods at home", GAME_SIZE, playingView, gameFrame, fine},
        {"playing, 5 in hand, 1 flying", GAME_SIZE,
         [] {
             playingView();
             for (int i : {0, 1, 4, 5, 8}) pickFood(i);
             lastThrownIndex = FLYING_FOOD;
         },
         [] {
             // Thrown again from the same point each frame: one flight step and one collision
             // test of a food in view, every frame.
             foods[FLYING_FOOD]->position = FLIGHT_POINT;
             foods[FLYING_FOOD]->launch(3.1415927f, 0.0f);
             gameFrame();
         },
         [] {
             const Food &f = *foods[FLYING_FOOD];
             if (f.state != FOOD_FLYING || f.position.y <= FOOD_GROUND_LEVEL)
                 return std::string("the flying food landed");
             return std::string(handCount == 5 ? "" : "the hand changed");
         }},
        {"bomb launch, flash at its largest", GAME_SIZE, playingView,
         [] {
             // The first frame after a bomb on the head: the bison rises in view, the flash is
             // drawn at radius 4.
             setBisonPose(situationPose);
             bombLaunch = true;
             bombFalling = false;
             bombFirstFall = true;
             flashActive = false;
             flashRadius = FLASH_START_RADIUS;
             onDisplay();
         },
         [] {
             return std::string(bombLaunch && flashRadius == FLASH_START_RADIUS - 1
                                    ? ""
                                    : "the launch was not at its first frame");
         }},
        {"selection frame (pick a food)", GAME_SIZE,
         [] {
             playingView();
             aimAtPickedFood();
             picksMissed = 0;
         },
         [] {
             pickPending = true;
             gameFrame();
             if (handCount != 1 || hand[0] != PICKED_FOOD) picksMissed++;
             // Back home with an empty hand, so every pick does the same work.
             for (int i = 0; i < handCount; i++) foods[hand[i]]->state = FOOD_HOME;
             handCount = 0;
             holding = false;
             heldIndex = -1;
         },
         [] {
             return std::string(picksMissed == 0 ? "" : "a pick did not take the food aimed at");
         }},
        {"recording (capture every frame)", GAME_SIZE,
         [folder] {
             playingView();
             if (chdir(folder) != 0) exit(1);
             recording = true;
         },
         [] {
             // One file, made afresh each frame: a capture never replaces one.
             remove(captureFileName(0).c_str());
             captureIndex = 0;
             gameFrame();
         },
         [home] {
             struct stat info;
             bool written =
                 stat(captureFileName(0).c_str(), &info) == 0 &&
                 size_t(info.st_size) == ppmHeader(windowWidth, windowHeight).size() +
                                             3 * size_t(windowWidth) * size_t(windowHeight);
             if (chdir(home.c_str()) != 0) exit(1);
             return std::string(written ? "" : "no capture was written");
         }},
        {"scenery + title text", GAME_SIZE, playingView,
         [] {
             gameState = STATE_TITLE;
             sceneryWith(drawScreenText, nothing);
         },
         fine},
        {"scenery + bison", GAME_SIZE, playingView,
         [] {
             sceneryWith(nothing, [] {
                 setBisonPose(situationPose);
                 bison->draw();
             });
         },
         fine},
        {"scenery + trees", GAME_SIZE, playingView,
         [] {
             sceneryWith(nothing, [] {
                 for (Tree *tree : trees) drawTree(tree);
             });
         },
         fine},
        {"scenery + foods at home", GAME_SIZE, playingView, [] { sceneryWith(nothing, drawFoods); },
         fine},
        // Maximised on a 1920 x 1080 screen: the same frames over four times the pixels.
        {"floor: clear and swap, 1920 x 1080", WIDE_SIZE, [] {}, clearFrame, fine},
        {"floor: scenery, 1920 x 1080", WIDE_SIZE, playingView, sceneryFrame, fine},
        {"title screen, 1920 x 1080", WIDE_SIZE, titleView, gameFrame, stillOnTitle},
        {"playing, foods at home, 1920 x 1080", WIDE_SIZE, playingView, gameFrame, fine},
    };
}

int main(int argc, char **argv) {
    if (argc > 1 && strcmp(argv[1], "--first-frame") == 0) return firstFrame(argc, argv);
    bool raw = argc > 1 && strcmp(argv[1], "--raw") == 0;
    const char *only = argc > 2 && strcmp(argv[1], "--only") == 0 ? argv[2] : nullptr;
    int first = raw ? 2 : only ? 3 : 1;
    int rounds = only ? 1 : argc > first ? atoi(argv[first]) : 5;
    const char *secondsArgument =
        argc > first + (only ? 0 : 1) ? argv[first + (only ? 0 : 1)] : nullptr;
    double seconds = secondsArgument ? atof(secondsArgument) : 1.0;
    if (rounds < 1 || seconds <= 0) {
        fprintf(stderr, "usage: grazewell_bench [--raw] [rounds] [seconds per measurement]\n"
                        "       grazewell_bench --only NAME [seconds]\n");
        return 2;
    }
    // The game's console lines would drown the table; the benchmark keeps only its own.
    FILE *table = fdopen(dup(1), "w");
    if (!freopen("/dev/null", "w", stdout)) return 1;

    openWindow(argc, argv);
    for (int i = 0; i < 20; i++) glutMainLoopEvent();
    initWorld();
    buildFloorList();
    onReshape(windowWidth, windowHeight);
    // The same world in every run: the bison one step into a leg of a known draw, where it started,
    // and the title's gaze settled, as on a real title screen after its first seconds.
    srand(1);
    Vector3 bisonStart = bison->position;
    bison->wander();
    bison->position = bisonStart;
    for (int i = 0; i < 200; i++) titleDrift();
    Snapshot start = save();

    char folder[] = "/tmp/grazewell-bench-XXXXXX";
    if (!mkdtemp(folder)) return 1;
    std::string home = get_current_dir_name();
    std::vector<Situation> all = situations(folder, home);
    if (only) {
        auto chosen = std::find_if(all.begin(), all.end(), [only](const Situation &s) {
            return strncmp(s.name, only, strlen(only)) == 0;
        });
        if (chosen == all.end()) {
            fprintf(stderr, "no situation starts with '%s'\n", only);
            return 2;
        }
        all = {*chosen};
        openProfilerControl();
    }

    int failures = 0;
    for (int round = 0; round < rounds; round++) {
        for (Situation &situation : all) {
            useWindowSize(situation.size);
            restore(start);
            situation.fps.push_back(measure(situation, seconds));
            situation.cpuMilliseconds.push_back(measuredCpu);
            situation.threadMilliseconds.push_back(measuredThread);
            std::string problem = situation.check();
            if (!problem.empty()) {
                fprintf(stderr, "%s: %s\n", situation.name, problem.c_str());
                failures++;
            }
        }
    }
    useWindowSize(GAME_SIZE);
    restore(start);
    std::string cleanup = std::string("rm -rf '") + folder + "'";
    if (system(cleanup.c_str()) != 0) fprintf(stderr, "could not remove %s\n", folder);
    if (failures) return 1;

    const char *renderer = (const char *)glGetString(GL_RENDERER);
    const char *version = (const char *)glGetString(GL_VERSION);
    if (only) {
        fprintf(table, "%s: %.1f fps, %d frames on %s\n", all[0].name, all[0].fps[0],
                measuredFrames, renderer);
        fclose(table);
        return 0;
    }

    std::vector<double> startUps, initWorlds;
    for (int round = 0; round < rounds; round++) {
        double toFirstFrame = 0, initWorldAlone = 0;
        if (!startUp(argv[0], toFirstFrame, initWorldAlone)) {
            fprintf(stderr, "the start-up child failed\n");
            return 1;
        }
        startUps.push_back(toFirstFrame);
        initWorlds.push_back(initWorldAlone);
    }

    if (raw) {
        // Tab-separated, one line per measurement: "frame", name, round, frames per second, CPU
        // milliseconds per frame of all threads and of the game's thread; "start-up", round,
        // milliseconds to the first frame and of initWorld.
        fprintf(table, "renderer\t%s (%s), windows %d x %d and %d x %d\n", renderer, version,
                GAME_SIZE.width, GAME_SIZE.height, WIDE_SIZE.width, WIDE_SIZE.height);
        for (const Situation &s : all)
            for (size_t r = 0; r < s.fps.size(); r++)
                fprintf(table, "frame\t%s\t%zu\t%.2f\t%.3f\t%.3f\n", s.name, r, s.fps[r],
                        s.cpuMilliseconds[r], s.threadMilliseconds[r]);
        for (size_t r = 0; r < startUps.size(); r++)
            fprintf(table, "start-up\t%zu\t%.2f\t%.2f\n", r, startUps[r], initWorlds[r]);
        fclose(table);
        return 0;
    }

    fprintf(table, "Renderer: %s (%s), windows %d x %d and %d x %d, %d rounds of %.1f s\n\n",
            renderer, version, GAME_SIZE.width, GAME_SIZE.height, WIDE_SIZE.width, WIDE_SIZE.height,
            rounds, seconds);
    // Each frame is compared with the scenery floor at its window size: in time, the figure a
    // player sees, and in CPU time, the figure a busy machine disturbs least.
    auto floorOf = [&all](const Situation &s) -> const Situation & {
        for (const Situation &f : all)
            if (strncmp(f.name, "floor: scenery", 14) == 0 && f.size.width == s.size.width &&
                f.size.height == s.size.height)
                return f;
        return s;
    };
    fprintf(table, "| %-36s | %7s | %17s | %9s | %9s | %11s | %9s |\n", "frame", "fps",
            "spread (min-max)", "time / scenery", "CPU ms", "game thread", "CPU / scenery");
    fprintf(table, "|%s|%s|%s|%s|%s|%s|%s|\n", std::string(38, '-').c_str(),
            std::string(9, '-').c_str(), std::string(19, '-').c_str(), std::string(16, '-').c_str(),
            std::string(11, '-').c_str(), std::string(13, '-').c_str(),
            std::string(15, '-').c_str());
    for (const Situation &s : all) {
        const Situation &f = floorOf(s);
        double fps = median(s.fps);
        auto range = std::minmax_element(s.fps.begin(), s.fps.end());
        double cpu = median(s.cpuMilliseconds);
        fprintf(table, "| %-36s | %7.1f | %7.1f - %7.1f | %14.2f | %9.2f | %11.2f | %13.2f |\n",
                s.name, fps, *range.first, *range.second, median(f.fps) / fps, cpu,
                median(s.threadMilliseconds), cpu / median(f.cpuMilliseconds));
    }
    fprintf(table, "\nCPU ms: CPU milliseconds a frame, all threads of the process (llvmpipe "
                   "rasterises on threads\nof its own); game thread: those of the thread that "
                   "runs the frame. Medians over the rounds.\n");
    auto range = std::minmax_element(startUps.begin(), startUps.end());
    fprintf(table, "\nStart-up to the first frame on screen: %.1f ms (%.1f - %.1f)\n",
            median(startUps), *range.first, *range.second);
    range = std::minmax_element(initWorlds.begin(), initWorlds.end());
    fprintf(table, "initWorld alone: %.1f ms (%.1f - %.1f)\n", median(initWorlds), *range.first,
            *range.second);
    fclose(table);
    return 0;
}

// The start-up child: the game's window and world made as the game makes them, timed.
#include "startup.h"
#include "clocks.h"

#include "game_headers.h"
#include "input/input.h"
#include "sound/sound.h"

#include <GL/freeglut.h>
#include <sys/wait.h>
#include <unistd.h>

// What the start-up child reports: when its first frame was finished, how long each step before
// it took, and its slowest title frame after it.
struct StartUp {
    long long firstFrameNanoseconds;
    long long initWorldNanoseconds;
    long long warmUpNanoseconds;
    long long initSoundNanoseconds;
    long long slowestTitleFrameNanoseconds;
};

// Milliseconds from exec to the first frame swapped and finished, and of each step, as the game
// starts; false when the child failed.
static bool startUp(const char *self, StartUps &startUps) {
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
    startUps.toFirstFrame.push_back(double(report.firstFrameNanoseconds - start) / 1e6);
    startUps.initWorld.push_back(double(report.initWorldNanoseconds) / 1e6);
    startUps.warmUp.push_back(double(report.warmUpNanoseconds) / 1e6);
    startUps.initSound.push_back(double(report.initSoundNanoseconds) / 1e6);
    startUps.slowestTitleFrame.push_back(double(report.slowestTitleFrameNanoseconds) / 1e6);
    return true;
}

void openWindow(int &argc, char **argv) {
    if (prepareWindowThreads) prepareWindowThreads(); // as the game, before the window
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(windowWidth, windowHeight);
    glutCreateWindow("Grazewell");
    glutReshapeFunc(onReshape);
    glutDisplayFunc([] {}); // the benchmark draws its frames itself
}

// The child of startUp: the game's own start, as main makes it, up to its first frame, then the
// title's next frames.
int firstFrame(int argc, char **argv) {
    openWindow(argc, argv);
    long long before = nanosecondsNow();
    initWorld();
    glFinish();
    long long initWorldNanoseconds = nanosecondsNow() - before;
    before = nanosecondsNow();
    if (startSelectionWarmUp) {
        // Its thread, or a step after each frame shown where the picks have no context of their
        // own.
        if (prepareSelectionContext) prepareSelectionContext();
        startSelectionWarmUp();
    } else
        warmUpDrawing();
    long long warmUpNanoseconds = nanosecondsNow() - before;
    before = nanosecondsNow();
    initSound(false);
    long long initSoundNanoseconds = nanosecondsNow() - before;
    if (prepareOverlays) prepareOverlays();
    glutMainLoopEvent();
    onDisplay();
    glFinish();
    long long firstFrameNanoseconds = nanosecondsNow();
    long long slowest = 0;
    for (int frame = 0; frame < TITLE_FRAMES; frame++) {
        before = nanosecondsNow();
        glutMainLoopEvent();
        onDisplay();
        glFinish();
        slowest = std::max(slowest, nanosecondsNow() - before);
    }
    StartUp report = {firstFrameNanoseconds, initWorldNanoseconds, warmUpNanoseconds,
                      initSoundNanoseconds, slowest};
    return write(3, &report, sizeof report) == sizeof report ? 0 : 1;
}

bool measureStartUps(const char *self, int rounds, StartUps &startUps) {
    for (int round = 0; round < rounds; round++)
        if (!startUp(self, startUps)) return false;
    return true;
}

// The start-up child: the game's window and world made as the game makes them, timed.
#include "startup.h"
#include "clocks.h"

#include "app/app.h"
#include "app/loop.h"
#include "input/input.h"
#include "sound/sound.h"

#include <GL/freeglut.h>
#include <sys/wait.h>
#include <unistd.h>

// What the start-up child reports: when its first frame was finished, and how long initWorld took.
struct StartUp {
    long long firstFrameNanoseconds;
    long long initWorldNanoseconds;
    long long initSoundNanoseconds;
};

// Milliseconds from exec to the first frame swapped and finished, and of initWorld alone, as the
// game starts; false when the child failed.
static bool startUp(const char *self, double &toFirstFrame, double &initWorldAlone,
                    double &initSoundAlone) {
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
    initSoundAlone = double(report.initSoundNanoseconds) / 1e6;
    return true;
}

void openWindow(int &argc, char **argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(windowWidth, windowHeight);
    glutCreateWindow("Grazewell");
    glutReshapeFunc(onReshape);
    glutDisplayFunc([] {}); // the benchmark draws its frames itself
}

// The child of startUp: the game's own start, as main makes it, up to its first frame.
int firstFrame(int argc, char **argv) {
    openWindow(argc, argv);
    long long before = nanosecondsNow();
    initWorld();
    glFinish();
    long long initWorldNanoseconds = nanosecondsNow() - before;
    before = nanosecondsNow();
    warmUpDrawing(); // as main does: the first click's cost paid before the first frame
    initSound(false);
    long long initSoundNanoseconds = nanosecondsNow() - before;
    glutMainLoopEvent();
    onDisplay();
    glFinish();
    StartUp report = {nanosecondsNow(), initWorldNanoseconds, initSoundNanoseconds};
    return write(3, &report, sizeof report) == sizeof report ? 0 : 1;
}

bool measureStartUps(const char *self, int rounds, StartUps &startUps) {
    for (int round = 0; round < rounds; round++) {
        double toFirstFrame = 0, initWorldAlone = 0, initSoundAlone = 0;
        if (!startUp(self, toFirstFrame, initWorldAlone, initSoundAlone)) return false;
        startUps.toFirstFrame.push_back(toFirstFrame);
        startUps.initWorld.push_back(initWorldAlone);
        startUps.initSound.push_back(initSoundAlone);
    }
    return true;
}

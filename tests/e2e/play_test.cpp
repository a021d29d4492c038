// The maker of the recorded win in tests/data (scripts/make-recordings.sh; skipped otherwise):
// the real game under its own Xvfb with a fixed seed, recording, played as a person would: pick
// the orange by the first tree where it shows, throw it, find where the bison's head is from what
// the game prints while the orange flies, walk the stopped bison into the line of the throw, and
// feed it ten times.
// Everything is aimed from the known start, never from fixed pixel guesses.
#include "app/app.h"
#include "camera/camera.h"
#include "food/feeding.h"
#include "food/food.h"
#include "food/pick.h"
#include "support/game_process.h"
#include "support/gl_env.h"

#include <GL/freeglut.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The camera the game has once the title drift is over: the start camera, its gaze sunk.
Camera settledCamera() {
    Camera *keep = camera;
    GameState state = gameState;
    camera = new Camera();
    gameState = STATE_TITLE;
    for (int frame = 0; frame < 400; frame++) titleDrift();
    Camera settled = *camera;
    delete camera;
    camera = keep;
    gameState = state;
    return settled;
}

// Where a world point shows in the 1000 x 500 window of the game, y from the top.
void windowPoint(const Camera &view, Vector3 point, double &x, double &y) {
    Camera *keep = camera;
    Camera copy = view;
    camera = &copy;
    setProjection();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    camera->look();
    camera = keep;
    GLdouble model[16], projection[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    GLint viewport[4] = {0, 0, 1000, 500};
    GLdouble wz = 0;
    gluProject(point.x, point.y, point.z, model, projection, viewport, &x, &y, &wz);
    y = 500 - y;
}

// Where the thrown orange is after each of its frames: held before the settled camera, then
// launched along its gaze, exactly as the game flies it.
std::vector<Vector3> throwPath(const Camera &view, int frames) {
    Food orange("orange", -8, 7);
    Vector3 point = {float(double(view.position.x) + double(view.direction.x)),
                     float(double(view.position.y) + double(view.direction.y)),
                     float(double(view.position.z) + double(view.direction.z))};
    orange.state = FOOD_HELD;
    drawFood(point, &orange, 0);
    orange.launch(view.yaw, view.direction.y);
    std::vector<Vector3> path;
    for (int k = 0; k < frames; k++) {
        orange.update();
        path.push_back(orange.position);
    }
    return path;
}

// Solves the 3 x 3 system m v = r by elimination; false when it is singular.
bool solve3(double m[3][3], double r[3], double v[3]) {
    for (int c = 0; c < 3; c++) {
        int pivot = c;
        for (int k = c + 1; k < 3; k++)
            if (std::fabs(m[k][c]) > std::fabs(m[pivot][c])) pivot = k;
        if (std::fabs(m[pivot][c]) < 1e-12) return false;
        std::swap(m[c], m[pivot]);
        std::swap(r[c], r[pivot]);
        for (int k = c + 1; k < 3; k++) {
            double f = m[k][c] / m[c][c];
            for (int j = c; j < 3; j++) m[k][j] -= f * m[c][j];
            r[k] -= f * r[c];
        }
    }
    for (int c = 2; c >= 0; c--) {
        double s = r[c];
        for (int j = c + 1; j < 3; j++) s -= m[c][j] * v[j];
        v[c] = s / m[c][c];
    }
    return true;
}

// The head's centre from its distances to known points of the throw, which all lie in the plane
// x = c: d² - y² - z² = A - 2 hy y - 2 hz z with A = (hx - c)² + hy² + hz², by least squares.
// The plane cannot tell the two sides apart; the head is taken on the side of side (+1 or -1).
bool locateHead(const std::vector<Vector3> &points, const std::vector<double> &distances,
                double side, Vector3 &head) {
    if (points.size() < 4) return false;
    double c = 0;
    for (const Vector3 &p : points) c += p.x;
    c /= double(points.size());
    double m[3][3] = {}, r[3] = {};
    for (size_t k = 0; k < points.size(); k++) {
        double y = points[k].y, z = points[k].z;
        double row[3] = {1, -2 * y, -2 * z};
        double rhs = distances[k] * distances[k] - y * y - z * z;
        for (int i = 0; i < 3; i++) {
            for (int j = 0; j < 3; j++) m[i][j] += row[i] * row[j];
            r[i] += row[i] * rhs;
        }
    }
    double v[3];
    if (!solve3(m, r, v)) return false;
    double across = v[0] - v[1] * v[1] - v[2] * v[2];
    head = {float(c + side * std::sqrt(std::max(0.0, across))), float(v[1]), float(v[2])};
    return true;
}

double wrapAngle(double a) {
    while (a > PI_D) a -= TWO_PI_D;
    while (a < -PI_D) a += TWO_PI_D;
    return a;
}

// The game as the player meets it: keys held until the game shows it has acted, clicks, and the
// console lines it prints.
class Player {
  public:
    explicit Player(GameProcess &game) : game(game) {}

    int count(const std::string &needle) const { return countOf(game.output(), needle); }

    bool waitFor(const std::string &needle, int atLeast, double seconds) const {
        return game.waitForOutput(needle, seconds, atLeast);
    }

    // A left click on the sky in the corner: a selection frame that picks nothing. When its
    // "Stopped picking" is printed, at least one more frame has been drawn.
    bool syncFrame() {
        int before = count("Stopped picking\n");
        game.click(2, 2, 1);
        return waitFor("Stopped picking\n", before + 1, 20);
    }

    // Holds a one-shot key until the game has printed what it does, so that its press and
    // release can never fall between two frames.
    bool pressUntil(const std::string &key, const std::string &needle) {
        int before = count(needle);
        game.pressKey(key);
        bool seen = waitFor(needle, before + 1, 20);
        game.releaseKey(key);
        return seen;
    }

    // Holds a key while at least frames frames are drawn (each proved by a selection frame).
    void holdForFrames(const std::string &key, int frames) {
        game.pressKey(key);
        for (int i = 0; i < frames; i++) syncFrame();
        game.releaseKey(key);
    }

    void holdForSeconds(const std::string &key, double seconds) {
        if (seconds <= 0) return;
        game.pressKey(key);
        sleepSeconds(seconds);
        game.releaseKey(key);
    }

    GameProcess &game;
};

// One throw of the orange from the hand: the distances to the head it printed frame by frame,
// while it kept to its path (up to the first glance off the body), and whether it fed the bison.
struct Throw {
    bool thrown = false;
    bool fed = false;
    std::vector<double> distances;
    double framesPerSecond = 0;
};

Throw throwOrange(Player &player, int readings) {
    Throw result;
    std::string before = player.game.output();
    int checks = countOf(before, "check head collision");
    int feeds = countOf(before, "head collide\n");
    if (!player.pressUntil("space", "THROW!\n")) return result;
    result.thrown = true;
    Clock::time_point first{};
    int firstCount = 0, lastCount = 0;
    double lastAt = 0;
    Clock::time_point start = Clock::now();
    while (secondsSince(start) < 30) {
        std::string out = player.game.output();
        if (countOf(out, "head collide\n") > feeds) {
            result.fed = true;
            break;
        }
        int now = countOf(out, "check head collision") - checks;
        if (now > 0 && firstCount == 0) first = Clock::now(), firstCount = now;
        if (now > lastCount) lastCount = now, lastAt = secondsSince(first);
        if (now >= readings) break;
        sleepSeconds(0.005);
    }
    if (lastCount > firstCount && lastAt > 0)
        result.framesPerSecond = (lastCount - firstCount) / lastAt;
    // The lines of this throw, up to the first glance off the body (that frame's distance was
    // still taken on the path).
    std::string out = player.game.output();
    size_t at = out.rfind("THROW!\n");
    std::istringstream lines(out.substr(at + 7));
    std::string line;
    while (std::getline(lines, line)) {
        size_t found = line.find("check head collision cr: ");
        if (found != std::string::npos) {
            double cr = 0, dist = 0;
            if (sscanf(line.c_str() + found, "check head collision cr: %lf, dist: %lf", &cr,
                       &dist) == 2)
                result.distances.push_back(dist);
        }
        if (line.find("BODY COLLIDE") != std::string::npos || line.find("GETIT!") == 0) break;
    }
    return result;
}

// Where a maker keeps what it recorded: the folder GRAZEWELL_RECORDINGS names, or nowhere (the
// maker is skipped).
std::string recordingsFolder() {
    const char *folder = getenv("GRAZEWELL_RECORDINGS");
    return folder ? folder : "";
}

// The game started to be recorded with a fixed seed at dir/name, played from the title to the
// moment the stopped bison's head stands in the line of the orange's throw (the orange fed once).
struct RecordedPlay {
    std::string dir, file;
    GameProcess game;
    Player player;
    Camera view;
    RecordedPlay(const std::string &dir, const std::string &name, std::vector<std::string> more)
        : dir(dir), file(dir + "/" + name), game(dir, {}, start(dir + "/" + name, more)),
          player(game) {}
    static GameStart start(const std::string &file, std::vector<std::string> more) {
        GameStart start;
        start.arguments = {"--seed", "1", "--record", file};
        start.arguments.insert(start.arguments.end(), more.begin(), more.end());
        return start;
    }
};

double framesPerSecond = 30;

void reachTheHead(RecordedPlay &play) {
    GameProcess &game = play.game;
    Player &player = play.player;
    // Stop the bison at once, before it wanders off.
    game.pressKey("m");
    ASSERT_TRUE(player.syncFrame());
    game.releaseKey("m");

    // Let the title drift run its course (181 frames, each proved by a selection frame).
    while (player.count("Stopped picking\n") < 190) ASSERT_TRUE(player.syncFrame());

    game.pressKey("1"); // start playing: '1' acts in the frame the sync proves
    ASSERT_TRUE(player.syncFrame());
    game.releaseKey("1");
    const Camera view = settledCamera();
    play.view = view;
    ASSERT_NEAR(view.direction.y, 0.19f, 1e-3);

    // Click the orange of the first tree where it shows.
    double x = 0, y = 0;
    windowPoint(view, foods[0]->home, x, y);
    bool picked = false;
    for (int attempt = 0; attempt < 5 && !picked; attempt++) {
        int stops = player.count("Stopped picking\n");
        game.click(int(std::lround(x)), int(std::lround(y)), 1);
        ASSERT_TRUE(player.waitFor("Stopped picking\n", stops + 1, 20));
        picked = player.count("You picked food  0 ") > 0;
        // Standing where it started, the bison hides the orange: walk it on (about +x).
        if (!picked) player.holdForFrames("slash", 5);
    }
    ASSERT_TRUE(picked) << game.output();
    ASSERT_TRUE(player.syncFrame()); // drawn in the hand before it is thrown

    // Find the head, then walk the bison until its head stands in the line of the throw.
    std::vector<Vector3> path = throwPath(view, 200);
    Vector3 target = {-7.7f, 1.81f, 1.0f};
    double heading = 0; // about where it started
    auto measure = [&](Vector3 &head) {
        int feeds = player.count("head collide\n");
        Throw shot = throwOrange(player, 24);
        EXPECT_TRUE(shot.thrown);
        if (shot.framesPerSecond > 1) framesPerSecond = shot.framesPerSecond;
        if (shot.fed) return 1;
        EXPECT_TRUE(player.pressUntil("r", "GETIT!\n"));
        if (player.count("head collide\n") > feeds) return 1; // fed after all: hit late
        size_t n = std::min(shot.distances.size(), path.size());
        std::vector<Vector3> points(path.begin(), path.begin() + long(n));
        std::vector<double> distances(shot.distances.begin(), shot.distances.begin() + long(n));
        double side = head.x >= path[0].x ? 1 : -1;
        bool ok = locateHead(points, distances, side, head);
        printf("head at %.2f %.2f %.2f from %zu distances\n", head.x, head.y, head.z, n);
        return ok ? 0 : -1;
    };
    // Measured: 1 fed, 0 head located, -1 too few distances (a glance off the body at
    // once); the estimate then stays as it was.
    Vector3 head = {-4.72f, 1.81f, 0.0f};
    int found = measure(head);
    for (int round = 0; round < 12 && found != 1; round++) {
        double vx = double(target.x) - head.x, vz = double(target.z) - head.z;
        double wanted = 1.56 - std::atan2(vx, -vz);
        double turn = wrapAngle(wanted - heading);
        player.holdForSeconds(turn > 0 ? "comma" : "period",
                              std::fabs(turn) / 0.01 / framesPerSecond);
        heading = wrapAngle(heading + turn);
        Vector3 turned = head;
        int seenTurned = found = measure(turned);
        if (found == 1) break;
        double distance = std::sqrt(vx * vx + vz * vz);
        double steps = std::max(3.0, 0.75 * distance / 0.1);
        player.holdForSeconds("slash", steps / framesPerSecond);
        Vector3 stepped = turned;
        found = measure(stepped);
        // The step shows which way the bison really faces.
        double dx = double(stepped.x) - turned.x, dz = double(stepped.z) - turned.z;
        if (seenTurned == 0 && found == 0 && std::sqrt(dx * dx + dz * dz) > 0.3)
            heading = wrapAngle(1.56 - std::atan2(dx, -dz));
        head = stepped;
    }
    ASSERT_EQ(found, 1) << "the bison's head was never reached; last seen at " << head.x << ", "
                        << head.y << ", " << head.z;
}

// Turns around ('q') to read the last screen against the open meadow, lets a second of it be
// recorded, ends the game and keeps the recording.
void endAndKeep(RecordedPlay &play, const std::string &name) {
    play.game.pressKey("q");
    ASSERT_TRUE(play.player.syncFrame());
    play.game.releaseKey("q");
    sleepSeconds(1.0);
    ASSERT_EQ(play.game.quit(), 0);
    ASSERT_TRUE(fileExists(play.file));
    Bytes recorded = readBytes(play.file);
    ASSERT_TRUE(writeBytes(recordingsFolder() + "/" + name, recorded));
    printf("kept %s/%s (%zu bytes)\n", recordingsFolder().c_str(), name.c_str(), recorded.size());
}

// Makes tests/data/win.gzd (scripts/make-recordings.sh): the game played to a win as a person
// would, the stopped bison fed ten oranges.
TEST(MakeRecording, Win) {
    if (recordingsFolder().empty()) GTEST_SKIP() << "GRAZEWELL_RECORDINGS names no folder";
    startWorld(); // this process's own GL, for projecting
    std::string dir = makeTempDir("make-win");
    installTextures(dir);
    {
        RecordedPlay play(dir, "win.gzd", {});
        reachTheHead(play);
        if (HasFatalFailure()) return;
        Player &player = play.player;
        // Feed it: recall the orange from home with 'r' after each hit, throw again.
        for (int attempt = 0; player.count("head collide\n") < 10 && attempt < 20; attempt++) {
            ASSERT_TRUE(player.pressUntil("r", "GETIT!\n"));
            ASSERT_TRUE(throwOrange(player, 80).thrown);
        }
        ASSERT_EQ(player.count("head collide\n"), 10);
        endAndKeep(play, "win.gzd");
    }
    removeTree(dir);
}

} // namespace

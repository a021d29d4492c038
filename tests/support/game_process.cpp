#include "support/game_process.h"

#include "build_paths.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

const char *builtGame() {
    return GRAZEWELL_BINARY;
}

void sleepSeconds(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

std::vector<std::string> frameCounterEnvironment(const std::string &file) {
    return {"LD_PRELOAD=" GRAZEWELL_FRAME_COUNTER, "GRAZEWELL_FRAME_FILE=" + file,
            "ASAN_OPTIONS=verify_asan_link_order=0"};
}

long residentKilobytes(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0) return atol(line.c_str() + 6);
    return -1;
}

FrameCount readFrameCount(const std::string &file) {
    std::ifstream in(file);
    FrameCount count;
    in >> count.frames >> count.immediateBegins;
    return count;
}

bool waitForFrameCount(const std::string &file, long frames, double seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (readFrameCount(file).frames < frames) {
        if (std::chrono::steady_clock::now() > end) return false;
        sleepSeconds(0.02);
    }
    return true;
}

void installTextures(const std::string &dir) {
    std::string command = "cp -r '" GRAZEWELL_BUILD_DIR "/tex' '" + dir + "/tex'";
    if (system(command.c_str()) != 0) throw std::runtime_error("cannot copy textures");
}

GameProcess::GameProcess(const std::string &dir, const std::vector<std::string> &extra,
                         const GameStart &how)
    : workDir(dir), environment(extra), start(how) {
    // A constructor that throws runs no destructor: what it started is stopped here.
    try {
        if (start.display.empty())
            startXvfb();
        else
            display = start.display;
        if (start.windowManager) startWindowManager();
        startGame();
        if (start.waitForWindow) findWindow();
    } catch (...) {
        stop();
        throw;
    }
}

GameProcess::~GameProcess() {
    stop();
}

void GameProcess::stop() {
    if (running()) {
        kill(game, SIGKILL);
        waitpid(game, nullptr, 0);
    }
    if (windowManager > 0) {
        kill(windowManager, SIGTERM);
        waitpid(windowManager, nullptr, 0);
    }
    endDisplay();
    // What the game said on standard error (a sanitizer's report among it) stays in the log.
    std::string said = errors();
    if (!said.empty()) fprintf(stderr, "[game's standard error]\n%s", said.c_str());
}

// Xvfb picks a free display itself and tells us its number, so tests may run side by side. Key
// auto-repeat is off unless asked for: a key held by pressKey is one press however slowly its
// release comes.
void GameProcess::startXvfb() {
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
    xvfb = fork();
    if (xvfb == 0) {
        close(fds[0]);
        int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, 1);
        dup2(devnull, 2);
        std::string fd = std::to_string(fds[1]);
        // No auto-repeat: a key held by pressKey is one press, however long it is held, as
        // one-shot bindings are re-armed by every repeated key-down.
        std::string delay = std::to_string(start.autoRepeatDelay);
        if (start.autoRepeat)
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24",
                   "-nolisten", "tcp", "-noreset", "-ardelay", delay.c_str(), "-arinterval", "30",
                   static_cast<char *>(nullptr));
        else
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24",
                   "-nolisten", "tcp", "-noreset", "-r", static_cast<char *>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    char number[32] = {0};
    size_t got = 0;
    while (got < sizeof number - 1) {
        ssize_t n = read(fds[0], number + got, sizeof number - 1 - got);
        if (n <= 0) break;
        got += size_t(n);
        if (memchr(number, '\n', got)) break;
    }
    close(fds[0]);
    if (got == 0) throw std::runtime_error("Xvfb did not start");
    display = ":" + std::string(number, strcspn(number, "\n"));
}

// openbox on the test's display; it tells that it manages the screen by running its start-up
// command, which leaves a file behind.
void GameProcess::startWindowManager() {
    std::string ready = workDir + "/window-manager-ready";
    // Left by an earlier game in the same folder, it would say ready before openbox is.
    unlink(ready.c_str());
    windowManager = fork();
    if (windowManager == 0) {
        int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, 1);
        dup2(devnull, 2);
        setenv("DISPLAY", display.c_str(), 1);
        std::string command = "touch '" + ready + "'";
        execlp("openbox", "openbox", "--startup", command.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    for (int attempt = 0; attempt < 300; attempt++) {
        if (access(ready.c_str(), F_OK) == 0) return;
        if (waitpid(windowManager, nullptr, WNOHANG) == windowManager) break;
        sleepSeconds(0.1);
    }
    throw std::runtime_error("openbox did not start");
}

void GameProcess::startGame() {
    game = fork();
    if (game == 0) {
        int out = open((workDir + "/stdout.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open((workDir + "/stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (chdir((start.folder.empty() ? workDir : start.folder).c_str()) != 0) _exit(126);
        dup2(out, 1);
        dup2(err, 2);
        setenv("DISPLAY", display.c_str(), 1);
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
        if (start.findPictures)
            unsetenv("GRAZEWELL_DATA");
        else
            setenv("GRAZEWELL_DATA", workDir.c_str(), 1);
        // OpenAL's silent device, unless a test names another: a test neither plays through the
        // machine's speakers nor depends on whether it has any.
        if (start.launcher.empty()) setenv("ALSOFT_DRIVERS", "null", 1);
        // The games it keeps and its record of games stay in the test's folder, never the
        // machine's own.
        setenv("XDG_STATE_HOME", (workDir + "/state").c_str(), 1);
        // The game's settings are its work folder's: a test neither reads the machine's nor leaves
        // its own there.
        setenv("XDG_CONFIG_HOME", (workDir + "/config").c_str(), 1);
        for (const std::string &entry : environment) putenv(const_cast<char *>(entry.c_str()));
        std::vector<char *> argv = {const_cast<char *>("grazewell")};
        if (!start.launcher.empty())
            argv = {const_cast<char *>(start.launcher.c_str()),
                    const_cast<char *>(start.binary.c_str())};
        for (const std::string &argument : start.arguments)
            argv.push_back(const_cast<char *>(argument.c_str()));
        argv.push_back(nullptr);
        execv(start.launcher.empty() ? start.binary.c_str() : start.launcher.c_str(), argv.data());
        _exit(127);
    }
}

int GameProcess::run(const std::string &command) {
    // Bounded: an xdotool --sync that never sees its event would otherwise hang the test run.
    std::string line = "DISPLAY=" + display + " timeout 30 " + command;
    int status = system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int GameProcess::xdotool(const std::string &args) {
    return run("xdotool " + args);
}

GameProcess::Place GameProcess::windowPlace() {
    std::string file = workDir + "/place.txt";
    Place place;
    if (run("xwininfo -id " + windowId + " > '" + file + "' 2>/dev/null") != 0) return place;
    std::ifstream in(file);
    std::string line;
    auto field = [&](const char *name, int &value) {
        size_t at = line.find(name);
        if (at != std::string::npos) value = atoi(line.c_str() + at + strlen(name));
    };
    while (std::getline(in, line)) {
        field("Absolute upper-left X:", place.x);
        field("Absolute upper-left Y:", place.y);
        field("Width:", place.width);
        field("Height:", place.height);
    }
    return place;
}

// The game windows of shared displays already taken by a GameProcess ("display window"): a
// window does not say which process made it, so each game on a shared display takes one that no
// other has taken.
static std::mutex takenLock;
static std::set<std::string> takenWindows;

void GameProcess::findWindow() {
    std::string file = workDir + "/window.txt";
    for (int attempt = 0; attempt < 300; attempt++) {
        if (!running()) throw std::runtime_error("the game exited at start: " + output());
        if (xdotool("search --onlyvisible --name '^Grazewell$' > '" + file + "' 2>/dev/null") ==
            0) {
            std::ifstream in(file);
            std::string window;
            std::lock_guard<std::mutex> lock(takenLock);
            while (std::getline(in, window) && windowId.empty())
                if (takenWindows.insert(display + " " + window).second || start.display.empty())
                    windowId = window;
            if (!windowId.empty()) {
                // With no window manager the window opens at (-1, -1), a pixel off screen.
                xdotool("windowmove --sync " + windowId + " 0 0");
                xdotool("windowfocus --sync " + windowId);
                return;
            }
        }
        sleepSeconds(0.1);
    }
    throw std::runtime_error("no game window");
}

void GameProcess::endDisplay() {
    if (xvfb <= 0) return;
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);
    xvfb = -1;
    // Its number and window names may come again with another Xvfb.
    std::lock_guard<std::mutex> lock(takenLock);
    for (auto taken = takenWindows.begin(); taken != takenWindows.end();)
        taken = taken->rfind(display + " ", 0) == 0 ? takenWindows.erase(taken) : ++taken;
}

void GameProcess::focus() {
    xdotool("windowfocus --sync " + windowId);
}

bool GameProcess::running() {
    if (game <= 0) return false;
    if (exitStatus != -1) return false;
    int status = 0;
    pid_t done = waitpid(game, &status, WNOHANG);
    if (done == game) {
        exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return false;
    }
    return true;
}

bool GameProcess::waitForExit(double seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (running()) {
        if (std::chrono::steady_clock::now() > end) return false;
        sleepSeconds(0.05);
    }
    return true;
}

std::string GameProcess::output() const {
    std::ifstream in(workDir + "/stdout.txt", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string GameProcess::errors() const {
    std::ifstream in(workDir + "/stderr.txt", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool GameProcess::waitForOutput(const std::string &needle, double seconds, int count) const {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (countOf(output(), needle) >= count) return true;
        sleepSeconds(0.05);
    }
    return countOf(output(), needle) >= count;
}

// Keys are looked at once a frame: a tap is held long enough for a frame to see it.
void GameProcess::tapKey(const std::string &key) {
    pressKey(key);
    sleepSeconds(0.08);
    releaseKey(key);
}
void GameProcess::pressKey(const std::string &key) {
    xdotool("keydown " + key);
}
void GameProcess::releaseKey(const std::string &key) {
    xdotool("keyup " + key);
}

bool GameProcess::holdKeyUntil(const std::string &key, const std::string &needle, double seconds) {
    pressKey(key);
    bool seen = waitForOutput(needle, seconds);
    releaseKey(key);
    return seen;
}

void GameProcess::click(int x, int y, int button) {
    xdotool("mousemove --window " + windowId + " " + std::to_string(x) + " " + std::to_string(y) +
            " click " + std::to_string(button));
}

static unsigned long bigEndian32(const unsigned char *p) {
    return (unsigned long)p[0] << 24 | (unsigned long)p[1] << 16 | (unsigned long)p[2] << 8 | p[3];
}

static int shiftOf(unsigned long mask) {
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        shift++;
    }
    return shift;
}

// Reads an XWD dump of a TrueColor window (what xwd writes for Xvfb's 24-bit screen).
static Screenshot parseXwd(const std::vector<unsigned char> &data) {
    if (data.size() < 100) throw std::runtime_error("short xwd file");
    auto field = [&](int index) { return bigEndian32(&data[size_t(index) * 4]); };
    unsigned long headerSize = field(0), width = field(4), height = field(5);
    unsigned long byteOrder = field(7), bitsPerPixel = field(11), bytesPerLine = field(12);
    unsigned long redMask = field(14), greenMask = field(15), blueMask = field(16);
    unsigned long colours = field(19);
    size_t start = headerSize + colours * 12;
    if (bitsPerPixel != 32 || data.size() < start + bytesPerLine * height)
        throw std::runtime_error("unexpected xwd layout");
    Screenshot shot;
    shot.width = int(width);
    shot.height = int(height);
    shot.rgb.resize(width * height * 3);
    for (unsigned long y = 0; y < height; y++) {
        for (unsigned long x = 0; x < width; x++) {
            const unsigned char *p = &data[start + y * bytesPerLine + x * 4];
            unsigned long pixel = byteOrder == 0 ? (unsigned long)p[0] | p[1] << 8 | p[2] << 16 |
                                                       (unsigned long)p[3] << 24
                                                 : bigEndian32(p);
            unsigned char *out = &shot.rgb[(y * width + x) * 3];
            out[0] = (unsigned char)((pixel & redMask) >> shiftOf(redMask));
            out[1] = (unsigned char)((pixel & greenMask) >> shiftOf(greenMask));
            out[2] = (unsigned char)((pixel & blueMask) >> shiftOf(blueMask));
        }
    }
    return shot;
}

Screenshot GameProcess::screenshot() {
    std::string file = workDir + "/shot.xwd";
    if (run("xwd -silent -id " + windowId + " -out '" + file + "'") != 0)
        throw std::runtime_error("xwd failed");
    std::ifstream in(file, std::ios::binary);
    std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    return parseXwd(data);
}

int GameProcess::quit(double seconds) {
    // Escape acts while it is down in a frame: a tap whose release arrives before the next frame
    // is lost on a busy machine, so it is held until the game has gone.
    pressKey("Escape");
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (running() && std::chrono::steady_clock::now() < end) sleepSeconds(0.05);
    releaseKey("Escape");
    if (running()) return -1;
    return exitStatus;
}

Screenshot GameProcess::stillScreen(double seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    Screenshot last = screenshot();
    while (std::chrono::steady_clock::now() < end) {
        sleepSeconds(0.5);
        Screenshot now = screenshot();
        if (now.rgb == last.rgb) return now;
        last = now;
    }
    return Screenshot();
}

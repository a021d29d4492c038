// End-to-end support: the real game binary on a private Xvfb display, played with xdotool and
// watched through its standard output, its files and screenshots taken from the X server.
#pragma once

#include "support/files.h"

#include <string>
#include <sys/types.h>
#include <vector>

// A screenshot of the window, RGB bytes from the top-left pixel on.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    const unsigned char *at(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};

// Copies the generated textures of the build into dir/tex.
void installTextures(const std::string &dir);

// The game this build made.
const char *builtGame();

// How the game is started. By default the build's game in workDir with no arguments, its data
// folder workDir itself (GRAZEWELL_DATA), so that it has pictures only where a test put them.
struct GameStart {
    std::string binary = builtGame();
    std::string folder; // the game's working folder; workDir when empty
    std::vector<std::string> arguments;
    std::string launcher;       // a program that runs the game's binary (Wine for a Windows build)
    bool findPictures = false;  // no GRAZEWELL_DATA: it looks for pictures as a player's game does
    bool windowManager = false; // openbox manages the display's windows (minimise, focus)
    // The display of a game already running (GameProcess::displayName) to open on, instead of an
    // Xvfb of its own. A window there does not say which game made it: each GameProcess takes a
    // game window there that no other has taken, which may be another's of those it started.
    std::string display;
    // The Xvfb of its own repeats a key held down, after its delay of autoRepeatDelay ms, every
    // 30 ms; without it a key held is one press however long it is held.
    bool autoRepeat = false;
    int autoRepeatDelay = 250;
    // The window is waited for before the game is handed to the test: false for a game that may
    // end before it could be found.
    bool waitForWindow = true;
};

class GameProcess {
  public:
    // Starts Xvfb and the game; its standard output goes to workDir/stdout.txt, its standard
    // error to workDir/stderr.txt (and to the test's own when the game ends). Its settings are
    // kept in workDir/config/grazewell/settings.toml (XDG_CONFIG_HOME) unless environment says.
    // environment adds NAME=VALUE entries to the game's environment (for test tools). A Linux
    // game plays its sound into OpenAL's silent device unless ALSOFT_DRIVERS is among them, and
    // keeps its games in workDir/state unless XDG_STATE_HOME is.
    explicit GameProcess(const std::string &workDir,
                         const std::vector<std::string> &environment = {},
                         const GameStart &start = GameStart());
    ~GameProcess();

    bool running(); // the game has not exited
    // Waits until the game exits by itself (quit() then gives its status); false on timeout.
    bool waitForExit(double seconds);
    pid_t pid() const { return game; }
    // The X display the game is on (":12").
    std::string displayName() const { return display; }
    // Ends the game's own Xvfb under it and every game on it, as a logout does.
    void endDisplay();
    // Gives the game's window the keyboard.
    void focus();
    std::string window() const { return windowId; }
    std::string output() const; // standard output so far
    std::string errors() const; // standard error so far
    // Waits until standard output holds needle count times; false on timeout.
    bool waitForOutput(const std::string &needle, double seconds, int count = 1) const;

    void tapKey(const std::string &key);   // a short press: "w", "space", "Escape", "1", ...
    void pressKey(const std::string &key); // key down, held until releaseKey
    void releaseKey(const std::string &key);
    // Holds key down until standard output holds needle (a tap can fall between two frames and
    // never be seen); false on timeout.
    bool holdKeyUntil(const std::string &key, const std::string &needle, double seconds);
    void click(int x, int y, int button); // window pixel coordinates, y from the top
    Screenshot screenshot();
    // Screenshots until two in a row, half a second apart, are alike: the last, or an empty one
    // when the window did not stand still within seconds.
    Screenshot stillScreen(double seconds);
    // Runs an xdotool command against the game's display; returns its exit status.
    int xdotool(const std::string &args);
    // Where the game's window shows on the screen, as xwininfo tells it: its drawing's top-left
    // corner (pixels from the screen's) and its size; all -1 when it cannot be told.
    struct Place {
        int x = -1, y = -1, width = -1, height = -1;
    };
    Place windowPlace();

    // Holds Escape until the game exits; returns the exit status, or -1 when it did not exit.
    int quit(double seconds = 20);

  private:
    std::string workDir;
    std::vector<std::string> environment;
    GameStart start;
    std::string display;
    std::string windowId;
    pid_t xvfb = -1;
    pid_t windowManager = -1;
    pid_t game = -1;
    int exitStatus = -1;
    // Ends the game, the window manager and Xvfb, each if running; says what the game said on
    // standard error.
    void stop();
    void startXvfb();
    void startWindowManager();
    void startGame();
    void findWindow();
    int run(const std::string &command);
};

// Resident memory of a process in kB (VmRSS), -1 when it cannot be read.
long residentKilobytes(pid_t pid);

// What the frame counter (tools/frame_counter, preloaded with GRAZEWELL_FRAME_FILE) last wrote:
// frames swapped, and immediate-mode primitives begun after the first of them.
struct FrameCount {
    long frames = 0;
    long immediateBegins = 0;
};
FrameCount readFrameCount(const std::string &file);
// Waits until the frame counter's file shows at least frames frames; false when seconds pass
// first. The counter writes every FRAME_COUNT_STEP frames.
bool waitForFrameCount(const std::string &file, long frames, double seconds);
const long FRAME_COUNT_STEP = 100;
// The environment that preloads the frame counter into a game and has it write to file. The
// counter is preloaded ahead of the sanitizers' runtime, which they must be told to accept.
std::vector<std::string> frameCounterEnvironment(const std::string &file);

// Seconds as a sleep.
void sleepSeconds(double seconds);

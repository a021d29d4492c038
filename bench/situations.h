// The situations of the game the benchmark measures, each with its set-up, its frame and the
// check that every frame was what its name says.
#pragma once

#include <functional>
#include <string>
#include <vector>

// A window's size, in pixels.
struct WindowSize {
    int width, height;
};

// The game's window size.
const WindowSize GAME_SIZE = {1000, 500};
// The window maximised on a 1920 x 1080 screen.
const WindowSize WIDE_SIZE = {1920, 1080};

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
    // Set for a situation played whole in a child of its own rather than frame by frame for the
    // seconds given (the timedemo): adds one round's figures to the situation, or says what went
    // wrong.
    std::function<std::string(Situation &)> wholeRun = {};
    std::vector<double> lowFps = {}; // a whole run's 1 % low, each round
    int wholeFrames = 0;             // a whole run's frames
    // A whole run's slowest frame and costliest in CPU, each round, in words.
    std::vector<std::string> slowFrames = {};
};

// Every situation, in the table's order. The recording one writes its captures in folder and
// comes back to home afterwards.
std::vector<Situation> situations(const char *folder, const std::string &home);

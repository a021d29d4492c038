// The game's window, and the time the game takes to start: measured in a child process started
// afresh each round, as a player starts the game.
#pragma once

#include <vector>

// Milliseconds of each round's start-up.
struct StartUps {
    std::vector<double> toFirstFrame; // from exec to the first frame swapped and finished
    std::vector<double> initWorld;    // of initWorld alone
    std::vector<double> warmUp;       // of the selection warm-up before the first frame (0: none)
    std::vector<double> initSound;    // of initSound alone: making the sounds, opening the device
    // The slowest of the TITLE_FRAMES frames after the first, each with whatever the game does
    // after it (a step of the selection warm-up, now)
    std::vector<double> slowestTitleFrame;
};

// The title's frames after the first that the start-up child times.
const int TITLE_FRAMES = 12;

// Opens the game's window as the game does; the benchmark draws its frames itself.
void openWindow(int &argc, char **argv);
// The child's side (--first-frame): the game's own start up to its first frame, reported to the
// parent on file descriptor 3; the exit status.
int firstFrame(int argc, char **argv);
// Starts self --first-frame once per round and adds its figures to startUps; false when a child
// failed.
bool measureStartUps(const char *self, int rounds, StartUps &startUps);

// The timedemo's figures: each frame of a recording played as fast as it draws, timed, and what
// is printed when it ends.
#pragma once

#include <string>
#include <vector>

// What a timedemo prints when it ends, from each frame's length in seconds: the frames, the
// seconds, the average frames a second, the 1 % low (the rate of the slowest 1 % of the frames,
// at least one) and the slowest frame with its number (from 0).
std::string timedemoFigures(const std::vector<double> &frameSeconds);

// Starts timingFrames the frames; the figures are printed when the game is left, however it ends.
void startTimedemo();
// A frame has been shown: its length, from the end of the one before (the first from its own
// start, not from the start-up before it).
void timeFrameStart();
void timeFrameShown();
// Prints the figures once, if a timedemo is timed (the game's leaving does).
void printTimedemoFigures();
// A timedemo is being timed.
extern bool timingFrames;

// Shared test support: one freeglut window per test process, and helpers on top of it.
#pragma once

#include <array>

// The world of initWorld, made once per process (each CTest test runs in its own process).
void startWorld();
// The world back as initWorld made it, with the game's own state as a fresh process has it: what
// every test starts from, for a test that plays two games.
void freshWorld();
// Lets freeglut handle pending window events.
void pumpEvents();
// The RGB bytes of one pixel of the current read buffer.
std::array<unsigned char, 3> readPixel(int x, int y);
// Buffer swaps that reached the window system since the process started; -1 where they cannot be
// counted (Windows).
long swapsMade();

// Shared test support: one freeglut window per test process, and helpers on top of it.
#pragma once

#include <array>
#include <cstdint>

// The world of initWorld, made once per process (each CTest test runs in its own process).
void startWorld();
// The world and every room's state back to how the game starts them, as before every test.
void freshWorld();
// The world's checksum as initWorld made it, in this process.
uint32_t startedWorldChecksum();
// Lets freeglut handle pending window events.
void pumpEvents();
// The RGB bytes of one pixel of the current read buffer.
std::array<unsigned char, 3> readPixel(int x, int y);
// Buffer swaps that reached the window system since the process started; -1 where they cannot be
// counted (Windows).
long swapsMade();

// Frame capture: what the window shows, written to numbered binary PPM files.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// Set by the `0` key: every tick is captured, a picture a tick into ppm/ as the window shows the
// game, until `0` again. It captures pictures only: the game's own recording, the ticks replayed
// by --replay, is the demo room's.
extern bool recording;
// The window really drawn, as the window system last gave its size (pixels; 0 before it has): a
// capture never reads beyond it, whatever size the game was given.
extern int drawableWidth, drawableHeight;
// The number in the next capture's file name; a capture moves it on past names already taken.
extern int captureIndex;
// Captures asked for in this frame, taken at its end ('9' asks once a frame while held).
extern int captureRequests;

// Folder the captures go to, relative to the working directory (beside tex).
const char *const CAPTURE_FOLDER = "ppm";
// File name of a capture, formatted with captureIndex.
const char *const CAPTURE_NAME_FORMAT = "ppm/img%03d.ppm";

// Console line when a capture could not be written whole (a full disk); the file is removed.
const char *const CAPTURE_WRITE_FAILED = "Unable to write file '%s'\n";

// Reads the whole picture of width x height pixels into pixels as R G B triples, rows tightly
// packed, the bottom row first (as the GL stores a frame).
typedef void (*FrameReader)(int width, int height, unsigned char *pixels);

// The file name of capture number index: "ppm/img007.ppm", "ppm/img1234.ppm".
std::string captureFileName(int index);
// The P6 header: "P6 W H 255" and the byte 13.
std::string ppmHeader(int width, int height);
// Turns a picture of height rows of rowBytes bytes upside down in place: the bottom row first
// becomes the top row first, as a P6 file holds it.
void flipRows(unsigned char *pixels, size_t rowBytes, int height);
// Writes a P6 file of width x height pixels fetched by readFrame in one piece, rows from the top
// of the picture down, with one write, into a file beside path (path + ".new") renamed over path
// once whole; prints "Saving image `path`" once the file is open. 0 when written, 1 when the file
// cannot be opened, the frame buffer cannot be had (nothing is read then) or a write fails (the
// partial file is then removed).
int writePPM(const char *path, int width, int height, FrameReader readFrame);
// The whole current read buffer of the GL, tightly packed, bottom row first.
void readFrame(int width, int height, unsigned char *pixels);

// Finds capture number *index, or, when anything has that name, the first free number after it,
// leaving *index and *name there, and opens the file beside it (its name + ".new") that the
// capture is written into before it is renamed. Null when that cannot be made (a missing or
// unwritable folder).
FILE *createNewCapture(int *index, std::string *name);

// Writes the back buffer (the frame drawn, not yet swapped) to ppm/img%03d.ppm at captureIndex
// or the first free number after it, moving captureIndex there, and makes the folder when it is
// missing; written aside and renamed once whole, never over a file. 0 when written, 1 when not.
// The caller advances captureIndex past it either way.
int captureFrame();
// Asks for one capture of the frame being drawn.
void requestCapture();
// At the end of a frame, before its swap: one capture for each request, and one more while
// capturing every frame, each advancing captureIndex.
void takeCaptures();
// At the end of a frame that shows nothing (a selection frame): its requests are dropped, and a
// run of captures goes on with the next frame.
void dropCaptures();
// Not recording, nothing asked, numbering from img000, as the game starts: for a test that starts
// from a fresh game.
void resetCapture();

// Frame capture: what the window shows, written to numbered binary PPM files.
#pragma once

#include <cstddef>
#include <string>

// Capture every frame at the end of the frame while set ('0').
extern bool recording;
// The number in the next capture's file name.
extern int captureIndex;

// Folder the captures go to, relative to the working directory (beside tex).
const char *const CAPTURE_FOLDER = "ppm";
// File name of a capture, formatted with captureIndex.
const char *const CAPTURE_NAME_FORMAT = "ppm/img%03d.ppm";

// Console line when a capture could not be written whole (a full disk); the file is removed.
const char *const CAPTURE_WRITE_FAILED = "Unable to write file '%s'\n";

// Reads one row of pixels, row 0 the bottom of the window, as width R G B triples.
typedef void (*RowReader)(int y, int width, unsigned char *row);

// The file name of capture number index: "ppm/img007.ppm", "ppm/img1234.ppm".
std::string captureFileName(int index);
// The P6 header: "P6 W H 255" and the byte 13.
std::string ppmHeader(int width, int height);
// Writes a P6 file of width x height pixels, rows from the top of the picture down, each row
// fetched by readRow; prints "Saving image `path`" once the file is open. 0 when written, 1 when
// the file cannot be opened, the row buffer cannot be had or a write fails (the partial file is
// then removed).
int writePPM(const char *path, int width, int height, RowReader readRow);
// One row of the current read buffer, tightly packed.
void readFrameRow(int y, int width, unsigned char *row);

// Writes the front buffer to ppm/img%03d.ppm (captureIndex), making the folder when it is
// missing; 0 when written, 1 when not. The callers advance captureIndex either way.
int captureFrame();

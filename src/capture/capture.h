// Frame capture: what the window shows, written to numbered binary PPM files.
#pragma once

// Capture every frame at the end of the frame while set ('0').
extern bool recording;
// The number in the next capture's file name.
extern int captureIndex;

// Writes the front buffer to ppm/img%03d.ppm (captureIndex); 0 when written, 1 when not.
int captureFrame();

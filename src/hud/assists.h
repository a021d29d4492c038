// Aids drawn over the view for a player who asks for them: a crosshair at the view's centre, where
// the pick_at_centre key clicks, and a marker at the view's edge pointing to the bison while it is
// out of view. Drawn over the finished frame with the screen's words, after any capture and never
// in a selection pass, so neither changes a capture or what a click picks. The marker's place is
// arithmetic tests can call; the drawing is a thin layer beside it.
#pragma once

#include "hud/layout.h"
#include "types.h"

#include <vector>

// The crosshair is shown (the settings' crosshair, --crosshair).
extern bool crosshairShown;
// The marker is shown while the bison is out of view (the settings' bison_marker,
// --bison-marker).
extern bool bisonMarkerShown;

// Neither shown: as the game starts them.
void resetAssists();

// The crosshair's arms reach this far from its centre, and its bars are this thick (pixels); a
// dark pixel's edge sets it off from the sky and the grass.
const int CROSSHAIR_ARM = 8;
const int CROSSHAIR_BAR = 2;
// The marker stands this far in from the view's edge at the farthest, and INSET more for a bison
// at MARKER_NEAR or nearer, in step between (pixels; world units).
const int MARKER_MARGIN = 14;
const int MARKER_INSET = 60;
const double MARKER_NEAR = 10.0;
const double MARKER_FAR = 150.0;
// The marker's arrowhead: its length along where it points and its width (pixels).
const float MARKER_LENGTH = 18.0f;
const float MARKER_WIDTH = 14.0f;

// The view's centre in a window of width x height: the pixel a click there is made at, from the
// top-left corner (x right, y down).
void viewCentre(int width, int height, int *x, int *y);

// Where the marker stands: shown only while the bison is out of view.
struct MarkerPlace {
    bool shown = false;
    float x = 0.0f, y = 0.0f; // its point, in pixels from the window's top-left corner (y down)
    float angle = 0.0f;       // where it points, in radians from the right, turning down (y down)
};
// The marker for a bison at target seen from eye along gaze (the camera's direction: the
// view's lens, up world up) in a window of width x height: nothing while target is in view,
// else on the ray from the view's centre toward where it is (a bison behind leans toward the
// bottom, straight behind at the bottom's middle), in from the edge by MARKER_MARGIN and by more
// the nearer it is, and drawn in along the ray far enough to keep clear of the boxes in clear
// (the screen's blocks of words: the captions at the bottom, say).
MarkerPlace bisonMarkerPlace(Vector3 eye, Vector3 gaze, Vector3 target, int width, int height,
                             const std::vector<Box> &clear = {});

// Draws the crosshair and the marker asked for over the frame in the window's pixels, the bison
// at bisonPlace seen from eye along gaze, the marker clear of the screen's blocks in layout;
// leaves GL's state as it found it, and draws nothing when neither is asked for.
void drawAssists(Vector3 eye, Vector3 gaze, Vector3 bisonPlace, const ScreenLayout &layout);

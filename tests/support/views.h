// Where the real game shows things, worked out in the test's own GL from the known start.
#pragma once

#include <utility>
#include <vector>

// The window points (x, y from the top) of the foods at home, in the 1000 x 500 window, as the
// game shows them once the title drift has settled its gaze; only those inside the window. Needs
// startWorld.
std::vector<std::pair<int, int>> settledFoodPoints();
// The same for food index alone, the gaze turned around with 'q' or not: false when it is not
// inside the window.
bool settledFoodPoint(int index, int &x, int &y, bool turnedAround = false);

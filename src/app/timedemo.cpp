#include "app/timedemo.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

bool timingFrames = false;
static std::vector<double> frameSeconds;
static std::chrono::steady_clock::time_point lastFrameEnd;

std::string timedemoFigures(const std::vector<double> &seconds) {
    if (seconds.empty()) return "timedemo: no frames\n";
    double total = 0.0;
    size_t slowest = 0;
    for (size_t i = 0; i < seconds.size(); i++) {
        total += seconds[i];
        if (seconds[i] > seconds[slowest]) slowest = i;
    }
    std::vector<double> sorted = seconds;
    std::sort(sorted.begin(), sorted.end(), std::greater<double>());
    size_t low = std::max<size_t>(1, sorted.size() / 100);
    double lowTotal = 0.0;
    for (size_t i = 0; i < low; i++) lowTotal += sorted[i];
    auto rate = [](double frames, double time) { return time > 0.0 ? frames / time : 0.0; };
    char text[200];
    snprintf(text, sizeof text,
             "timedemo: %zu frames in %.2f s: %.1f fps average, %.1f fps 1%% low, slowest frame "
             "%zu (%.1f ms)\n",
             seconds.size(), total, rate(double(seconds.size()), total),
             rate(double(low), lowTotal), slowest, seconds[slowest] * 1000.0);
    return text;
}

void printTimedemoFigures() {
    if (timingFrames) fputs(timedemoFigures(frameSeconds).c_str(), stdout);
    timingFrames = false;
}

void startTimedemo() {
    timingFrames = true;
    frameSeconds.clear();
    lastFrameEnd = std::chrono::steady_clock::now();
    // However the game is left: the recording's end, or Escape in the middle of it.
    atexit(printTimedemoFigures);
}

void timeFrameStart() {
    // The first frame is timed from its own start, not from the start-up before it.
    if (frameSeconds.empty()) lastFrameEnd = std::chrono::steady_clock::now();
}

void timeFrameShown() {
    std::chrono::steady_clock::time_point end = std::chrono::steady_clock::now();
    frameSeconds.push_back(std::chrono::duration<double>(end - lastFrameEnd).count());
    lastFrameEnd = end;
}

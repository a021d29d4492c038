// The benchmark's table and raw lines.
#include "report.h"

#include <GL/gl.h>
#include <algorithm>
#include <cstring>
#include <string>

static double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

static const char *renderer() {
    return (const char *)glGetString(GL_RENDERER);
}

static const char *version() {
    return (const char *)glGetString(GL_VERSION);
}

void printOnly(FILE *out, const Situation &situation, int frames) {
    fprintf(out, "%s: %.1f fps, %d frames on %s\n", situation.name, situation.fps[0], frames,
            renderer());
}

// "frame", name, round, frames per second, CPU milliseconds per frame of all threads and of the
// game's thread; "low", name, round, the 1 % low of a situation played whole; "start-up", round,
// milliseconds to the first frame, of initWorld, of initSound, of the selection warm-up before the
// first frame, and the title's slowest frame after it.
void printRaw(FILE *out, const std::vector<Situation> &all, const StartUps &startUps) {
    fprintf(out, "renderer\t%s (%s), windows %d x %d and %d x %d\n", renderer(), version(),
            GAME_SIZE.width, GAME_SIZE.height, WIDE_SIZE.width, WIDE_SIZE.height);
    for (const Situation &s : all)
        for (size_t r = 0; r < s.fps.size(); r++)
            fprintf(out, "frame\t%s\t%zu\t%.2f\t%.3f\t%.3f\n", s.name, r, s.fps[r],
                    s.cpuMilliseconds[r], s.threadMilliseconds[r]);
    for (const Situation &s : all)
        for (size_t r = 0; r < s.lowFps.size(); r++)
            fprintf(out, "low\t%s\t%zu\t%.2f\n", s.name, r, s.lowFps[r]);
    for (size_t r = 0; r < startUps.toFirstFrame.size(); r++)
        fprintf(out, "start-up\t%zu\t%.2f\t%.2f\t%.2f\t%.2f\t%.2f\n", r, startUps.toFirstFrame[r],
                startUps.initWorld[r], startUps.initSound[r], startUps.warmUp[r],
                startUps.slowestTitleFrame[r]);
}

// The scenery floor measured at the situation's window size (the situation itself if none was).
static const Situation &floorOf(const std::vector<Situation> &all, const Situation &s) {
    for (const Situation &f : all)
        if (strncmp(f.name, "floor: scenery", 14) == 0 && f.size.width == s.size.width &&
            f.size.height == s.size.height)
            return f;
    return s;
}

static void printHeading(FILE *out, int rounds, double seconds) {
    fprintf(out, "Renderer: %s (%s), windows %d x %d and %d x %d, %d rounds of %.1f s\n\n",
            renderer(), version(), GAME_SIZE.width, GAME_SIZE.height, WIDE_SIZE.width,
            WIDE_SIZE.height, rounds, seconds);
    fprintf(out, "| %-36s | %7s | %17s | %9s | %9s | %11s | %9s |\n", "frame", "fps",
            "spread (min-max)", "time / scenery", "CPU ms", "game thread", "CPU / scenery");
    fprintf(out, "|%s|%s|%s|%s|%s|%s|%s|\n", std::string(38, '-').c_str(),
            std::string(9, '-').c_str(), std::string(19, '-').c_str(), std::string(16, '-').c_str(),
            std::string(11, '-').c_str(), std::string(13, '-').c_str(),
            std::string(15, '-').c_str());
}

// Each frame is compared with the scenery floor at its window size: in time, the figure a player
// sees, and in CPU time, the figure a busy machine disturbs least.
static void printRows(FILE *out, const std::vector<Situation> &all) {
    for (const Situation &s : all) {
        const Situation &f = floorOf(all, s);
        double fps = median(s.fps);
        auto range = std::minmax_element(s.fps.begin(), s.fps.end());
        double cpu = median(s.cpuMilliseconds);
        fprintf(out, "| %-36s | %7.1f | %7.1f - %7.1f | %14.2f | %9.2f | %11.2f | %13.2f |\n",
                s.name, fps, *range.first, *range.second, median(f.fps) / fps, cpu,
                median(s.threadMilliseconds), cpu / median(f.cpuMilliseconds));
    }
    fprintf(out, "\nCPU ms: CPU milliseconds a frame, all threads of the process (llvmpipe "
                 "rasterises on threads\nof its own); game thread: those of the thread that "
                 "runs the frame. Medians over the rounds.\n");
}

// A situation played whole (the timedemo) has a 1 % low too: the frame rate of its slowest
// frames, set against the scenery floor as the average is in the table.
static void printLows(FILE *out, const std::vector<Situation> &all) {
    for (const Situation &s : all) {
        if (s.lowFps.empty()) continue;
        const Situation &f = floorOf(all, s);
        double low = median(s.lowFps);
        auto range = std::minmax_element(s.lowFps.begin(), s.lowFps.end());
        fprintf(out,
                "\n%s: %d frames, whole each round in a fresh game,\nevery frame checked "
                "against the recording; its 1 %% low %.1f fps (%.1f - %.1f), time / scenery "
                "%.2f\n",
                s.name, s.wholeFrames, low, *range.first, *range.second, median(f.fps) / low);
        for (size_t r = 0; r < s.slowFrames.size(); r++)
            fprintf(out, "  round %zu: %s\n", r + 1, s.slowFrames[r].c_str());
    }
}

// One line of the start-up: the median of figures and their range.
static void printStartUpLine(FILE *out, const char *what, const std::vector<double> &figures) {
    auto range = std::minmax_element(figures.begin(), figures.end());
    fprintf(out, "%s: %.1f ms (%.1f - %.1f)\n", what, median(figures), *range.first, *range.second);
}

static void printStartUps(FILE *out, const StartUps &startUps) {
    fputs("\n", out);
    printStartUpLine(out, "Start-up to the first frame on screen", startUps.toFirstFrame);
    printStartUpLine(out, "  initWorld alone", startUps.initWorld);
    printStartUpLine(out, "  the selection warm-up before the first frame", startUps.warmUp);
    printStartUpLine(out, "  initSound alone (making the sounds, opening the device)",
                     startUps.initSound);
    char title[120];
    snprintf(title, sizeof title,
             "The title's slowest frame of the %d after the first, with what follows each",
             TITLE_FRAMES);
    printStartUpLine(out, title, startUps.slowestTitleFrame);
}

void printTable(FILE *out, const std::vector<Situation> &all, const StartUps &startUps, int rounds,
                double seconds) {
    printHeading(out, rounds, seconds);
    printRows(out, all);
    printLows(out, all);
    printStartUps(out, startUps);
}

#include "app/playback.h"

#include "app/app.h"
#include "app/keeping.h"
#include "app/player.h"
#include "app/world_check.h"
#include "bison/bison.h"
#include "food/pick.h"
#include "input/input.h"

#include <GL/freeglut.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

DemoFrame frameTaken;
bool drawEveryFrame = true;

void applyDemoEvent(const DemoEvent &event) {
    switch (event.type) {
    case DEMO_KEY_DOWN:
        onKeyDown((unsigned char)event.a, 0, 0);
        break;
    case DEMO_KEY_UP:
        onKeyUp((unsigned char)event.a, 0, 0);
        break;
    case DEMO_SPECIAL_DOWN:
        onSpecialDown(event.a, 0, 0);
        break;
    case DEMO_SPECIAL_UP:
        onSpecialUp(event.a, 0, 0);
        break;
    case DEMO_MOUSE:
        onMouse(event.a, event.b, event.c, event.d);
        break;
    case DEMO_RESHAPE:
        onReshape(event.a, event.b);
        break;
    case DEMO_KEYS_RELEASED:
        releaseKeys();
        break;
    }
}

void notePickHits() {
    frameTaken.picked = true;
    int at = nearestHitRecord(selectBuffer, SELECT_BUFFER_WORDS, hitCount);
    if (at < 0) return;
    // The record's names follow its name count and its two depths.
    for (unsigned int n = 0; n < selectBuffer[at]; n++)
        frameTaken.pickHits.push_back(int32_t(selectBuffer[at + 3 + int(n)]));
}

DemoFrame runFrame(const std::vector<DemoEvent> &events, const DemoFrame *feed) {
    frameTaken = DemoFrame();
    frameTaken.events = events;
    for (const DemoEvent &event : events) applyDemoEvent(event);
    // The window system is asked here, outside the game: what it answered is an event like any
    // other, recorded and played back.
    if (keyboardWasLost()) {
        forgetLiveKeys();
        DemoEvent released{DEMO_KEYS_RELEASED};
        frameTaken.events.push_back(released);
        applyDemoEvent(released);
    }
    bisonDrawLog = &frameTaken.draws;
    bisonDrawFeed = feed ? &feed->draws : nullptr;
    bisonDrawFed = 0;
    playFrame();
    bisonDrawLog = nullptr;
    bisonDrawFeed = nullptr;
    frameTaken.checksum = worldChecksum();
    return frameTaken;
}

static std::string numbers(const std::vector<int32_t> &list) {
    std::string text = "(";
    for (size_t i = 0; i < list.size(); i++) text += (i ? " " : "") + std::to_string(list[i]);
    return text + ")";
}

std::string frameDifference(const DemoFrame &recorded, const DemoFrame &played) {
    if (played.draws != recorded.draws)
        return "the bison drew " + std::to_string(played.draws.size()) +
               " random numbers where the recording has " + std::to_string(recorded.draws.size()) +
               " " + numbers(recorded.draws);
    if (played.picked != recorded.picked)
        return played.picked ? "a pick was made where the recording has none"
                             : "no pick was made where the recording has one";
    if (played.pickHits != recorded.pickHits)
        return "the pick hit foods " + numbers(played.pickHits) + " where the recording has " +
               numbers(recorded.pickHits);
    if (played.checksum != recorded.checksum) {
        char text[96];
        snprintf(text, sizeof text, "the world's checksum is %08x where the recording has %08x",
                 unsigned(played.checksum), unsigned(recorded.checksum));
        return text;
    }
    return "";
}

void startDemo(const DemoHeader &header) {
    seedBison(header.seed);
    // Whatever window the game runs in, the game sees the recorded one until a recorded reshape.
    onReshape(header.width, header.height);
}

std::string playDemoInProcess(const Demo &demo, long *badFrame) {
    startDemo(demo.header);
    for (size_t i = 0; i < demo.frames.size(); i++) {
        const DemoFrame &frame = demo.frames[i];
        std::string difference = frameDifference(frame, runFrame(frame.events, &frame));
        if (!difference.empty()) {
            if (badFrame) *badFrame = long(i);
            return difference;
        }
    }
    return "";
}

// The live game's events since the last frame, in the order they came.
static std::vector<DemoEvent> liveEvents;

// The recording being written, when recording.
static DemoWriter writer;
static bool writing = false;
static std::string writingPath;

// The recording being played back, when playing one.
static Demo playing;
static bool replaying = false;
static std::string playingPath;
static size_t playingAt = 0;
static bool timing = false;
static std::vector<double> frameSeconds;
static std::chrono::steady_clock::time_point lastFrameEnd;

void takeLiveEvent(const DemoEvent &event) {
    if (replaying) {
        if (event.type == DEMO_KEY_DOWN && event.a == 27) exit(0);
        return;
    }
    liveEvents.push_back(event);
}

void liveKeyDown(unsigned char key, int, int) {
    takeLiveKey(key, true);
}
void liveKeyUp(unsigned char key, int, int) {
    takeLiveKey(key, false);
}
void liveSpecialDown(int key, int, int) {
    if (key >= 0 && key < SPECIAL_KEY) takeLiveKey(SPECIAL_KEY + key, true);
}
void liveSpecialUp(int key, int, int) {
    if (key >= 0 && key < SPECIAL_KEY) takeLiveKey(SPECIAL_KEY + key, false);
}
void liveMouse(int button, int state, int x, int y) {
    takeLiveEvent({DEMO_MOUSE, button, state, x, y});
}
void liveReshape(int width, int height) {
    noteWindowSize(width, height);
    takeLiveEvent({DEMO_RESHAPE, width, height});
}

bool startRecording(const char *path, const DemoHeader &header, std::string *reason) {
    if (!openDemoWriter(writer, path, header, reason)) return false;
    writing = true;
    writingPath = path;
    return true;
}

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

static void printTimedemoFigures() {
    if (timing) fputs(timedemoFigures(frameSeconds).c_str(), stdout);
    timing = false;
}

bool replayPosition(long *frame, long *total) {
    // A timedemo measures the game's own frames.
    if (!replaying || timing) return false;
    *frame = long(std::min(playingAt + 1, playing.frames.size()));
    *total = long(playing.frames.size());
    return true;
}

void startReplay(const Demo &demo, const char *path, bool timed) {
    playing = demo;
    replaying = true;
    playingPath = path;
    playingAt = 0;
    timing = timed;
    // The window's focus is the recording's: a key let go is let go where it was recorded.
    releaseKeysWithFocus = false;
    startDemo(demo.header);
    // A recorded game may end with Escape, inside its last frame.
    atexit(printTimedemoFigures);
    lastFrameEnd = std::chrono::steady_clock::now();
}

// The next recorded frame, or the end of the recording; a frame that differs ends the game.
static void replayFrame() {
    if (playingAt >= playing.frames.size()) {
        printTimedemoFigures();
        exit(0);
    }
    const DemoFrame &frame = playing.frames[playingAt];
    // A recorded reshape takes the window along, so that what is shown is what was played.
    for (const DemoEvent &event : frame.events)
        if (event.type == DEMO_RESHAPE && event.a > 0 && event.b > 0)
            glutReshapeWindow(event.a, event.b);
    std::string difference = frameDifference(frame, runFrame(frame.events, &frame));
    if (!difference.empty()) {
        fprintf(stderr, "grazewell: %s: frame %zu differs from the recording: %s\n",
                playingPath.c_str(), playingAt, difference.c_str());
        exit(DESYNC_STATUS);
    }
    std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now();
    frameSeconds.push_back(std::chrono::duration<double>(now - lastFrameEnd).count());
    lastFrameEnd = now;
    playingAt++;
    if (playingAt >= playing.frames.size()) {
        printTimedemoFigures();
        exit(0);
    }
}

void onDisplay() {
    if (replaying) {
        replayFrame();
        return;
    }
    crashIfAsked();
    std::vector<DemoEvent> events;
    events.swap(liveEvents);
    DemoFrame frame = runFrame(events);
    if (writing && !writeDemoFrame(writer, frame)) {
        fprintf(stderr, "grazewell: %s: the recording could not be written on; it ends here\n",
                writingPath.c_str());
        closeDemoWriter(writer);
        writing = false;
    }
}

#include "app/playback.h"

#include "app/app.h"
#include "app/keeping.h"
#include "app/pacing.h"
#include "app/player.h"
#include "app/world_check.h"
#include "capture/capture.h"
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

DemoFrame runTick(const std::vector<DemoEvent> &events, TickStep step, const DemoFrame *feed) {
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
    if (playTick(step)) notePickHits();
    bisonDrawLog = nullptr;
    bisonDrawFeed = nullptr;
    frameTaken.checksum = worldChecksum();
    return frameTaken;
}

DemoFrame runFrame(const std::vector<DemoEvent> &events, const DemoFrame *feed) {
    DemoFrame tick = runTick(events, nextTick(1, 0), feed);
    showWorld();
    return tick;
}

// Runs the ticks due at NOW, as nextTick allows, each by TICK (given its step and the moment it
// came due; false when there is nothing left to run), then takes every tick due: those not run
// are a backlog, dropped.
template <class Tick> static void runDueTicks(PaceClock::time_point now, Tick tick) {
    long due = oneTickPerFrame ? 1 : ticksDue(gameClock, now);
    int ran = 0;
    for (TickStep step; (step = nextTick(due, ran)) != TICK_NONE; ran++)
        if (!tick(step, tickDueTime(gameClock, gameClock.ticksTaken + ran))) break;
    if (!oneTickPerFrame) gameClock.ticksTaken += due;
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

long replayTick = 0;
long replayTicks = 0;

// Plays the recorded tick at replayTick as STEP says: the difference from the recording, or "".
static std::string playRecordedTick(const Demo &demo, TickStep step) {
    const DemoFrame &frame = demo.frames[size_t(replayTick)];
    std::string difference = frameDifference(frame, runTick(frame.events, step, &frame));
    if (difference.empty()) replayTick++;
    return difference;
}

std::string playDemoInProcess(const Demo &demo, long *badFrame, int drawingRate) {
    startDemo(demo.header);
    replayTick = 0;
    replayTicks = long(demo.frames.size());
    bool fixed = oneTickPerFrame;
    int cap = frameRateCap;
    oneTickPerFrame = drawingRate == 0;
    capFrameRate(drawingRate);
    gameClock = GameClock();
    std::string difference;
    for (long frame = 0; replayTick < replayTicks && difference.empty(); frame++) {
        PaceClock::time_point now =
            PaceClock::time_point() +
            (drawingRate > 0 ? std::chrono::duration_cast<PaceClock::duration>(
                                   std::chrono::nanoseconds(frame * 1000000000LL / drawingRate))
                             : PaceClock::duration(0));
        runDueTicks(now, [&](TickStep step, PaceClock::time_point) {
            if (replayTick >= replayTicks || !difference.empty()) return false;
            difference = playRecordedTick(demo, step);
            return difference.empty();
        });
        showWorld();
    }
    if (!difference.empty() && badFrame) *badFrame = replayTick;
    oneTickPerFrame = fixed;
    capFrameRate(cap);
    gameClock = GameClock();
    replayTick = replayTicks = 0;
    return difference;
}

// A live event and when it arrived: it goes to the first tick due after that.
struct LiveEvent {
    DemoEvent event;
    PaceClock::time_point arrived;
};
// The live game's events not yet handed to a tick, in the order they came.
static std::vector<LiveEvent> liveEvents;

// The recording being written, when recording.
static DemoWriter writer;
static bool writing = false;
static std::string writingPath;
// Its header, written with the world's fingerprint before the first tick.
static DemoHeader writingHeader;
static bool headerWritten = false;

// The recording being played back, when playing one.
static Demo playing;
static bool replaying = false;
static std::string playingPath;
static bool timing = false;
static std::vector<double> frameSeconds;
static std::chrono::steady_clock::time_point lastFrameEnd;

void takeLiveEvent(const DemoEvent &event) {
    takeLiveEventAt(event, PaceClock::now());
}

void takeLiveEventAt(const DemoEvent &event, PaceClock::time_point arrived) {
    if (replaying) {
        if (event.type == DEMO_KEY_DOWN && event.a == 27) exit(0);
        return;
    }
    liveEvents.push_back({event, arrived});
}

// The live events that arrived before BEFORE, taken from the queue in order (every one in a frame
// of one tick).
static std::vector<DemoEvent> liveEventsBefore(PaceClock::time_point before) {
    std::vector<DemoEvent> events;
    size_t taken = 0;
    while (taken < liveEvents.size() && (oneTickPerFrame || liveEvents[taken].arrived < before))
        events.push_back(liveEvents[taken++].event);
    liveEvents.erase(liveEvents.begin(), liveEvents.begin() + long(taken));
    return events;
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
    // The window really drawn, whatever size the game (or a recording) gives it.
    drawableWidth = width;
    drawableHeight = height;
    noteWindowSize(width, height);
    takeLiveEvent({DEMO_RESHAPE, width, height});
}

bool startRecording(const char *path, const DemoHeader &header, std::string *reason) {
    if (!createDemoFile(writer, path, reason)) return false;
    writing = true;
    writingPath = path;
    writingHeader = header;
    return true;
}

// Writes the recording's header, once the world it fingerprints is made, then TICK.
static bool writeTick(const DemoFrame &tick) {
    if (!headerWritten) {
        writingHeader.fingerprint = worldFingerprint();
        std::string reason;
        if (!writeDemoHeader(writer, writingHeader, &reason)) return false;
        headerWritten = true;
    }
    return writeDemoFrame(writer, tick);
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

bool replayPosition(long *tick, long *total) {
    // A timedemo measures the game's own frames.
    if (!replaying || timing) return false;
    *tick = std::min(replayTick + 1, replayTicks);
    *total = replayTicks;
    return true;
}

void stopReplay() {
    replaying = false;
    timing = false;
    replayTick = replayTicks = 0;
}

void startReplay(const Demo &demo, const char *path, bool timed) {
    playing = demo;
    replaying = true;
    playingPath = path;
    replayTick = 0;
    replayTicks = long(demo.frames.size());
    timing = timed;
    // The timedemo times the drawing of every tick, one a frame.
    oneTickPerFrame = timed;
    // The window's focus is the recording's: a key let go is let go where it was recorded.
    releaseKeysWithFocus = false;
    startDemo(demo.header);
    // Picks go through the tree cards' visible texels: pictures of the player's own can part the
    // replay from the game at its first click near a tree, and the cause is said here, up front.
    if (demo.header.formatVersion >= 2 && demo.header.fingerprint != worldFingerprint())
        fprintf(stderr,
                "grazewell: %s: the tree pictures here are not the recording's (their visible "
                "texels differ), so a click through a tree may not pick what it picked\n",
                path);
    if (demo.endsMidFrame)
        fprintf(stderr,
                "grazewell: %s: the recording was cut inside a tick; its %ld whole ticks are "
                "played\n",
                path, replayTicks);
    // A recorded game may end with Escape, inside its last tick.
    atexit(printTimedemoFigures);
    lastFrameEnd = std::chrono::steady_clock::now();
}

// A recorded reshape takes the window along, so that what is shown is what was played, but never
// beyond the screen: the game still sees the recorded size, and a capture never reads more than
// the window really drawn.
static void followRecordedReshapes(const DemoFrame &frame) {
    for (const DemoEvent &event : frame.events)
        if (event.type == DEMO_RESHAPE && event.a > 0 && event.b > 0) {
            int screenWidth = glutGet(GLUT_SCREEN_WIDTH),
                screenHeight = glutGet(GLUT_SCREEN_HEIGHT);
            glutReshapeWindow(screenWidth > 0 ? std::min(event.a, screenWidth) : event.a,
                              screenHeight > 0 ? std::min(event.b, screenHeight) : event.b);
        }
}

// The recorded ticks due at NOW, then the frame drawn; a tick that differs ends the game, and so
// does the recording's end.
static void replayFrame(PaceClock::time_point now) {
    // The first frame is timed from its own start, not from the start-up before it.
    if (frameSeconds.empty() && replayTick == 0) lastFrameEnd = std::chrono::steady_clock::now();
    runDueTicks(now, [](TickStep step, PaceClock::time_point) {
        if (replayTick >= replayTicks) return false;
        followRecordedReshapes(playing.frames[size_t(replayTick)]);
        std::string difference = playRecordedTick(playing, step);
        if (!difference.empty()) {
            fprintf(stderr, "grazewell: %s: tick %ld differs from the recording: %s\n",
                    playingPath.c_str(), replayTick, difference.c_str());
            exit(DESYNC_STATUS);
        }
        return true;
    });
    showWorld();
    std::chrono::steady_clock::time_point end = std::chrono::steady_clock::now();
    frameSeconds.push_back(std::chrono::duration<double>(end - lastFrameEnd).count());
    lastFrameEnd = end;
    if (replayTick >= replayTicks) {
        printTimedemoFigures();
        exit(0);
    }
}

void playFrameAt(PaceClock::time_point now) {
    if (replaying) {
        replayFrame(now);
        return;
    }
    runDueTicks(now, [](TickStep step, PaceClock::time_point due) {
        crashIfAsked();
        DemoFrame tick = runTick(liveEventsBefore(due), step);
        if (writing && !writeTick(tick)) {
            fprintf(stderr, "grazewell: %s: the recording could not be written on; it ends here\n",
                    writingPath.c_str());
            closeDemoWriter(writer);
            writing = false;
        }
        return true;
    });
    showWorld();
}

void onDisplay() {
    playFrameAt(PaceClock::now());
}

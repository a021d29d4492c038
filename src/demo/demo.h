// Recordings: a game's seed and, frame by frame, what the game took from outside itself, with a
// checksum of the world after each frame. A game is decided by its seed and its input, so a
// recording plays the same game again. This room knows the file and nothing of the game: the
// shell gathers the events, hands in the frames and feeds them back.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The version of the file's layout this build writes and the newest it reads. Versions 1 (no
// fingerprint) and 2 (no game speed: played at the full speed) are still read: their frames are
// ticks as version 3's are.
const uint32_t DEMO_FORMAT_VERSION = 3;
// The game's speed a recording may hold, in percent of the full speed.
const int32_t DEMO_MIN_SPEED = 1;
const int32_t DEMO_MAX_SPEED = 100;

// The most foods a pick can name: indices run 0..DEMO_FOOD_LIMIT-1 (the game's food count).
const int32_t DEMO_FOOD_LIMIT = 20;
// The widest or tallest window a recording may hold (pixels).
const int32_t DEMO_MAX_WINDOW_SIDE = 16384;
// The most events a tick may take: the live game hands a tick at most half of it (the rest wait
// for the next tick), leaving room for the keys the window system lets go.
const uint32_t DEMO_MAX_EVENTS = 1024;

// What a frame can take from outside the game, in the order it arrived.
enum DemoEventType : uint8_t {
    DEMO_KEY_DOWN = 1,      // a: key code (0..255)
    DEMO_KEY_UP = 2,        // a: key code
    DEMO_SPECIAL_DOWN = 3,  // a: GLUT special key code
    DEMO_SPECIAL_UP = 4,    // a: GLUT special key code
    DEMO_MOUSE = 5,         // a: button, b: state (GLUT_DOWN, GLUT_UP), c, d: x, y (window pixels)
    DEMO_RESHAPE = 6,       // a, b: width, height (pixels)
    DEMO_KEYS_RELEASED = 7, // the window lost the keyboard: every key counts as released
    DEMO_SPEED = 8,         // a: the game's speed from the next tick on (percent, 1..100)
};

// One event and its arguments; the unused ones are 0.
struct DemoEvent {
    DemoEventType type;
    int32_t a = 0, b = 0, c = 0, d = 0;
};

// One tick of a recording (a frame of the game before it kept its own clock was one tick).
struct DemoFrame {
    std::vector<DemoEvent> events; // taken before the frame, in order
    bool picked = false;           // the frame was a selection pass
    std::vector<int32_t> pickHits; // the foods (indices) its pick hit, in the order it found them
    std::vector<int32_t> draws;    // the random numbers the game drew in the frame, in order
    uint32_t checksum = 0;         // the world after the frame
};

// What a recording says of the game it holds.
struct DemoHeader {
    uint32_t formatVersion = DEMO_FORMAT_VERSION;
    std::string gameVersion; // the recording game's version
    uint32_t seed = 0;       // the seed of the bison's draws
    int32_t width = 0;       // the window's size at the start (pixels)
    int32_t height = 0;
    int32_t fps = 0;      // the drawing rate it was played at (frames a second; 0: as fast as
                          // drawn); the game's ticks are 60 a second whatever it was
    std::string platform; // "linux" or "windows"
    // The game's speed it began at, in percent of the full speed (DEMO_SPEED events change it
    // later); 100 in a file of version 1 or 2, which never played slower.
    int32_t speed = 100;
    // What decides the game beyond its events, as a hash: the tree cards' visible texels, which
    // decide what a click picks. 0 in a version 1 file, which carries none, and in one whose
    // game never knew it (it died before its first tick).
    uint32_t fingerprint = 0;
};

// A recording's ticks, each kept as the file holds it and decoded when it is taken: in memory a
// recording takes little more than its file (a tick decoded whole takes twenty times its bytes).
// Taken by index or in a range-for, a tick is a DemoFrame made then.
class DemoFrames {
  public:
    size_t size() const { return ends.size(); }
    bool empty() const { return ends.empty(); }
    DemoFrame operator[](size_t index) const;
    void push_back(const DemoFrame &frame);
    // Puts frame in place of the tick at index.
    void set(size_t index, const DemoFrame &frame);
    // Keeps the first count ticks, or adds ticks that take nothing and draw nothing.
    void resize(size_t count);
    void clear();

    struct iterator {
        const DemoFrames *frames;
        size_t index;
        DemoFrame operator*() const { return (*frames)[index]; }
        iterator &operator++() {
            index++;
            return *this;
        }
        bool operator!=(const iterator &other) const { return index != other.index; }
    };
    iterator begin() const { return {this, 0}; }
    iterator end() const { return {this, size()}; }

    // Every tick's body (docs/recordings.md's frame without its length), one after another.
    std::string bodies;
    // Where each tick's body ends in bodies.
    std::vector<size_t> ends;
};

// A whole recording, read back.
struct Demo {
    DemoHeader header;
    DemoFrames frames;
    // The file stopped inside a frame (a game killed while writing it): that frame is left out,
    // the whole frames before it are kept.
    bool endsMidFrame = false;
};

// A recording being written: every frame is written and flushed as it ends, so a game that is
// killed still leaves its frames so far.
struct DemoWriter {
    FILE *file = nullptr;
    long fingerprintAt = -1; // where the header's fingerprint lies in the file; -1 for none
};

// Makes PATH and writes the header; refuses a PATH that already exists. On failure, false with
// the reason in *reason.
bool openDemoWriter(DemoWriter &writer, const char *path, const DemoHeader &header,
                    std::string *reason);
// Makes PATH for a recording whose header is written later (writeDemoHeader); refuses a PATH that
// already exists. False with the reason.
bool createDemoFile(DemoWriter &writer, const char *path, std::string *reason);
// Writes the header into a file made by createDemoFile; false with the reason.
bool writeDemoHeader(DemoWriter &writer, const DemoHeader &header, std::string *reason);
// Writes fingerprint into the header written already (a version 2 one), in place; false when it
// could not.
bool setDemoFingerprint(DemoWriter &writer, uint32_t fingerprint);
// Appends one frame and flushes it; false when the file could not take it.
bool writeDemoFrame(DemoWriter &writer, const DemoFrame &frame);
void closeDemoWriter(DemoWriter &writer);

// Decodes a whole recording from bytes; a file that is not a recording of this game, a newer
// format, a truncated or hostile one (counts past the end, keys or positions out of range) gives
// false with the reason in *reason, and nothing half-read in DEMO.
bool parseDemo(const uint8_t *data, size_t size, Demo &demo, std::string *reason);
// Reads and decodes the file at PATH; false with the reason (the file's own troubles included).
bool readDemo(const char *path, Demo &demo, std::string *reason);

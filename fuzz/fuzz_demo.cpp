// Fuzzes the recording reader: any bytes at all are read or refused with a reason, and what is
// read holds only what the game could have written.
#include "demo/demo.h"

#include <cstdint>
#include <cstdlib>

static bool inside(int32_t value, int32_t low, int32_t high) {
    return value >= low && value <= high;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Demo demo;
    std::string reason;
    if (!parseDemo(data, size, demo, &reason)) {
        // A refusal says why, on one line, and leaves nothing half-read.
        if (reason.empty() || reason.find('\n') != std::string::npos || !demo.frames.empty())
            abort();
        return 0;
    }
    const DemoHeader &header = demo.header;
    if (header.formatVersion < 1 || header.formatVersion > DEMO_FORMAT_VERSION ||
        !inside(header.width, 1, DEMO_MAX_WINDOW_SIDE) ||
        !inside(header.height, 1, DEMO_MAX_WINDOW_SIDE) || !inside(header.fps, 0, 1000) ||
        !inside(header.speed, DEMO_MIN_SPEED, DEMO_MAX_SPEED) ||
        (header.formatVersion < 3 && header.speed != 100))
        abort();
    // Every frame takes at least eight bytes of the file: a hostile count cannot make many. The
    // ticks are held in no more than the file's own bytes.
    if (demo.frames.size() > size / 8 || demo.frames.bodies.size() > size) abort();
    for (const DemoFrame &frame : demo.frames) {
        if (!frame.picked && !frame.pickHits.empty()) abort();
        if (frame.events.size() > DEMO_MAX_EVENTS) abort();
        for (int32_t hit : frame.pickHits)
            if (!inside(hit, 0, DEMO_FOOD_LIMIT - 1)) abort();
        for (const DemoEvent &event : frame.events) {
            switch (event.type) {
            case DEMO_KEY_DOWN:
            case DEMO_KEY_UP:
            case DEMO_SPECIAL_DOWN:
            case DEMO_SPECIAL_UP:
                if (!inside(event.a, 0, 255) || event.b || event.c || event.d) abort();
                break;
            case DEMO_MOUSE:
                if (!inside(event.a, 0, 15) || !inside(event.b, 0, 1) ||
                    !inside(event.c, -32768, 32767) || !inside(event.d, -32768, 32767))
                    abort();
                break;
            case DEMO_RESHAPE:
                if (!inside(event.a, 0, DEMO_MAX_WINDOW_SIDE) ||
                    !inside(event.b, 0, DEMO_MAX_WINDOW_SIDE) || event.c || event.d)
                    abort();
                break;
            case DEMO_KEYS_RELEASED:
                if (event.a || event.b || event.c || event.d) abort();
                break;
            case DEMO_SPEED:
                if (!inside(event.a, DEMO_MIN_SPEED, DEMO_MAX_SPEED) || event.b || event.c ||
                    event.d)
                    abort();
                break;
            default:
                abort();
            }
        }
    }
    return 0;
}

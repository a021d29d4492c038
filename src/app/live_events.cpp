#include "app/live_events.h"

#include "app/replay.h"
#include "input/bindings.h"
#include "input/input.h"

// A live event and when it arrived: it goes to the first tick due after that.
struct LiveEvent {
    DemoEvent event;
    PaceClock::time_point arrived;
};
// The live game's events not yet handed to a tick, in the order they came.
static std::vector<LiveEvent> liveEvents;

void takeLiveEvent(const DemoEvent &event) {
    takeLiveEventAt(event, PaceClock::now());
}

void takeLiveEventAt(const DemoEvent &event, PaceClock::time_point arrived) {
    if (replaying()) {
        // The watcher leaves as a player would, once the frame is done.
        if (event.type == DEMO_KEY_DOWN && event.a == KEY_ESCAPE) quitAsked = true;
        return;
    }
    liveEvents.push_back({event, arrived});
}

bool pauseComing() {
    int pause = keyBindings[actionNamed("pause")].key;
    bool paused = gamePaused;
    for (const LiveEvent &live : liveEvents)
        if (live.event.type == DEMO_KEY_DOWN && live.event.a == pause) paused = !paused;
    return paused;
}

std::vector<DemoEvent> liveEventsBefore(PaceClock::time_point before) {
    std::vector<DemoEvent> events;
    size_t taken = 0;
    // Half a tick's room at most: a flood goes on in the next ticks.
    while (taken < liveEvents.size() && taken < DEMO_MAX_EVENTS / 2 &&
           (oneTickPerFrame || liveEvents[taken].arrived < before))
        events.push_back(liveEvents[taken++].event);
    liveEvents.erase(liveEvents.begin(), liveEvents.begin() + long(taken));
    return events;
}

void forgetLiveEvents() {
    liveEvents.clear();
}

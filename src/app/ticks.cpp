#include "app/ticks.h"

#include "app/world_check.h"
#include "bison/bison.h"
#include "food/pick.h"
#include "input/bindings.h"
#include "input/input.h"

#include <cstdio>

DemoFrame frameTaken;

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
    case DEMO_SPEED:
        // The clock takes it from the next tick on.
        gameSpeed = event.a;
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
    } else if (releaseKeysWithFocus) {
        // The window has the keyboard: a key it still takes for held but is up was let go where
        // the game could not hear it.
        for (int gameKey : liveKeysLetGoElsewhere()) {
            DemoEvent up{DEMO_KEY_UP, gameKey};
            frameTaken.events.push_back(up);
            applyDemoEvent(up);
        }
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

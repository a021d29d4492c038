#include "sound/captions.h"

#include "sound/sound.h"

#include <algorithm>
#include <cmath>

bool captionsOn = false;
double captionClock = 0.0;
std::vector<Caption> captionsShowing;

void resetCaptions() {
    captionsOn = false;
    captionClock = 0.0;
    captionsShowing.clear();
}

const char *captionName(SoundId id) {
    switch (id) {
    case SOUND_HOOF:
        return "Bison's hooves";
    case SOUND_GRUNT:
        return "Bison grunts";
    case SOUND_SNORT:
        return "Bison snorts";
    case SOUND_PICK:
        return "Food picked up";
    case SOUND_THROW:
        return "Food thrown";
    case SOUND_MUNCH:
        return "Bison munches";
    case SOUND_BLAST:
        return "Blast";
    case SOUND_FALL:
        return "Bison falls with a whistle";
    case SOUND_SHIMMER:
        return "Marble shimmers";
    case SOUND_LIFT:
        return "Cloud lifts the bison";
    case SOUND_THUD:
        return "Thud on the bison";
    case SOUND_WON:
        return "Rising phrase: won";
    case SOUND_LOST:
        return "Falling phrase: lost";
    case SOUND_COUNT:
        break;
    }
    return "";
}

std::string captionWhere(Vector3 place, Vector3 listener, Vector3 gaze) {
    double dx = double(place.x) - listener.x, dy = double(place.y) - listener.y,
           dz = double(place.z) - listener.z;
    double distance = std::sqrt(dx * dx + dy * dy + dz * dz);
    std::string where = distance < CAPTION_NEAR ? "near " : "far ";
    // Left and right, ahead and behind, as the listener is turned on the meadow: looking up or
    // down turns no sound from ahead to one side.
    double gx = gaze.x, gz = gaze.z, level = std::sqrt(gx * gx + gz * gz);
    double right, ahead;
    if (level > 0.0) {
        right = (dz * gx - dx * gz) / level;
        ahead = (dx * gx + dz * gz) / level;
    } else {
        Vector3 heard = heardPlace(place, listener, gaze, false);
        right = heard.x;
        ahead = -double(heard.z);
    }
    // Four quarters about the gaze; on a diagonal, ahead or behind.
    if (std::fabs(right) > std::fabs(ahead)) return where + (right > 0.0 ? "right" : "left");
    return where + (ahead >= 0.0 ? "ahead" : "behind");
}

void noteCaption(std::vector<Caption> &captions, SoundId id, Vector3 place, bool placed, double now,
                 double seconds) {
    double until = now + std::max(seconds, CAPTION_SHORTEST);
    for (Caption &caption : captions)
        if (caption.id == id && caption.until > now) {
            caption.place = place;
            caption.placed = placed;
            caption.until = std::max(caption.until, until);
            return;
        }
    captions.erase(std::remove_if(captions.begin(), captions.end(),
                                  [now](const Caption &caption) { return caption.until <= now; }),
                   captions.end());
    if (int(captions.size()) >= CAPTION_LINES) captions.erase(captions.begin());
    captions.push_back({id, place, placed, until});
}

std::vector<std::string> captionLines(std::vector<Caption> &captions, double now, Vector3 listener,
                                      Vector3 gaze) {
    captions.erase(std::remove_if(captions.begin(), captions.end(),
                                  [now](const Caption &caption) { return caption.until <= now; }),
                   captions.end());
    std::vector<std::string> lines;
    for (auto caption = captions.rbegin(); caption != captions.rend(); ++caption) {
        std::string line = captionName(caption->id);
        if (caption->placed) line += ", " + captionWhere(caption->place, listener, gaze);
        lines.push_back(line);
    }
    return lines;
}

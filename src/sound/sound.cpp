#include "sound/sound.h"

#include "sound/captions.h"
#include "sound/device.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

SoundVoice soundVoices[SOUND_VOICES];
long soundsStarted = 0;
bool soundOn = false;
bool soundDeviceOpen = false;
float soundVolume = 1.0f;
Vector3 listenerPosition = {0.0f, 0.0f, 0.0f};
Vector3 listenerGaze = {0.0f, 0.0f, -1.0f};
double (*soundClockSource)() = nullptr;

// Every sound's samples, made once, and the loudest of each of their blocks.
static std::vector<int16_t> sounds[SOUND_COUNT];
static std::vector<float> envelopes[SOUND_COUNT];
// HRTF lifts some bands of a sound above its own level: the most a channel takes of it then.
static const double HRTF_LOUDEST = 1.5;
// When the toggle key began the fade out (seconds on the sound clock), negative when none runs.
static double fadingSince = -1.0;
// When that fade first set the gain to nothing (seconds on the sound clock), negative before.
static double silentSince = -1.0;
// When each sound last started (seconds on the sound clock).
static double lastStart[SOUND_COUNT];
// The device is to be opened the first time sound is on: at start-up, or at the toggle after
// --mute. Never twice: a missing device is reported once.
static bool deviceWanted = true;
static bool deviceTried = false;
// The bison's walk as heard: where it is in its stride and when it grunts next.
static const Gait BISON_GAIT_AT_START = {0.0f, SOUND_GRUNT_EVERY, {0x6a17a11u}};
static Gait bisonGait = BISON_GAIT_AT_START;

// Seconds on the sound clock: soundClockSource's, or the real one.
static double soundClock() {
    if (soundClockSource) return soundClockSource();
    // Seconds since start-up, on a clock that never goes back.
    static const auto start = std::chrono::steady_clock::now();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double soundSeconds(SoundId id) {
    return double(sounds[id].size()) / SOUND_RATE;
}

double soundMinimumGap(SoundId id) {
    switch (id) {
    case SOUND_HOOF:
        return 0.11;
    case SOUND_GRUNT:
        return 1.5;
    case SOUND_SNORT:
        return 0.25;
    // A food inside the bison's body strikes it again every frame until it is out: one thud, and
    // one of whatever it does, is heard.
    case SOUND_THUD:
    case SOUND_BLAST:
    case SOUND_SHIMMER:
    case SOUND_LIFT:
        return 0.1;
    default:
        return 0.0;
    }
}

int chooseVoice(const SoundVoice voices[SOUND_VOICES], double now) {
    // The device plays a little behind this clock, the more so on a busy machine: a voice just
    // over here may still be playing the last of its fade there, and stopped, it would click.
    // So the voice over the longest is taken.
    int free = -1, first = 0;
    for (int v = 0; v < SOUND_VOICES; v++) {
        if (voices[v].endsAt <= now && (free < 0 || voices[v].endsAt < voices[free].endsAt))
            free = v;
        if (voices[v].startedAt < voices[first].startedAt) first = v;
    }
    return free >= 0 ? free : first;
}

Vector3 listenerUp(Vector3 gaze) {
    double length =
        std::sqrt(double(gaze.x) * gaze.x + double(gaze.y) * gaze.y + double(gaze.z) * gaze.z);
    if (length == 0.0) return {0.0f, 1.0f, 0.0f};
    double ax = gaze.x / length, ay = gaze.y / length, az = gaze.z / length;
    // World up less its part along the gaze; the gaze is never straight up (its x-z part has
    // length 1), so something is left.
    double ux = -ay * ax, uy = 1.0 - ay * ay, uz = -ay * az;
    double u = std::sqrt(ux * ux + uy * uy + uz * uz);
    if (u == 0.0) return {0.0f, 0.0f, -1.0f};
    return {float(ux / u), float(uy / u), float(uz / u)};
}

Vector3 heardPlace(Vector3 place, Vector3 listener, Vector3 gaze, bool narrowed) {
    double dx = double(place.x) - listener.x, dy = double(place.y) - listener.y,
           dz = double(place.z) - listener.z;
    double length =
        std::sqrt(double(gaze.x) * gaze.x + double(gaze.y) * gaze.y + double(gaze.z) * gaze.z);
    if (length == 0.0) length = 1.0;
    double fx = gaze.x / length, fy = gaze.y / length, fz = gaze.z / length;
    Vector3 up = listenerUp(gaze);
    // Right is ahead crossed with up.
    double rx = fy * up.z - fz * up.y, ry = fz * up.x - fx * up.z, rz = fx * up.y - fy * up.x;
    double right = dx * rx + dy * ry + dz * rz;
    double above = dx * up.x + dy * up.y + dz * up.z;
    double ahead = dx * fx + dy * fy + dz * fz;
    if (narrowed) {
        // The same distance and height; to the side only as far as SOUND_WIDEST, and in front,
        // since plain stereo cannot tell behind from ahead.
        double distance2 = dx * dx + dy * dy + dz * dz;
        right *= std::sin(SOUND_WIDEST);
        ahead = std::sqrt(std::fmax(0.0, distance2 - above * above - right * right));
    }
    return {float(right), float(above), float(-ahead)};
}

double distanceGain(double distance) {
    if (distance < SOUND_NEAR) return 1.0;
    if (distance > SOUND_FAR) distance = SOUND_FAR;
    return SOUND_NEAR / distance;
}

std::vector<float> soundEnvelope(const std::vector<int16_t> &samples) {
    std::vector<float> envelope((samples.size() + SOUND_ENVELOPE_BLOCK - 1) / SOUND_ENVELOPE_BLOCK);
    for (size_t i = 0; i < samples.size(); i++) {
        float level = float(std::abs(int(samples[i]))) / 32768.0f;
        float &block = envelope[i / SOUND_ENVELOPE_BLOCK];
        if (level > block) block = level;
    }
    return envelope;
}

float roomInTheMix(const SoundVoice voices[SOUND_VOICES], const std::vector<float> envelopes[],
                   SoundId id, double heard, double now) {
    const double block = double(SOUND_ENVELOPE_BLOCK) / SOUND_RATE;
    const std::vector<float> &mine = envelopes[id];
    double room = 1.0;
    for (size_t b = 0; b < mine.size(); b++) {
        double from = now + double(b) * block, to = from + block;
        double others = 0.0;
        for (int v = 0; v < SOUND_VOICES; v++) {
            const SoundVoice &voice = voices[v];
            if (voice.endsAt <= from || voice.startedAt >= to) continue;
            // Every block of its envelope that overlaps this one of the new sound.
            const std::vector<float> &theirs = envelopes[voice.id];
            long first = long(std::floor((from - voice.startedAt) / block));
            long last = long(std::floor((to - voice.startedAt) / block));
            float loudest = 0.0f;
            for (long k = first < 0 ? 0 : first; k <= last && k < long(theirs.size()); k++)
                loudest = std::fmax(loudest, theirs[size_t(k)]);
            others += double(voice.gain) * voice.heard * loudest;
        }
        double level = heard * mine[b];
        if (level > 0.0) room = std::fmin(room, (SOUND_CEILING - others) / level);
    }
    return float(std::fmax(0.0, room));
}

GaitSounds gaitStep(Gait &gait, float distance) {
    GaitSounds made = {false, false};
    gait.walked = float(double(gait.walked) + std::fabs(double(distance)));
    if (gait.walked < SOUND_STRIDE) return made;
    gait.walked = 0.0f;
    made.hoof = true;
    if (--gait.hoovesToGrunt > 0) return made;
    made.grunt = true;
    double draw = (gait.random.next() + 1.0) / 2.0;
    gait.hoovesToGrunt = SOUND_GRUNT_EVERY + int(draw * SOUND_GRUNT_SPREAD) % SOUND_GRUNT_SPREAD;
    return made;
}

// The listener's gain at the player's volume.
static float fullGain() {
    return SOUND_MASTER_GAIN * soundVolume;
}

static void tryDevice() {
    deviceTried = true;
    soundDeviceOpen = openSoundDevice(sounds);
    if (soundDeviceOpen) setListenerGain(fullGain());
    if (!soundDeviceOpen) fprintf(stderr, "grazewell: no sound device; playing without sound\n");
}

void initSound(bool muted, bool openDevice) {
    for (int id = 0; id < SOUND_COUNT; id++) {
        sounds[id] = synthesize(SoundId(id));
        envelopes[id] = soundEnvelope(sounds[id]);
        lastStart[id] = -1e9;
    }
    for (SoundVoice &voice : soundVoices)
        voice = {SOUND_HOOF, {0, 0, 0}, false, -1e9, -1e9, 0.0f, 0.0f};
    fadingSince = silentSince = -1.0;
    captionsShowing.clear();
    bisonGait = BISON_GAIT_AT_START;
    soundsStarted = 0;
    soundOn = !muted;
    deviceWanted = openDevice;
    deviceTried = false;
    soundDeviceOpen = false;
    if (soundOn && deviceWanted) tryDevice();
}

// Where a sound at place is heard from where the listener is now.
static Vector3 heardPlaceNow(Vector3 place) {
    bool narrowed = !(soundDeviceOpen && deviceUsesHrtf());
    return heardPlace(place, listenerPosition, listenerGaze, narrowed);
}

// Starts a sound (with its caption, when captioned), heard while sound is on.
static void start(SoundId id, Vector3 place, bool placed, bool captioned = true) {
    bool shown = captioned && captionsOn;
    if (!soundOn && !shown) return;
    double now = soundClock();
    if (now - lastStart[id] < soundMinimumGap(id)) return;
    lastStart[id] = now;
    if (shown) noteCaption(captionsShowing, id, place, placed, captionClock, soundSeconds(id));
    if (!soundOn) return;
    int voice = chooseVoice(soundVoices, now);
    Vector3 heard = placed ? heardPlaceNow(place) : Vector3{0.0f, 0.0f, 0.0f};
    double distance = std::sqrt(double(heard.x) * heard.x + double(heard.y) * heard.y +
                                double(heard.z) * heard.z);
    double level = SOUND_MASTER_GAIN * distanceGain(distance) *
                   (soundDeviceOpen && deviceUsesHrtf() ? HRTF_LOUDEST : 1.0);
    // The stolen voice no longer counts in the mix.
    soundVoices[voice].endsAt = -1e9;
    float gain = roomInTheMix(soundVoices, envelopes, id, level, now);
    soundVoices[voice] = {id, place, placed, now, now + soundSeconds(id), gain, float(level)};
    soundsStarted += 1;
    if (soundDeviceOpen) startVoice(voice, soundVoices[voice], heard);
}

void playAt(SoundId id, Vector3 place) {
    start(id, place, true);
}

void playPhrase(SoundId id) {
    start(id, {0.0f, 0.0f, 0.0f}, false);
}

// Silent for a while: now the voices can stop without a click, and the gain is back for later.
static void endFadeOut() {
    stopVoices();
    setListenerGain(fullGain());
    fadingSince = silentSince = -1.0;
}

void listenFrom(Vector3 position, Vector3 gaze) {
    listenerPosition = position;
    listenerGaze = gaze;
    if (!soundDeviceOpen) return;
    double now = soundClock();
    if (fadingSince >= 0.0) {
        double faded = (now - fadingSince) / SOUND_OFF_FADE;
        if (faded < 1.0) {
            // Lowered a little each frame: OpenAL eases each change over a few milliseconds only,
            // too short a fade for a loud low sound.
            setListenerGain(float(fullGain() * (1.0 - faded)));
        } else if (silentSince < 0.0) {
            // Down to nothing, and the voices left playing a while: a frame late on a busy
            // machine comes here straight from a gain well above it, which the mixer has to take
            // before anything is cut.
            setListenerGain(0.0f);
            silentSince = now;
        } else if (now - silentSince >= (SOUND_OFF_STOP - 1.0) * SOUND_OFF_FADE) {
            endFadeOut();
        }
    }
    if (!soundOn) return;
    for (int v = 0; v < SOUND_VOICES; v++)
        if (soundVoices[v].placed && soundVoices[v].endsAt > now)
            placeVoice(v, heardPlaceNow(soundVoices[v].place));
}

void toggleSound() {
    soundOn = !soundOn;
    if (!soundOn) {
        // Faded out rather than cut: the voices stop once the gain is down (listenFrom).
        if (soundDeviceOpen) fadingSince = soundClock();
        for (SoundVoice &voice : soundVoices) voice.endsAt = -1e9;
        return;
    }
    if (fadingSince >= 0.0) endFadeOut();
    if (deviceWanted && !deviceTried) tryDevice();
    listenFrom(listenerPosition, listenerGaze);
}

void setVolume(int percent, bool heard) {
    soundVolume = float(std::min(std::max(percent, 0), 100)) / 100.0f;
    // While a fade out runs its own gain goes on; the new one holds once it is over.
    if (soundDeviceOpen && fadingSince < 0.0) setListenerGain(fullGain());
    // The blip says how loud it is: nothing a caption could tell.
    if (heard) start(SOUND_PICK, {0.0f, 0.0f, 0.0f}, false, false);
}

void bisonWalked(Vector3 place, float distance) {
    if (!soundOn && !captionsOn) return;
    GaitSounds made = gaitStep(bisonGait, distance);
    if (made.hoof) playAt(SOUND_HOOF, place);
    if (made.grunt) playAt(SOUND_GRUNT, place);
}

void closeSound() {
    if (soundDeviceOpen) closeSoundDevice();
    soundDeviceOpen = false;
}

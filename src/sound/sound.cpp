#include "sound/sound.h"

#include "sound/device.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

SoundVoice soundVoices[SOUND_VOICES];
long soundsStarted = 0;
bool soundOn = false;
bool soundDeviceOpen = false;
Vector3 listenerPosition = {0.0f, 0.0f, 0.0f};
Vector3 listenerGaze = {0.0f, 0.0f, -1.0f};

// Every sound's samples, made once.
static std::vector<int16_t> sounds[SOUND_COUNT];
// When each sound last started (seconds on the sound clock).
static double lastStart[SOUND_COUNT];
// The device is to be opened the first time sound is on: at start-up, or at the toggle after
// --mute. Never twice: a missing device is reported once.
static bool deviceWanted = true;
static bool deviceTried = false;
static Gait bisonGait = {0.0f, SOUND_GRUNT_EVERY, {0x6a17a11u}};

// Seconds since start-up, on a clock that never goes back.
static double soundClock() {
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
    int first = 0;
    for (int v = 0; v < SOUND_VOICES; v++) {
        if (voices[v].endsAt <= now) return v;
        if (voices[v].startedAt < voices[first].startedAt) first = v;
    }
    return first;
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

static void tryDevice() {
    deviceTried = true;
    soundDeviceOpen = openSoundDevice(sounds);
    if (!soundDeviceOpen) fprintf(stderr, "grazewell: no sound device; playing without sound\n");
}

void initSound(bool muted, bool openDevice) {
    for (int id = 0; id < SOUND_COUNT; id++) {
        sounds[id] = synthesize(SoundId(id));
        lastStart[id] = -1e9;
    }
    for (SoundVoice &voice : soundVoices) voice = {SOUND_HOOF, {0, 0, 0}, false, -1e9, -1e9};
    soundsStarted = 0;
    soundOn = !muted;
    deviceWanted = openDevice;
    deviceTried = false;
    soundDeviceOpen = false;
    if (soundOn && deviceWanted) tryDevice();
}

static void start(SoundId id, Vector3 place, bool placed) {
    if (!soundOn) return;
    double now = soundClock();
    if (now - lastStart[id] < soundMinimumGap(id)) return;
    lastStart[id] = now;
    int voice = chooseVoice(soundVoices, now);
    soundVoices[voice] = {id, place, placed, now, now + soundSeconds(id)};
    soundsStarted += 1;
    if (soundDeviceOpen) startVoice(voice, soundVoices[voice]);
}

void playAt(SoundId id, Vector3 place) {
    start(id, place, true);
}

void playPhrase(SoundId id) {
    start(id, {0.0f, 0.0f, 0.0f}, false);
}

void listenFrom(Vector3 position, Vector3 gaze) {
    listenerPosition = position;
    listenerGaze = gaze;
    if (soundOn && soundDeviceOpen) placeListener(position, gaze, listenerUp(gaze));
}

void toggleSound() {
    soundOn = !soundOn;
    if (!soundOn) {
        if (soundDeviceOpen) stopVoices();
        for (SoundVoice &voice : soundVoices) voice.endsAt = -1e9;
        return;
    }
    if (deviceWanted && !deviceTried) tryDevice();
    listenFrom(listenerPosition, listenerGaze);
}

void bisonWalked(Vector3 place, float distance) {
    if (!soundOn) return;
    GaitSounds made = gaitStep(bisonGait, distance);
    if (made.hoof) playAt(SOUND_HOOF, place);
    if (made.grunt) playAt(SOUND_GRUNT, place);
}

void closeSound() {
    if (soundDeviceOpen) closeSoundDevice();
    soundDeviceOpen = false;
}

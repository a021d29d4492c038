// Sound: the game's events heard where they happen, through OpenAL. The listener is the camera.
// Food, bison and app call in here; this room calls none of them. With no sound device, or
// muted, every call is cheap and silent; nothing here ever waits on the device.
#pragma once

#include "sound/synth.h"
#include "types.h"

// One of the fixed pool of voices (OpenAL sources): what it last started, and where.
struct SoundVoice {
    SoundId id;       // the sound it plays or last played
    Vector3 place;    // world units; unused when not placed
    bool placed;      // false for a phrase heard the same from everywhere
    double startedAt; // seconds on the sound clock; negative when it never played
    double endsAt;    // seconds on the sound clock when its sound is over
};

// Voices in the pool: more than ever sound at once in play, so one is stolen only in a storm.
const int SOUND_VOICES = 16;
// The pool. A voice is reused once its sound is over; when all are busy, the one that started
// first is taken.
extern SoundVoice soundVoices[SOUND_VOICES];
// Sounds started since start-up (a count; only grows).
extern long soundsStarted;
// Sound is on: false with --mute or after the toggle key turned it off.
extern bool soundOn;
// A sound device is open and playing what starts.
extern bool soundDeviceOpen;
// Where the listener is and the way it faces (world units; the camera's position and gaze).
extern Vector3 listenerPosition, listenerGaze;

// At this distance a placed sound is heard at full strength, and at twice it at half (world
// units).
const float SOUND_NEAR = 6.0f;
// Beyond this distance a placed sound grows no fainter (world units): the bison stays audible
// from anywhere in the meadow.
const float SOUND_FAR = 300.0f;
// The bison's walk: one hoof each SOUND_STRIDE world units walked.
const float SOUND_STRIDE = 0.9f;
// A grunt after this many hooves at least, and up to SOUND_GRUNT_SPREAD - 1 more.
const int SOUND_GRUNT_EVERY = 14;
const int SOUND_GRUNT_SPREAD = 20;

// Makes the sounds and, unless muted or openDevice is false, opens the sound device; with none
// it says so in one line on standard error and plays silently. Once, at start-up.
void initSound(bool muted, bool openDevice = true);
// Starts sound id at place (world units) unless sound is off or the same sound started too
// short a while ago (a frame rate of thousands would otherwise run a hoof into a drone).
void playAt(SoundId id, Vector3 place);
// Starts sound id heard the same from everywhere (the won and lost phrases).
void playPhrase(SoundId id);
// Puts the listener at position facing along gaze (the camera's direction); every frame.
void listenFrom(Vector3 position, Vector3 gaze);
// Turns sound off (stopping what plays) or back on; the first time on after --mute opens the
// device.
void toggleSound();
// The bison walked distance world units and stands at place: a hoof each stride, and a grunt
// now and then.
void bisonWalked(Vector3 place, float distance);
// Closes the device, so that what it wrote is complete; at exit.
void closeSound();

// The steps of a walk: hooves and grunts, from distance walked and a PRNG of its own.
struct Gait {
    float walked;       // world units since the last hoof
    int hoovesToGrunt;  // hooves left before the next grunt
    NoiseSource random; // draws the gap between grunts
};
// What one step of a walk makes.
struct GaitSounds {
    bool hoof, grunt;
};
// Advances gait by distance walked (world units).
GaitSounds gaitStep(Gait &gait, float distance);

// The voice to start a sound in at time now (seconds): the first one whose sound is over, else
// the one that started first.
int chooseVoice(const SoundVoice voices[SOUND_VOICES], double now);
// The shortest time between two starts of the same sound (seconds), 0 for none.
double soundMinimumGap(SoundId id);
// The listener's up vector for a gaze: world up made square to the gaze (unit length).
Vector3 listenerUp(Vector3 gaze);
// Seconds that sound id lasts.
double soundSeconds(SoundId id);

// Sound: the game's events heard where they happen, through OpenAL. The listener is the camera.
// Food, bison and app call in here; this room calls none of them. With no sound device, or
// muted, every call is cheap and silent; nothing here ever waits on the device.
#pragma once

#include "sound/synth.h"
#include "types.h"

#include <vector>

// One of the fixed pool of voices (OpenAL sources): what it last started, and where.
struct SoundVoice {
    SoundId id;       // the sound it plays or last played
    Vector3 place;    // world units; unused when not placed
    bool placed;      // false for a phrase heard the same from everywhere
    double startedAt; // seconds on the sound clock; negative when it never played
    double endsAt;    // seconds on the sound clock when its sound is over
    float gain;       // its own gain out of 1: less only where it would have pushed the mix past
                      // SOUND_CEILING
    float heard;      // what a channel of the mix takes of it at full gain, out of 1 (master and
                      // distance gains at its start)
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
// Loudness of everything heard, out of 1: the player's volume. The listener's gain is
// SOUND_MASTER_GAIN times it.
extern float soundVolume;
// A sound device is open and playing what starts.
extern bool soundDeviceOpen;
// Where the listener is and the way it faces (world units; the camera's position and gaze).
extern Vector3 listenerPosition, listenerGaze;
// The clock the sounds are timed by (their voices, the least gap between two of one sound), in
// seconds, when it is not the real one (a monotonic clock from start-up): a test's own, that gives
// the game's time. nullptr for the real one.
extern double (*soundClockSource)();

// At this distance a placed sound is heard at full strength, and at twice it at half (world
// units).
const float SOUND_NEAR = 6.0f;
// Beyond this distance a placed sound grows no fainter (world units): the bison stays audible
// from anywhere in the meadow.
const float SOUND_FAR = 300.0f;
// The loudest a channel of the mix may be, out of full scale (-1.5 dBFS): a sound that would push
// the mix past it is started softer.
const double SOUND_CEILING = 0.84;
// Strength of everything heard, out of 1 (the listener's gain).
const float SOUND_MASTER_GAIN = 0.8f;
// Widest angle off the gaze a sound is placed at in plain stereo (radians): OpenAL Soft's stereo
// pans a sound beyond about 50 degrees into one channel alone; at this angle, where a sound
// straight to one side is placed, the far channel is about 15 dB below the near one.
const double SOUND_WIDEST = 35.0 * PI_D / 180.0;
// Seconds that sound fades over when the toggle key turns it off, before the voices stop.
const double SOUND_OFF_FADE = 0.1;
// When the voices stop after the toggle key, in fades: the gain is at 0 a while first (from the
// frame that set it, however late that came), so that the mixer has taken it before anything is
// cut.
const double SOUND_OFF_STOP = 1.5;
// Samples in a block of a sound's envelope (10 ms).
const int SOUND_ENVELOPE_BLOCK = SOUND_RATE / 100;
// The bison's walk: one hoof each SOUND_STRIDE world units walked.
const float SOUND_STRIDE = 0.9f;
// A grunt after this many hooves at least, and up to SOUND_GRUNT_SPREAD - 1 more.
const int SOUND_GRUNT_EVERY = 14;
const int SOUND_GRUNT_SPREAD = 20;

// Makes the sounds and, unless muted or openDevice is false, opens the sound device; with none
// it says so in one line on standard error and plays silently. Once, at start-up.
void initSound(bool muted, bool openDevice = true);
// Starts sound id at place (world units) unless sound is off or the same sound started too
// short a while ago (a frame rate of thousands would otherwise run a hoof into a drone). Its
// caption is noted (captions.h) while captions are on, whether sound is on or not.
void playAt(SoundId id, Vector3 place);
// Starts sound id heard the same from everywhere (the won and lost phrases), with its caption.
void playPhrase(SoundId id);
// Puts the listener at position facing along gaze (the camera's direction); every frame.
void listenFrom(Vector3 position, Vector3 gaze);
// Turns sound off (stopping what plays) or back on; the first time on after --mute opens the
// device.
void toggleSound();
// Sets the volume to percent (0 to 100) of full; with heard set, a short blip says how loud it
// now is (when sound is on).
void setVolume(int percent, bool heard);
// The bison walked distance world units and stands at place: a hoof each stride, and a grunt
// now and then (heard, or captioned).
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

// The voice to start a sound in at time now (seconds): the one whose sound has been over the
// longest, else the one that started first.
int chooseVoice(const SoundVoice voices[SOUND_VOICES], double now);
// The shortest time between two starts of the same sound (seconds), 0 for none.
double soundMinimumGap(SoundId id);
// The listener's up vector for a gaze: world up made square to the gaze (unit length).
Vector3 listenerUp(Vector3 gaze);
// Seconds that sound id lasts.
double soundSeconds(SoundId id);
// Where a sound at place is heard by a listener at listener facing along gaze: in the listener's
// own frame (x right, y up, -z ahead, world units), at the same distance. Narrowed (plain
// stereo), it is turned toward the gaze so that it lies at most SOUND_WIDEST off it, in front.
Vector3 heardPlace(Vector3 place, Vector3 listener, Vector3 gaze, bool narrowed);
// The gain of a sound at distance (world units): 1 within SOUND_NEAR, SOUND_NEAR / distance out
// to SOUND_FAR, constant beyond (OpenAL's clamped inverse distance, rolloff 1).
double distanceGain(double distance);
// The loudest each envelope block of sound id is, out of full scale.
std::vector<float> soundEnvelope(const std::vector<int16_t> &samples);
// The gain a new sound may start at so that, added to what voices already play (each at its
// loudest, in one channel), the mix stays at or below SOUND_CEILING: 1 when there is room. heard
// is what the mix takes of the new sound at full gain (distance and master gain), now the time.
float roomInTheMix(const SoundVoice voices[SOUND_VOICES], const std::vector<float> envelopes[],
                   SoundId id, double heard, double now);

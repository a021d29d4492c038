#include "sound/device.h"

#include "platform/platform.h"

#include <AL/al.h>
#include <AL/alc.h>

static ALCdevice *device = nullptr;
static ALCcontext *context = nullptr;
static ALuint buffers[SOUND_COUNT];
static ALuint sources[SOUND_VOICES];

// Strength of everything heard, out of 1: a little headroom for several sounds at once.
static const float MASTER_GAIN = 0.8f;

static void releaseContext() {
    alcMakeContextCurrent(nullptr);
    if (context) alcDestroyContext(context);
    if (device) alcCloseDevice(device);
    context = nullptr;
    device = nullptr;
}

bool openSoundDevice(const std::vector<int16_t> sounds[SOUND_COUNT]) {
    // Where there is no device, OpenAL's backends and the libraries under them (ALSA's above
    // all) each print a page of why; the one line the game prints says all of it.
    setEnvironmentDefault("ALSOFT_LOGLEVEL", "0");
    int saved = hushStandardError();
    device = alcOpenDevice(nullptr);
    if (device) context = alcCreateContext(device, nullptr);
    restoreStandardError(saved);
    if (!device || !context || !alcMakeContextCurrent(context)) {
        releaseContext();
        return false;
    }
    alGenBuffers(SOUND_COUNT, buffers);
    for (int id = 0; id < SOUND_COUNT; id++)
        alBufferData(buffers[id], AL_FORMAT_MONO16, sounds[id].data(),
                     ALsizei(sounds[id].size() * sizeof(int16_t)), SOUND_RATE);
    alGenSources(SOUND_VOICES, sources);
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    for (ALuint source : sources) {
        alSourcef(source, AL_REFERENCE_DISTANCE, SOUND_NEAR);
        alSourcef(source, AL_MAX_DISTANCE, SOUND_FAR);
        alSourcef(source, AL_ROLLOFF_FACTOR, 1.0f);
    }
    alListenerf(AL_GAIN, MASTER_GAIN);
    if (alGetError() != AL_NO_ERROR) {
        closeSoundDevice();
        return false;
    }
    return true;
}

void startVoice(int voice, const SoundVoice &what) {
    ALuint source = sources[voice];
    // A stolen voice may still play; a source takes a new buffer only when stopped.
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, ALint(buffers[what.id]));
    alSourcei(source, AL_SOURCE_RELATIVE, what.placed ? AL_FALSE : AL_TRUE);
    if (what.placed)
        alSource3f(source, AL_POSITION, what.place.x, what.place.y, what.place.z);
    else
        alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcePlay(source);
}

void stopVoices() {
    alSourceStopv(SOUND_VOICES, sources);
}

void placeListener(Vector3 position, Vector3 at, Vector3 up) {
    alListener3f(AL_POSITION, position.x, position.y, position.z);
    const ALfloat orientation[6] = {at.x, at.y, at.z, up.x, up.y, up.z};
    alListenerfv(AL_ORIENTATION, orientation);
}

void closeSoundDevice() {
    if (!device) return;
    if (context) {
        alSourceStopv(SOUND_VOICES, sources);
        alDeleteSources(SOUND_VOICES, sources);
        alDeleteBuffers(SOUND_COUNT, buffers);
    }
    releaseContext();
}

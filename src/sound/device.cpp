#include "sound/device.h"

#include "platform/platform.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

static ALCdevice *device = nullptr;
static ALCcontext *context = nullptr;
static ALuint buffers[SOUND_COUNT];
static ALuint sources[SOUND_VOICES];

static bool hrtf = false;

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
    alListenerf(AL_GAIN, SOUND_MASTER_GAIN);
    // The listener stays at the origin facing -z: the voices are placed in its frame.
    alListener3f(AL_POSITION, 0.0f, 0.0f, 0.0f);
    const ALfloat facing[6] = {0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f};
    alListenerfv(AL_ORIENTATION, facing);
    ALCint usesHrtf = ALC_FALSE;
    if (alcIsExtensionPresent(device, "ALC_SOFT_HRTF"))
        alcGetIntegerv(device, ALC_HRTF_SOFT, 1, &usesHrtf);
    hrtf = usesHrtf == ALC_TRUE;
    if (alGetError() != AL_NO_ERROR) {
        closeSoundDevice();
        return false;
    }
    return true;
}

bool deviceUsesHrtf() {
    return hrtf;
}

void startVoice(int voice, const SoundVoice &what, Vector3 heard) {
    ALuint source = sources[voice];
    // A stolen voice may still play; a source takes a new buffer only when stopped.
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, ALint(buffers[what.id]));
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSourcef(source, AL_GAIN, what.gain);
    alSource3f(source, AL_POSITION, heard.x, heard.y, heard.z);
    alSourcePlay(source);
}

void placeVoice(int voice, Vector3 heard) {
    alSource3f(sources[voice], AL_POSITION, heard.x, heard.y, heard.z);
}

void setListenerGain(float gain) {
    alListenerf(AL_GAIN, gain);
}

void stopVoices() {
    alSourceStopv(SOUND_VOICES, sources);
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

// The device layer of a build without OpenAL (a Windows build whose dependencies lacked it): there
// is never a device, so the game says so once and plays silently.
#include "sound/device.h"

bool openSoundDevice(const std::vector<int16_t>[SOUND_COUNT]) {
    return false;
}
bool deviceUsesHrtf() {
    return false;
}
void startVoice(int, const SoundVoice &, Vector3) {}
void placeVoice(int, Vector3) {}
void setListenerGain(float) {}
void stopVoices() {}
void closeSoundDevice() {}

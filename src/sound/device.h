// The sound room's thin layer over OpenAL: a device, a buffer per sound, a source per voice and
// the listener. Only sound.cpp calls it; none of these calls waits on the device.
#pragma once

#include "sound/sound.h"

#include <cstdint>
#include <vector>

// Opens the default device with OpenAL's own complaints kept off standard error, makes the
// buffers from sounds (one per SoundId) and the pool's sources; false when there is no device.
bool openSoundDevice(const std::vector<int16_t> sounds[SOUND_COUNT]);
// True when OpenAL renders through HRTF (for headphones, as the user's OpenAL settings or its
// detection of headphones chose): sounds are then placed where they are, not narrowed.
bool deviceUsesHrtf();
// Starts voice with its recorded sound at its gain, at heard in the listener's frame.
void startVoice(int voice, const SoundVoice &what, Vector3 heard);
// Moves a playing voice to heard in the listener's frame.
void placeVoice(int voice, Vector3 heard);
// Sets the listener's gain; OpenAL ramps to it over its next update, a fade.
void setListenerGain(float gain);
// Stops every voice.
void stopVoices();
// Releases sources, buffers, context and device.
void closeSoundDevice();

// The sound room's thin layer over OpenAL: a device, a buffer per sound, a source per voice and
// the listener. Only sound.cpp calls it; none of these calls waits on the device.
#pragma once

#include "sound/sound.h"

#include <cstdint>
#include <vector>

// Opens the default device with OpenAL's own complaints kept off standard error, makes the
// buffers from sounds (one per SoundId) and the pool's sources; false when there is no device.
bool openSoundDevice(const std::vector<int16_t> sounds[SOUND_COUNT]);
// Starts voice with its recorded sound, placed or heard the same from everywhere.
void startVoice(int voice, const SoundVoice &what);
// Stops every voice.
void stopVoices();
// Places the listener at position facing at, with up its up.
void placeListener(Vector3 position, Vector3 at, Vector3 up);
// Releases sources, buffers, context and device.
void closeSoundDevice();

// The mix kept under its ceiling where it counts: sounds started through the game's own path take
// the gain the limiter gives them, so that the loudest moment of several at once stays below it.
#include "sound/sound.h"
#include "sound/synth.h"

#include "support/gl_env.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace {

TEST(SoundMix, ABlastTheLostPhraseAndAThudStartedTogetherStayUnderTheCeiling) {
    startWorld();
    initSound(false, false); // sound on, no device: the voices are only bookkept
    Vector3 here = {0.0f, 1.75f, 0.0f};
    listenFrom(here, {0.0f, 0.0f, -1.0f});
    // The loudest pile-up the game makes: a bomb on the body at the listener's feet, the lost
    // screen's phrase, and a thud, all in one frame.
    playAt(SOUND_BLAST, here);
    playPhrase(SOUND_LOST);
    playAt(SOUND_THUD, here);

    std::vector<SoundVoice> voices;
    for (const SoundVoice &voice : soundVoices)
        if (voice.startedAt > -1e8) voices.push_back(voice);
    ASSERT_EQ(voices.size(), 3u);
    std::vector<float> envelopes[SOUND_COUNT];
    for (const SoundVoice &voice : voices)
        envelopes[voice.id] = soundEnvelope(synthesize(voice.id));

    // Block by block from the first start to the last end: each voice's envelope at its gain and
    // the strength it is heard at, summed as a channel of the mix takes them.
    const double block = double(SOUND_ENVELOPE_BLOCK) / SOUND_RATE;
    double first = voices[0].startedAt, last = voices[0].endsAt;
    for (const SoundVoice &voice : voices) {
        first = std::min(first, voice.startedAt);
        last = std::max(last, voice.endsAt);
    }
    double loudest = 0.0, unlimited = 0.0;
    for (double at = first; at < last; at += block / 2) {
        double sum = 0.0, sumAtFullGain = 0.0;
        for (const SoundVoice &voice : voices) {
            long k = long((at - voice.startedAt) / block);
            const std::vector<float> &envelope = envelopes[voice.id];
            if (k < 0 || k >= long(envelope.size())) continue;
            sum += double(voice.gain) * voice.heard * envelope[size_t(k)];
            sumAtFullGain += double(voice.heard) * envelope[size_t(k)];
        }
        loudest = std::max(loudest, sum);
        unlimited = std::max(unlimited, sumAtFullGain);
    }
    // The three at full gain would go past the ceiling: the case is one the limiter must act in.
    EXPECT_GT(unlimited, SOUND_CEILING);
    EXPECT_LE(loudest, SOUND_CEILING + 1e-6);
    // Something is still heard: the limiter softens, it does not silence.
    EXPECT_GT(loudest, SOUND_CEILING / 2);
}

} // namespace

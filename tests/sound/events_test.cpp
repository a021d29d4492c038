// Each event of the game starts its sound where it happens, the listener follows the camera, and
// a muted game starts nothing. In process, without a device: the pool records what it started.
#include "sound/sound.h"

#include "app/app.h"
#include "app/loop.h"
#include "bison/bison.h"
#include "camera/camera.h"
#include "food/feeding.h"
#include "food/food.h"
#include "food/pick.h"
#include "game.h"
#include "support/gl_env.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

namespace {

const int ORANGE = 0, BOMB = 2, MARBLE = 3, CLOUD = 16;

class Heard : public ::testing::Test {
  protected:
    void SetUp() override {
        startWorld();
        bison->wandering = false;
        bison->position = {10.0f, 1.75f, -20.0f};
        bison->heading = 0.0f;
        foodFed = 0;
        gameState = STATE_PLAYING;
        fresh(false);
    }
    // A fresh pool: what is started from here on is all there is in it.
    void fresh(bool muted) { initSound(muted, false); }
    std::vector<SoundVoice> started() {
        std::vector<SoundVoice> voices;
        for (const SoundVoice &voice : soundVoices)
            if (voice.startedAt > -1e8) voices.push_back(voice);
        std::sort(voices.begin(), voices.end(), [](const SoundVoice &a, const SoundVoice &b) {
            return a.startedAt < b.startedAt;
        });
        return voices;
    }
    Food *flying(int index, Vector3 at) {
        Food *food = foods[index];
        food->state = FOOD_FLYING;
        food->position = at;
        food->direction = {0.6f, 0.0f, -0.8f};
        return food;
    }
    // The one sound started since the pool was fresh, at place.
    void expectOnly(SoundId id, Vector3 place, const char *what) {
        std::vector<SoundVoice> voices = started();
        ASSERT_EQ(voices.size(), 1u) << what;
        expectVoice(voices[0], id, place, what);
    }
    static void expectVoice(const SoundVoice &voice, SoundId id, Vector3 place, const char *what) {
        EXPECT_EQ(voice.id, id) << what;
        EXPECT_TRUE(voice.placed) << what;
        EXPECT_FLOAT_EQ(voice.place.x, place.x) << what;
        EXPECT_FLOAT_EQ(voice.place.y, place.y) << what;
        EXPECT_FLOAT_EQ(voice.place.z, place.z) << what;
    }
};

TEST_F(Heard, EachFoodOnTheHeadAndOnTheBodyIsHeardWhereItStrikes) {
    const Vector3 head = sphereCentre(0, bison->position, bison->heading);
    const Vector3 body = sphereCentre(2, bison->position, bison->heading);
    CaptureStdout();
    checkFeeding(flying(ORANGE, head));
    expectOnly(SOUND_MUNCH, head, "an orange on the head");
    fresh(false);
    checkFeeding(flying(MARBLE, head));
    expectOnly(SOUND_SHIMMER, bison->position, "a marble on the head");
    fresh(false);
    Vector3 before = bison->position;
    checkFeeding(flying(CLOUD, head));
    expectOnly(SOUND_LIFT, bison->position, "a cloud on the head");
    EXPECT_GT(bison->position.y, before.y) << "heard where it was lifted to";
    fresh(false);
    checkFeeding(flying(ORANGE, body));
    expectOnly(SOUND_THUD, body, "an orange on the body");
    fresh(false);
    checkFeeding(flying(BOMB, body));
    std::vector<SoundVoice> voices = started();
    ASSERT_EQ(voices.size(), 2u) << "a bomb on the body thuds and goes off";
    expectVoice(voices[0], SOUND_THUD, body, "the bomb's thud");
    expectVoice(voices[1], SOUND_BLAST, bison->position, "the bomb's blast");
    // Still inside the body the next frames, it strikes again: heard once all the same.
    checkFeeding(foods[BOMB]);
    checkFeeding(foods[BOMB]);
    EXPECT_EQ(started().size(), 2u) << "one thud and one blast for one bomb";
    GetCapturedStdout();
}

TEST_F(Heard, ABombBlastsWithItsFlashAndTheBisonIsHeardFallingWhereItStood) {
    CaptureStdout();
    checkFeeding(flying(BOMB, sphereCentre(0, bison->position, bison->heading)));
    GetCapturedStdout();
    EXPECT_EQ(flashRadius, FLASH_START_RADIUS);
    expectOnly(SOUND_BLAST, bison->position, "the bomb");
    fresh(false);
    while (!bombFalling) updateBombLaunch();
    expectOnly(SOUND_FALL, {bison->position.x, BISON_STAND_HEIGHT, bison->position.z}, "the fall");
    fresh(false);
    while (bombLaunch) updateBombLaunch();
    EXPECT_TRUE(started().empty()) << "one fall a launch";
}

// The pick and the throw are heard at the hand, where the food comes to and leaves from, at one
// loudness wherever the food lay.
TEST_F(Heard, APickAndAThrowAreHeardAtTheHandWhereverTheFoodLay) {
    camera->position = {-8.0f, 1.75f, -8.0f};
    camera->direction = {0.0f, 0.1f, -1.0f};
    listenFrom(camera->position, camera->direction); // as each frame does
    const Vector3 hand = heldPoint();
    for (int index : {ORANGE, CLOUD}) { // by the first tree, and forty units off
        foods[index]->state = FOOD_HOME;
        foods[index]->position = foods[index]->home;
        fresh(false);
        listenFrom(camera->position, camera->direction);
        takeIntoHand(index);
        expectOnly(SOUND_PICK, hand, "the pick");
        EXPECT_EQ(started()[0].heard, SOUND_MASTER_GAIN) << "at full strength";
    }
    fresh(false);
    drawFoods(); // puts the held foods at the held point
    CaptureStdout();
    throwHeld();
    GetCapturedStdout();
    expectOnly(SOUND_THROW, hand, "the throw");
}

TEST_F(Heard, TheBisonSnortsWithEachNodAndItsHoovesAreHeardWhereItWalks) {
    bison->wantedNods = 1;
    bison->nodCount = 0;
    while (bison->wantedNods != -1) bison->nod();
    expectOnly(SOUND_SNORT, bison->position, "the nod");

    fresh(false);
    bison->wandering = true;
    CaptureStdout();
    for (int frame = 0; frame < 1000 && started().empty(); frame++) bison->wander();
    GetCapturedStdout();
    expectOnly(SOUND_HOOF, bison->position, "the first hoof, in the frame of its stride");
}

TEST_F(Heard, TheListenerFollowsTheCameraEveryFrameAndTheOutcomeIsHeardOnce) {
    camera->position = {3.0f, CAMERA_EYE_HEIGHT, -4.0f};
    camera->direction = {0.6f, 0.1f, 0.8f};
    CaptureStdout();
    onDisplay();
    EXPECT_FLOAT_EQ(listenerPosition.x, 3.0f);
    EXPECT_FLOAT_EQ(listenerPosition.z, -4.0f);
    EXPECT_FLOAT_EQ(listenerGaze.x, 0.6f);
    EXPECT_FLOAT_EQ(listenerGaze.y, 0.1f);
    EXPECT_FLOAT_EQ(listenerGaze.z, 0.8f);

    fresh(false);
    foodFed = WIN_SCORE;
    onDisplay();
    onDisplay();
    GetCapturedStdout();
    std::vector<SoundVoice> voices = started();
    ASSERT_EQ(voices.size(), 1u) << "the won phrase, once";
    EXPECT_EQ(voices[0].id, SOUND_WON);
    EXPECT_FALSE(voices[0].placed) << "heard the same from everywhere";
}

TEST_F(Heard, AMutedGameStartsNone) {
    fresh(true);
    CaptureStdout();
    takeIntoHand(ORANGE);
    throwHeld();
    checkFeeding(flying(BOMB, sphereCentre(0, bison->position, bison->heading)));
    while (bombLaunch) updateBombLaunch();
    bison->wantedNods = 2;
    bison->nodCount = 0;
    bison->wandering = true;
    for (int frame = 0; frame < 2000; frame++) bison->update();
    foodFed = LOSE_SCORE;
    onDisplay();
    GetCapturedStdout();
    EXPECT_EQ(soundsStarted, 0);
    EXPECT_TRUE(started().empty());
}

} // namespace

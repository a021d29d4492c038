// The world's checksum sees the least change anywhere in what decides the game, and the world's
// rules name each way of breaking them.
#include "app/world_check.h"

#include "bison/bison.h"
#include "camera/camera.h"
#include "food/feeding.h"
#include "food/food.h"
#include "food/pick.h"
#include "game.h"
#include "support/gl_env.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace {

// The next float up: the least change a float can take.
void ulp(float &f) {
    f = std::nextafter(f, std::numeric_limits<float>::infinity());
}

// A world with something in every part: playing, two foods in the hand, one in flight.
void busyWorld() {
    startWorld();
    gameState = STATE_PLAYING;
    foodFed = 3;
    handCount = 0;
    for (Food *food : foods) food->state = FOOD_HOME;
    takeIntoHand(4);
    takeIntoHand(9);
    foods[2]->state = FOOD_FLYING;
    foods[2]->speed = {0.5f, 0.1f, 0.5f};
    foods[2]->direction = {0.6f, 0.2f, -0.8f};
    lastThrownIndex = 2;
}

TEST(WorldCheck, TheChecksumSeesOneUlpAnywhereAndStaysForTheSameWorld) {
    busyWorld();
    uint32_t base = worldChecksum();
    EXPECT_EQ(worldChecksum(), base) << "the same world, the same checksum";

    // Each changes one thing and gives it back by being run on a copy of the world's value.
    struct Change {
        const char *what;
        std::function<void()> change;
    };
    std::vector<Change> changes = {
        {"state", [] { gameState = STATE_WON; }},
        {"score", [] { foodFed += 1; }},
        {"camera x", [] { ulp(camera->position.x); }},
        {"camera y", [] { ulp(camera->position.y); }},
        {"camera z", [] { ulp(camera->position.z); }},
        {"camera yaw", [] { ulp(camera->yaw); }},
        {"camera gaze x", [] { ulp(camera->direction.x); }},
        {"camera gaze y", [] { ulp(camera->direction.y); }},
        {"camera gaze z", [] { ulp(camera->direction.z); }},
        {"camera's last move", [] { camera->moveSign = -camera->moveSign; }},
        {"bison x", [] { ulp(bison->position.x); }},
        {"bison y", [] { ulp(bison->position.y); }},
        {"bison z", [] { ulp(bison->position.z); }},
        {"bison heading", [] { ulp(bison->heading); }},
        {"bison base angle", [] { ulp(bison->baseAngle); }},
        {"bison target", [] { ulp(bison->targetHeading); }},
        {"bison steering", [] { bison->turnPositive = !bison->turnPositive; }},
        {"bison direction x", [] { ulp(bison->dirX); }},
        {"bison direction z", [] { ulp(bison->dirZ); }},
        {"bison leg steps", [] { ulp(bison->stepCount); }},
        {"bison leg length", [] { ulp(bison->legLength); }},
        {"bison speed", [] { ulp(bison->speed); }},
        {"bison nod", [] { ulp(bison->nodAngle); }},
        {"bison nodding down", [] { bison->nodLowering = !bison->nodLowering; }},
        {"bison nods", [] { bison->nodCount += 1; }},
        {"bison nods wanted", [] { bison->wantedNods += 1; }},
        {"bison wandering", [] { bison->wandering = !bison->wandering; }},
        {"bison coat", [] { bison->lava = !bison->lava; }},
        {"bison tint", [] { bison->color[1] ^= 1; }},
        {"bomb launch", [] { bombLaunch = !bombLaunch; }},
        {"bomb falling", [] { bombFalling = !bombFalling; }},
        {"bomb first fall", [] { bombFirstFall = !bombFirstFall; }},
        {"flash", [] { flashActive = !flashActive; }},
        {"flash radius", [] { flashRadius += 1; }},
        {"a food's state", [] { foods[19]->state = FOOD_FLYING; }},
        {"a food's ground timer", [] { foods[7]->groundTimer -= 1; }},
        {"a flying food's x", [] { ulp(foods[2]->position.x); }},
        {"a flying food's y", [] { ulp(foods[2]->position.y); }},
        {"a flying food's z", [] { ulp(foods[2]->position.z); }},
        {"a flying food's speed", [] { ulp(foods[2]->speed.y); }},
        {"a flying food's direction", [] { ulp(foods[2]->direction.z); }},
        {"a food against the body", [] { foods[2]->touchingBody = !foods[2]->touchingBody; }},
        {"the last food's x", [] { ulp(foods[19]->position.x); }},
        {"the hand's order", [] { std::swap(hand[0], hand[1]); }},
        {"the hand's count", [] { handCount -= 1; }},
        {"the hand's top", [] { heldIndex = 4; }},
        {"holding", [] { holding = !holding; }},
        {"the last thrown", [] { lastThrownIndex = 5; }},
    };
    for (const Change &c : changes) {
        busyWorld();
        // Saved whole, so that every change is undone exactly.
        Camera savedCamera = *camera;
        Bison savedBison = *bison;
        std::vector<Food> savedFoods;
        for (Food *food : foods) savedFoods.push_back(*food);
        int savedHand[FOOD_COUNT];
        std::copy(hand, hand + FOOD_COUNT, savedHand);
        int savedCount = handCount, savedHeld = heldIndex, savedThrown = lastThrownIndex;
        bool savedHolding = holding, savedLaunch = bombLaunch, savedFalling = bombFalling,
             savedFirst = bombFirstFall, savedFlash = flashActive;
        int savedRadius = flashRadius;
        ASSERT_EQ(worldChecksum(), base) << c.what;

        c.change();
        EXPECT_NE(worldChecksum(), base) << c.what << " changed, the checksum did not";

        *camera = savedCamera;
        *bison = savedBison;
        for (int i = 0; i < FOOD_COUNT; i++) *foods[i] = savedFoods[size_t(i)];
        std::copy(savedHand, savedHand + FOOD_COUNT, hand);
        handCount = savedCount;
        heldIndex = savedHeld;
        lastThrownIndex = savedThrown;
        holding = savedHolding;
        bombLaunch = savedLaunch;
        bombFalling = savedFalling;
        bombFirstFall = savedFirst;
        flashActive = savedFlash;
        flashRadius = savedRadius;
    }
    busyWorld();
    EXPECT_EQ(worldChecksum(), base) << "the world given back, its checksum is back";
    // What does not decide the game leaves the checksum alone.
    showSpheres = !showSpheres;
    hand[FOOD_COUNT - 1] = 17; // beyond the hand's count
    EXPECT_EQ(worldChecksum(), base);
    showSpheres = !showSpheres;
}

// Each room puts its own state back for a test: a world played with and reset hashes as the world
// initWorld made, and so does every test's world before it begins, whatever ran before it.
TEST(WorldCheck, AWorldResetForATestHashesAsTheFreshlyStartedOne) {
    startWorld();
    EXPECT_EQ(worldChecksum(), startedWorldChecksum()) << "this test began from another world";
    busyWorld();
    foods[2]->position = {4.0f, 2.0f, 1.0f};
    bison->position.y = 12.0f;
    bison->wantedNods = 3;
    bombLaunch = true;
    bombFalling = true;
    bombFirstFall = false;
    flashActive = true;
    flashRadius = 4;
    camera->move(true, CAMERA_WALK_STEP);
    camera->turn(true);
    heldIndex = 9;
    holding = true;
    ASSERT_NE(worldChecksum(), startedWorldChecksum());
    freshWorld();
    EXPECT_EQ(worldChecksum(), startedWorldChecksum());
}

TEST(WorldCheck, EveryBrokenRuleIsNamed) {
    busyWorld();
    ASSERT_EQ(worldInvariantFaults(), std::vector<std::string>()) << "a sound world";
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char *what;
        std::function<void()> breakIt;
        const char *fault; // "" when the rule still holds
    } cases[] = {
        {"camera at the fence",
         [] {
             camera->position = {137.0f, 1.75f, 0.0f};
         },
         "the camera is outside the fence"},
        {"camera just inside",
         [] {
             camera->position = {0.0f, 1.75f, -136.99f};
         },
         ""},
        {"camera gaze lost", [nan] { camera->direction.y = nan; }, "the camera is not finite"},
        {"camera yaw lost", [inf] { camera->yaw = inf; }, "the camera is not finite"},
        {"bison past its slack",
         [] {
             bison->position = {0.0f, 1.75f, 138.5f};
         },
         "the bison is outside the fence"},
        {"bison a step past the fence",
         [] {
             bison->position = {137.1f, 1.75f, 0.0f};
         },
         ""},
        {"bison high after a bomb", [] { bison->position.y = 30.0f; }, ""},
        {"bison lost", [nan] { bison->position.x = nan; }, "the bison is not finite"},
        {"bison heading lost", [inf] { bison->heading = -inf; }, "the bison is not finite"},
        {"a food in no state", [] { foods[3]->state = FoodState(3); },
         "food 3 (marble) is in no state: 3"},
        {"a food lost", [inf] { foods[2]->position.y = inf; }, "food 2 (bomb) is not finite"},
        {"a food's speed lost", [nan] { foods[2]->speed.x = nan; }, "is not finite"},
        {"a held food out of the hand", [] { foods[11]->state = FOOD_HELD; },
         "food 11 is held but not in the hand"},
        {"a food in the hand not held", [] { foods[9]->state = FOOD_FLYING; },
         "food 9 is in the hand but not held"},
        {"a food twice in the hand",
         [] {
             hand[1] = 4;
             heldIndex = 4;
         },
         "the hand holds food 4 twice"},
        {"no food", [] { hand[0] = 20; }, "the hand holds food 20, which is none"},
        {"a count past the hand", [] { handCount = 21; }, "the hand counts 21 foods"},
        {"a count below nothing", [] { handCount = -1; }, "the hand counts -1 foods"},
        {"not holding with foods", [] { holding = false; }, "the hand is not holding with 2"},
        {"the wrong top", [] { heldIndex = 4; }, "the food on top is 4, the hand's top 9"},
        {"a top of an empty hand",
         [] {
             foods[4]->state = FOOD_HOME;
             foods[9]->state = FOOD_HOME;
             handCount = 0;
             holding = false;
         },
         "the food on top is 9, the hand's top -1"},
        {"a last throw of no food", [] { lastThrownIndex = 20; }, "the last thrown food is 20"},
        {"past the win while playing", [] { foodFed = 11; },
         "the score is 11 in a game neither won nor lost"},
        {"past the loss on the title",
         [] {
             gameState = STATE_TITLE;
             foodFed = -11;
         },
         "the score is -11 in a game neither won nor lost"},
        {"at the win before the frame that sees it", [] { foodFed = 10; }, ""},
        {"fed on after the win",
         [] {
             gameState = STATE_WON;
             foodFed = 12;
         },
         ""},
    };
    for (const Case &c : cases) {
        busyWorld();
        Camera savedCamera = *camera;
        Bison savedBison = *bison;
        std::vector<Food> savedFoods;
        for (Food *food : foods) savedFoods.push_back(*food);
        c.breakIt();
        std::vector<std::string> faults = worldInvariantFaults();
        if (c.fault[0] == '\0') {
            EXPECT_EQ(faults, std::vector<std::string>()) << c.what;
        } else {
            ASSERT_FALSE(faults.empty()) << c.what << ": not found";
            EXPECT_NE(faults[0].find(c.fault), std::string::npos)
                << c.what << ": found as \"" << faults[0] << "\"";
        }
        *camera = savedCamera;
        *bison = savedBison;
        for (int i = 0; i < FOOD_COUNT; i++) *foods[i] = savedFoods[size_t(i)];
    }
}

} // namespace

// The world that initWorld assembles: the four trees and the twenty foods beside them.
#include "app/app.h"

#include "food/feeding.h"
#include "food/food.h"
#include "food/pick.h"
#include "scenery/scenery.h"
#include "support/gl_env.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(World, TwentyFoodsWithTheirKindsAndHomes) {
    startWorld();
    struct Home {
        const char *kind;
        float x, z;
    };
    const Home homes[FOOD_COUNT] = {
        {"orange", -8, 7},    {"apple", -8, 8},    {"bomb", -8, 9},    {"marble", -9, 9},
        {"orange", 27, 60},   {"apple", 27, 61},   {"bomb", 27, 62},   {"marble", 26, 62},
        {"orange", -21, -50}, {"apple", -21, -49}, {"bomb", -21, -48}, {"marble", -22, -48},
        {"orange", 32, 24},   {"apple", 32, 25},   {"bomb", 32, 26},   {"marble", 31, 26},
        {"cloud", 20, 30},    {"cloud", -30, 15},  {"cloud", 17, 45},  {"cloud", -24, 34}};
    for (int i = 0; i < FOOD_COUNT; i++) {
        ASSERT_NE(foods[i], nullptr);
        EXPECT_STREQ(foods[i]->name, homes[i].kind) << i;
        EXPECT_EQ(foods[i]->home.x, homes[i].x) << i;
        EXPECT_EQ(foods[i]->home.y, 3.0f) << i;
        EXPECT_EQ(foods[i]->home.z, homes[i].z) << i;
        EXPECT_EQ(foods[i]->state, FOOD_HOME);
    }
    const float treePlaces[TREE_COUNT][2] = {{-10, 7}, {25, 60}, {-23, -50}, {30, 24}};
    for (int k = 0; k < TREE_COUNT; k++) {
        EXPECT_EQ(trees[k]->position.x, treePlaces[k][0]);
        EXPECT_EQ(trees[k]->position.y, 0.0f);
        EXPECT_EQ(trees[k]->position.z, treePlaces[k][1]);
    }
}

} // namespace

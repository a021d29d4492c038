#include "app/pose.h"

#include "bison/bison.h"
#include "camera/camera.h"
#include "food/feeding.h"

#include <cmath>

WorldPose worldPose(bool flashShows, Vector3 spheresPlace) {
    WorldPose pose;
    pose.eye = camera->position;
    pose.gaze = camera->direction;
    pose.bisonPlace = bison->position;
    pose.bisonHeading = bison->heading;
    pose.nodAngle = bison->nodAngle;
    pose.spheresPlace = spheresPlace;
    pose.flashShows = flashShows;
    pose.flashRadius = float(flashRadius);
    for (int i = 0; i < FOOD_COUNT; i++) {
        pose.foodStates[i] = foods[i]->state;
        pose.foodPlaces[i] = foods[i]->position;
    }
    return pose;
}

static float between(float a, float b, double share) {
    return float(double(a) + (double(b) - double(a)) * share);
}

static Vector3 between(Vector3 a, Vector3 b, double share) {
    return {between(a.x, b.x, share), between(a.y, b.y, share), between(a.z, b.z, share)};
}

static double distance(Vector3 a, Vector3 b) {
    double x = double(b.x) - double(a.x), y = double(b.y) - double(a.y),
           z = double(b.z) - double(a.z);
    return std::sqrt(x * x + y * y + z * z);
}

// The turn from angle a to angle b the short way round, in (-pi, pi] (radians).
static double turnBetween(float a, float b) {
    double turn = std::remainder(double(b) - double(a), TWO_PI_D);
    return turn == -PI_D ? PI_D : turn;
}

WorldPose poseBetween(const WorldPose &from, const WorldPose &to, double share) {
    if (share <= 0.0) return from;
    if (share >= 1.0) return to;
    WorldPose pose = to;

    bool eyeJumped = distance(from.eye, to.eye) > EYE_JUMP;
    bool gazeJumped = distance(from.gaze, to.gaze) > GAZE_JUMP;
    if (!eyeJumped) pose.eye = between(from.eye, to.eye, share);
    if (!gazeJumped) pose.gaze = between(from.gaze, to.gaze, share);

    double turn = turnBetween(from.bisonHeading, to.bisonHeading);
    bool bisonJumped =
        distance(from.bisonPlace, to.bisonPlace) > BISON_JUMP || std::fabs(turn) > HEADING_JUMP;
    if (!bisonJumped) {
        pose.bisonPlace = between(from.bisonPlace, to.bisonPlace, share);
        pose.bisonHeading = float(double(from.bisonHeading) + turn * share);
        pose.nodAngle = between(from.nodAngle, to.nodAngle, share);
        pose.spheresPlace = between(from.spheresPlace, to.spheresPlace, share);
    }
    if (from.flashShows && to.flashShows)
        pose.flashRadius = between(from.flashRadius, to.flashRadius, share);

    for (int i = 0; i < FOOD_COUNT; i++) {
        FoodState was = from.foodStates[i], is = to.foodStates[i];
        // A throw leaves the hand where the food was held; any other change of state moves it
        // at once (sent home, picked up), and so does a held food when the eye jumps.
        bool jumped = (was != is && !(was == FOOD_HELD && is == FOOD_FLYING)) ||
                      (is == FOOD_HELD && (eyeJumped || gazeJumped)) ||
                      distance(from.foodPlaces[i], to.foodPlaces[i]) > FOOD_JUMP;
        if (!jumped) pose.foodPlaces[i] = between(from.foodPlaces[i], to.foodPlaces[i], share);
    }
    return pose;
}

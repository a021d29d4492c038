// What a recording, a replay and the monkey ask of the world after each frame: a short checksum
// of everything that decides the game, and the rules the world may never break.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A hash of the bison (and its bomb launch and flash), the foods, the hand, the camera, the score
// and the state, over the exact bits of every float: two worlds that differ anywhere in these,
// by as little as one float's last bit, almost surely give different checksums.
uint32_t worldChecksum();

// What decides the game beyond its events and its seed, as a hash a recording carries: the trees'
// pick prints (their cards' visible texels, which decide what a click picks). Known once the
// world is made.
uint32_t worldFingerprint();

// The bison may stand a little past the fence: its walk turns when its next step would reach the
// fence, and the step after the turn is not tested (world units).
const float BISON_FENCE_SLACK = 1.0f;

// Every rule of the world that is broken, one line each; empty when all hold: every position
// and angle finite; the camera strictly inside the fence and the bison within BISON_FENCE_SLACK
// of it; each food at home, in the hand or thrown, the hand holding exactly the foods held, in
// range, each once, and its count, top and flag agreeing; the score beyond -10..10 only once the
// game was won or lost.
std::vector<std::string> worldInvariantFaults();

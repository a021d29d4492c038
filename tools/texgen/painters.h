// The game's pictures, each painted whole from the noises. Pictures worn by spheres repeat across
// s (x), where the sphere's seam is.
#pragma once

#include "picture.h"

// The bison's coat: 256 x 256, repeating both ways.
Picture paintFur();
// The bison's other skin, cracked glowing lava: 256 x 256, repeating both ways.
Picture paintLava();
// Orange peel for a sphere: 256 x 128.
Picture paintOrange();
// Apple skin for a sphere: 256 x 128.
Picture paintApple();
// Dark veined stone, the bomb's: 256 x 256, repeating both ways.
Picture paintMarble();
// A glass marble's swirl (the room seen in it): 256 x 256.
Picture paintRoom();
// Cumulus over blue: 256 x 256, repeating both ways.
Picture paintClouds();
// The sky dome, hills to zenith, for a sphere: 2048 x 1024.
Picture paintSky();
// A tree on a transparent ground, with alpha: 256 x 256.
Picture paintTree();
// Meadow grass, the ground's tile: 256 x 256, repeating both ways.
Picture paintGrass();

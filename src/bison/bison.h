// The bison: its state, its wandering walk inside the fence, its model and its nod.
#pragma once

#include "types.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The model's pieces, for drawModelAt: the nodding head's domes, the compiled body, the legs and
// the tail.
enum ModelPiece { MODEL_HEAD = 1, MODEL_BODY = 2, MODEL_LIMBS = 4, MODEL_WHOLE = 7 };

// What the model's drawing reads of a bison, copied out of it: a copy drawn on another thread
// (the selection warm-up) sees none of the ticks the game plays meanwhile.
struct BisonLook {
    int resolution;         // of every dome
    float legAngle[4];      // degrees
    float tailAngle;        // degrees
    unsigned int texture;   // the skin the tuft wears; 0 for none
    unsigned char color[3]; // tint of the parts drawn every frame
    unsigned int bodyList;  // the compiled body
};

class Bison {
  public:
    int resolution;         // resolution of every dome of the model
    bool wandering;         // walk one wander step per tick while set
    Vector3 position;       // the animal's origin, world units; y is 1.75 on the ground
    float baseAngle;        // travel direction angle = baseAngle - heading (radians)
    float heading;          // radians; 0 faces about +x, growing turns towards -z
    float targetHeading;    // heading the current leg steers towards (radians)
    bool turnPositive;      // steering raises the heading when set, lowers it when clear
    float dirX;             // unit travel direction, x
    float dirZ;             // unit travel direction, z
    float stepCount;        // ticks walked on the current leg
    float legLength;        // ticks the current leg lasts
    float speed;            // world units per tick on the current leg
    float nodAngle;         // head angle in degrees, 145 to 160
    bool nodLowering;       // the head is on its way down
    int nodCount;           // nods completed in the current request
    int wantedNods;         // nods requested; -1 means none
    float legAngle[4];      // fixed leg angles (degrees)
    float tailAngle;        // fixed tail angle (degrees)
    bool lava;              // the lava skin is on
    unsigned int texture;   // the current skin; 0 when it failed to load
    unsigned char color[3]; // tint of the untextured parts drawn every frame
    unsigned int bodyList;  // the static body, compiled once
    // The texture name the body list binds, never 0. Every skin is loaded into this one name, so
    // the compiled body follows a skin swap; it holds no image while the skin failed to load.
    unsigned int skinName;

    Bison();
    virtual ~Bison();

    // One tick of wandering: legs, steering and the fence turn.
    void wander();
    // Manual turn by delta radians (',' and '.').
    void turn(float delta);
    // Manual step of BISON_STEP along the travel direction ('/'); ignores the fence.
    void step();
    // Swaps the skin between fur and lava.
    void toggleSkin();
    // One tick of the nod animation.
    void nod();
    // The update half of drawing the bison: one tick of nod, and of wander while wandering.
    void update();
    // The drawing half: the model where the bison stands, with its head at its nod.
    void drawModel();
    // The model at PLACE turned to HEADING (radians), its head at NOD (degrees): where it stands,
    // or where it is drawn between two ticks. PIECES (MODEL_HEAD, ...) says which of it is drawn:
    // all of it, or a piece alone where the whole draws it.
    void drawModelAt(Vector3 place, float heading, float nod, int pieces = MODEL_WHOLE);
    // What its model's drawing reads, as it stands.
    BisonLook look() const;
    // One tick of nod and wander, then the model.
    void draw();
    // Compiles the static body into bodyList and returns it.
    unsigned int buildBodyList();

  private:
    // Travel direction from the heading.
    void updateDirection();
    // Turns one steering step towards the target, or not at all inside the window.
    void steer();
    // Quarter turn at the fence, with a random new target and steering direction.
    void fenceTurn();
    // A new leg: random length, speed and target.
    void startLeg();
    // Loads the skin file into skinName; texture becomes skinName, or 0 when the file is bad.
    void loadSkin(const char *path);
};

// The model of a bison that looks like LOOK, as Bison::drawModelAt draws it.
void drawBisonModel(const BisonLook &look, Vector3 place, float heading, float nod,
                    int pieces = MODEL_WHOLE);

// The one bison, made by initWorld.
extern Bison *bison;

// Manual turn of ',' and '.' (radians per tick held).
const float BISON_TURN_STEP = 0.01f;
// Manual step of '/' (world units per tick held).
const float BISON_STEP = 0.1f;
// Below this three-dimensional distance from the bison the player cannot walk forward (world
// units).
const float BISON_REACH = 10.0f;
// Steering step of the wander (radians per tick).
const double BISON_STEER_STEP = TWO_PI_D / 100.0;
// Where steering down wraps to: 2π - 0.1 (radians), not 2π.
const float BISON_STEER_WRAP = 6.183185f;
// Heading window around the target inside which the wander does not steer (radians).
const double BISON_STEER_WINDOW = 1.0;
// Shortest leg (ticks).
const int LEG_MIN_FRAMES = 800;
// Count of possible leg lengths, one tick apart from the shortest up (ticks).
const int LEG_FRAME_RANGE = 1300;
// Head angle at rest, the top of a nod (degrees).
const float NOD_TOP = 160.0f;
// Head angle at the bottom of a nod (degrees).
const float NOD_BOTTOM = 145.0f;
// Nods a head hit asks for.
const int NOD_HIT_REQUEST = 4;
// The fur skin, relative to the working directory.
extern const char *const FUR_SKIN_PATH;
// The lava skin, relative to the working directory.
extern const char *const LAVA_SKIN_PATH;
// The bison's height standing on the ground (world units).
const float BISON_STAND_HEIGHT = 1.75f;
// Untinted colour of the body (red, green, blue bytes), what the body list keeps for ever.
const unsigned char BISON_BASE_COLOR[3] = {180, 255, 255};

// The bison's random numbers, the game's only ones: rand() as ever, seeded by seedBison. When
// bisonDrawLog is set every draw is appended to it (a recording notes them); when bisonDrawFeed is
// set the draws are taken from it in order, from bisonDrawFed on, and from rand once it is used up
// (a replay, alike on a platform whose rand differs).
int bisonDraw();
// Seeds the bison's draws; the game does it once, with --seed or the clock.
void seedBison(uint32_t seed);
// The seed last given to seedBison.
extern uint32_t bisonSeed;
// Where the draws are noted, or nullptr.
extern std::vector<int32_t> *bisonDrawLog;
// The draws to hand back instead of rand's, or nullptr; and how many of them are handed back.
extern const std::vector<int32_t> *bisonDrawFeed;
extern size_t bisonDrawFed;
// The draws noted and fed nowhere, and seeded with SEED, as the game starts with it: for a test
// that starts from a fresh game.
void resetBisonDraws(uint32_t seed);

// True when point lies closer to the bison than BISON_REACH.
bool nearBison(Vector3 point);

// A point of a dome of radius r at polar angle phi from +y and longitude theta from +x towards
// +z (degrees), in single precision as drawDome emits it.
Vector3 domePoint(float radius, float phi, float theta);
// Every vertex drawDome emits, in order (four per quad); empty for a resolution below 4.
std::vector<Vector3> domeVertices(float radius, int resolution, bool half);
// Upper half of a sphere (or its back half when half is set) in latitude bands of quads.
void drawDome(float radius, int resolution, bool half);

// Where the screen's own words stand. The game's own lines (the score, the title, the result) keep
// their places; every block of words the screen adds (the pause and replay lines, the keys' list,
// the hints, the captions, the options) is placed around them by one layout: inside the window,
// covering neither a game line nor another block, near the place it would rather stand, wrapped,
// set smaller, in columns or in pages when the room is short. Arithmetic only: no GL.
#pragma once

#include "hud/font.h"

#include <string>
#include <vector>

// A rectangle of the window in pixels, from its top-left corner with y down: the pixels
// [x, x + width) x [y, y + height).
struct Box {
    int x = 0, y = 0, width = 0, height = 0;
    int right() const { return x + width; }
    int bottom() const { return y + height; }
    bool operator==(const Box &other) const {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
};
// Whether two boxes share a pixel.
bool boxesOverlap(const Box &a, const Box &b);
// Whether a box lies wholly inside a window of width x height.
bool boxInside(const Box &box, int width, int height);

// The blocks the screen adds, in the order they are placed (the first placed has the first pick
// of the room).
enum BlockKind {
    BLOCK_STATUS,   // the replay's tick and the pause: top left
    BLOCK_HINT,     // what to do next: under the title's or the result's last line
    BLOCK_CAPTIONS, // what is heard, in words: at the bottom, in the middle
    BLOCK_OPTIONS,  // the options screen: in the middle, its rows scrolled when short of room
    BLOCK_KEYS,     // the keys' list: top left, in columns, then in pages, when short of room
    BLOCK_KINDS
};

// A block's words: its head, its body and its foot, each a line (wrapped to the room). An options
// body row is "label\tvalue", set in two columns.
struct BlockWords {
    BlockKind kind = BLOCK_STATUS;
    std::vector<std::string> head, body, foot;
    // The options' first body row asked to be shown, or the keys' page asked (from 0).
    int first = 0;
    // The keys' last line when they take pages: "{page}" and "{pages}" are filled in.
    std::string pageLine;
    bool operator==(const BlockWords &other) const {
        return kind == other.kind && head == other.head && body == other.body &&
               foot == other.foot && first == other.first && pageLine == other.pageLine;
    }
};

// A line as placed: its text and its baseline's left end, in pixels from the window's top-left
// corner (y: the row the baseline sits on).
struct PlacedLine {
    std::string text;
    int x = 0, y = 0;
    int row = -1;           // the body row it shows (-1: head or foot)
    bool continued = false; // a body row's second line or later
};

struct PlacedBlock {
    BlockKind kind = BLOCK_STATUS;
    Box box; // its band: every one of its lines lies inside
    HudFont font = HUD_FONT_NORMAL;
    std::vector<PlacedLine> lines;
    int first = 0, shown = 0; // body rows shown, from first (the options scroll)
    int page = 0, pages = 1;  // the keys' page shown, and their pages
    int valueX = 0;           // where the options' values start (pixels from the left)
    int rowTop = 0;           // the options' first row shown starts here (pixels from the top)
};

struct LayoutRequest {
    int width = 0, height = 0; // the window
    std::vector<Box> fixed;    // the game's own lines: nothing may cover them
    bool large = false;        // the player asked for large text
    std::vector<BlockWords> blocks;
    bool operator==(const LayoutRequest &other) const {
        return width == other.width && height == other.height && fixed == other.fixed &&
               large == other.large && blocks == other.blocks;
    }
};

struct ScreenLayout {
    std::vector<PlacedBlock>
        blocks; // the blocks placed, in their order; one without room is left out
    const PlacedBlock *find(BlockKind kind) const;
};

// Pixels between a block and the window's edge, between two blocks, and between a block and a
// game line; and between a block's band and its words.
const int LAYOUT_MARGIN = 4;
const int LAYOUT_GAP = 4;
const int LAYOUT_PADDING = 5;
// Pixels between two columns (the keys' list, the options' labels and values).
const int LAYOUT_COLUMN_GAP = 16;

// Places the request's blocks (in BlockKind's order) in its window.
ScreenLayout layOutScreen(const LayoutRequest &request);
// Text broken at spaces into lines no wider than width pixels in font (a word wider than that is
// broken where it must); the lines after the first start indent pixels in.
std::vector<std::string> wrapText(const std::string &text, HudFont font, int width, int indent = 0);

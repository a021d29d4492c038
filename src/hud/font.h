// The screen's own lettering: GLUT's Helvetica at three sizes, its glyphs read back once into one
// texture, so that a screenful of words is two draws (their bands, then their letters) rather
// than a bitmap a letter (1,440 of them cost llvmpipe 5.4 ms). Words and bands are gathered in a
// TextMesh, in window pixels with y up, and drawn whole.
#pragma once

#include <string>
#include <vector>

// The sizes of the screen's words. HUD_FONT_LARGE is the face and size of the game's own lines.
enum HudFont { HUD_FONT_SMALL, HUD_FONT_NORMAL, HUD_FONT_LARGE, HUD_FONT_COUNT };

// Pixels from one line's top to the next's.
int fontLineHeight(HudFont font);
// Rows of pixels a line's glyphs reach above its baseline row, and below it.
int fontAscent(HudFont font);
int fontDescent(HudFont font);
// Pixels text takes along its baseline: the sum of its glyphs' advances.
int textWidth(HudFont font, const std::string &text);
// GLUT's font behind a size, for a line drawn with glutBitmapCharacter.
void *glutFont(HudFont font);

// A colour: red, green, blue and opacity, 0 to 255 each.
struct Rgba {
    unsigned char r, g, b, a;
};

// Bands and words to draw, in window pixels with y up from the bottom-left corner.
struct TextMesh {
    std::vector<float> bands;               // x, y of each corner, four a band
    std::vector<unsigned char> bandColours; // the colour of each corner
    std::vector<float> glyphs;              // x, y, then the texel's u, v, of each corner
    std::vector<unsigned char> glyphColours;
    void clear();
    bool empty() const { return bands.empty() && glyphs.empty(); }
};

// A band from (x0, y0) to (x1, y1).
void addBand(TextMesh &mesh, float x0, float y0, float x1, float y1, Rgba colour);
// Text starting at (x, baseline), its glyphs scale times their size (a scale of 1.5 or 2 repeats
// their pixels). Characters outside printable ASCII advance by nothing and show nothing.
void addText(TextMesh &mesh, HudFont font, float x, float baseline, const std::string &text,
             Rgba colour, float scale = 1.0f);

// Reads GLUT's glyphs into their texture, once: a corner of the back buffer is lent for it and
// put back pixel for pixel. Needs the window; false while it is too small to lend the room.
bool prepareScreenFonts();
// Draws mesh in the projection and depth state the caller set: the bands blended, then the
// glyphs through an alpha test, so only a glyph's own pixels are written (and take its depth).
// Leaves the GL state as it found it. The glyphs only once the fonts are ready.
void drawTextMesh(const TextMesh &mesh);

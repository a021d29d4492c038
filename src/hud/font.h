// The screen's own lettering: GLUT's Helvetica at three sizes, its glyphs read back once (into one
// texture and a copy in memory), so that words cost no bitmap a letter (1,440 of them cost
// llvmpipe 5.4 ms). A block of words is painted on the processor into a TextImage, and drawn as a
// quad a line over its band: llvmpipe sets up a triangle in about a microsecond, and a screenful
// of letters drawn a quad each took it 2.9 ms. The game's own lines, drawn large with the world,
// and the bands go through a TextMesh.
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

// A block's words in RGBA, rows from the top, painted on the processor and drawn as a few quads
// (a line each) over its band.
struct TextImage {
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;
    // Clears it to width x height pixels of nothing.
    void reset(int newWidth, int newHeight);
};
// Fills the pixels [x, x + width) x [y, y + height) (from the top-left) with colour.
void paintBand(TextImage &image, int x, int y, int width, int height, Rgba colour);
// Paints text from (x, baseline), the baseline's row counted from the top, over what is there.
void paintText(TextImage &image, HudFont font, int x, int baseline, const std::string &text,
               Rgba colour);
// A texture an image is drawn from, grown as the images put in it grow.
struct ImageTexture {
    unsigned int name = 0;
    int width = 0, height = 0;
};
// Puts image into texture (once the picture changed).
void uploadImage(ImageTexture &texture, const TextImage &image);
// A rectangle of an image, in its pixels from its top-left corner.
struct ImagePart {
    int x, y, width, height;
};
// Draws parts of the image last put into texture, the image's top-left corner at window pixel
// (x, top), y up, in the projection the caller set: only its opaque pixels (its words), through
// an alpha test. Leaves the GL state as it found it.
void drawImage(const ImageTexture &texture, float x, float top,
               const std::vector<ImagePart> &parts);

// Sets the projection to the window's pixels, width x height, y up, with an identity model-view,
// both matrices pushed; popWindowPixels puts them back and leaves GL_MODELVIEW current.
void pushWindowPixels(double width, double height);
void popWindowPixels();
// Reads GLUT's glyphs into their texture, once: a corner of the back buffer is lent for it and
// put back pixel for pixel. Needs the window; false while it is too small to lend the room.
bool prepareScreenFonts();
// Draws mesh in the projection and depth state the caller set: the bands (blended unless opaque),
// then the
// glyphs through an alpha test, so only a glyph's own pixels are written (and take its depth).
// Leaves the GL state as it found it. The glyphs only once the fonts are ready.
void drawTextMesh(const TextMesh &mesh);

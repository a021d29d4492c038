#include "hud/font.h"

#include <GL/freeglut.h>
#include <algorithm>

namespace {

// A size's GLUT font and its measures in pixels, as its glyphs were read: the rows its glyphs
// reach above the baseline row and below it, and the height of a line.
struct FontSize {
    void *font;
    int ascent, descent, lineHeight;
};
const FontSize FONT_SIZES[HUD_FONT_COUNT] = {
    {GLUT_BITMAP_HELVETICA_10, 7, 2, 13},
    {GLUT_BITMAP_HELVETICA_12, 8, 3, 16},
    {GLUT_BITMAP_HELVETICA_18, 13, 4, 23},
};

// The characters read: printable ASCII.
const int FIRST_GLYPH = ' ', GLYPHS = 127 - ' ';
// The texture holding every size's glyphs (texels).
const int ATLAS_WIDTH = 512, ATLAS_HEIGHT = 256;

// Where one glyph stands in the texture: its cell's bottom-left texel, and its advance.
struct Glyph {
    int x = 0, y = 0;
    int advance = 0;
};
// A size's cells: their size in texels and, within one, the pixel the raster position stood on.
struct Cells {
    int width = 0, height = 0;
    int originX = 1, originY = 0;
    Glyph glyphs[GLYPHS];
};
Cells cells[HUD_FONT_COUNT];
GLuint fontTexture = 0;
// The texture's texels, kept for painting images.
std::vector<unsigned char> atlasPixels;

// The cells of every size, packed in rows across the texture; false when they do not fit.
bool packCells() {
    int x = 0, y = 0, rowHeight = 0;
    for (int f = 0; f < HUD_FONT_COUNT; f++) {
        Cells &size = cells[f];
        int widest = 0;
        for (int c = 0; c < GLYPHS; c++) {
            size.glyphs[c].advance = glutBitmapWidth(FONT_SIZES[f].font, FIRST_GLYPH + c);
            widest = std::max(widest, size.glyphs[c].advance);
        }
        // Room for a glyph reaching past its advance, and a clear texel all round.
        size.width = widest + 4;
        size.originY = FONT_SIZES[f].descent + 1;
        size.height = FONT_SIZES[f].ascent + FONT_SIZES[f].descent + 3;
        for (Glyph &glyph : size.glyphs) {
            if (x + size.width > ATLAS_WIDTH) {
                x = 0;
                y += rowHeight;
                rowHeight = 0;
            }
            glyph.x = x;
            glyph.y = y;
            x += size.width;
            rowHeight = std::max(rowHeight, size.height);
        }
    }
    return y + rowHeight <= ATLAS_HEIGHT;
}

// Draws a size's glyphs from first on into a corner of width x height pixels of the back buffer,
// in a grid of its cells, and copies each into atlas; gives the glyph after the last one read.
int readGlyphs(int font, int first, int width, int height, std::vector<unsigned char> &atlas) {
    const Cells &size = cells[font];
    int across = width / size.width, down = height / size.height;
    glClear(GL_COLOR_BUFFER_BIT);
    int last = std::min(GLYPHS, first + across * down);
    for (int c = first; c < last; c++) {
        int at = c - first;
        glRasterPos2i(at % across * size.width + size.originX,
                      at / across * size.height + size.originY);
        glutBitmapCharacter(FONT_SIZES[font].font, FIRST_GLYPH + c);
    }
    std::vector<unsigned char> read(size_t(width) * size_t(height));
    glReadPixels(0, 0, width, height, GL_RED, GL_UNSIGNED_BYTE, read.data());
    for (int c = first; c < last; c++) {
        int at = c - first;
        int fromX = at % across * size.width, fromY = at / across * size.height;
        const Glyph &glyph = size.glyphs[c];
        for (int row = 0; row < size.height; row++)
            std::copy_n(&read[size_t(fromY + row) * size_t(width) + size_t(fromX)], size.width,
                        &atlas[size_t(glyph.y + row) * ATLAS_WIDTH + size_t(glyph.x)]);
    }
    return last;
}

void uploadAtlas(const std::vector<unsigned char> &atlas) {
    glGenTextures(1, &fontTexture);
    glBindTexture(GL_TEXTURE_2D, fontTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, ATLAS_WIDTH, ATLAS_HEIGHT, 0, GL_ALPHA,
                 GL_UNSIGNED_BYTE, atlas.data());
}

void pushCorner(std::vector<float> &to, std::vector<unsigned char> &colours, Rgba colour,
                std::initializer_list<float> values) {
    to.insert(to.end(), values);
    colours.insert(colours.end(), {colour.r, colour.g, colour.b, colour.a});
}

} // namespace

int fontLineHeight(HudFont font) {
    return FONT_SIZES[font].lineHeight;
}
int fontAscent(HudFont font) {
    return FONT_SIZES[font].ascent;
}
int fontDescent(HudFont font) {
    return FONT_SIZES[font].descent;
}
void *glutFont(HudFont font) {
    return FONT_SIZES[font].font;
}

int textWidth(HudFont font, const std::string &text) {
    // The layout measures thousands of words a placing: each size's advances are asked of GLUT
    // once.
    static int advances[HUD_FONT_COUNT][GLYPHS];
    static bool asked[HUD_FONT_COUNT];
    if (!asked[font]) {
        for (int c = 0; c < GLYPHS; c++)
            advances[font][c] = glutBitmapWidth(FONT_SIZES[font].font, FIRST_GLYPH + c);
        asked[font] = true;
    }
    int width = 0;
    for (char c : text)
        if (c >= FIRST_GLYPH && c < FIRST_GLYPH + GLYPHS) width += advances[font][c - FIRST_GLYPH];
    return width;
}

void TextMesh::clear() {
    bands.clear();
    bandColours.clear();
    glyphs.clear();
    glyphColours.clear();
}

void addBand(TextMesh &mesh, float x0, float y0, float x1, float y1, Rgba colour) {
    pushCorner(mesh.bands, mesh.bandColours, colour, {x0, y0});
    pushCorner(mesh.bands, mesh.bandColours, colour, {x1, y0});
    pushCorner(mesh.bands, mesh.bandColours, colour, {x1, y1});
    pushCorner(mesh.bands, mesh.bandColours, colour, {x0, y1});
}

void addText(TextMesh &mesh, HudFont font, float x, float baseline, const std::string &text,
             Rgba colour, float scale) {
    const Cells &size = cells[font];
    const float du = 1.0f / ATLAS_WIDTH, dv = 1.0f / ATLAS_HEIGHT;
    for (char c : text) {
        if (c < FIRST_GLYPH || c >= FIRST_GLYPH + GLYPHS) continue;
        const Glyph &glyph = size.glyphs[c - FIRST_GLYPH];
        if (c != ' ') {
            float x0 = x - float(size.originX) * scale, y0 = baseline - float(size.originY) * scale;
            float x1 = x0 + float(size.width) * scale, y1 = y0 + float(size.height) * scale;
            float u0 = float(glyph.x) * du, v0 = float(glyph.y) * dv;
            float u1 = float(glyph.x + size.width) * du, v1 = float(glyph.y + size.height) * dv;
            pushCorner(mesh.glyphs, mesh.glyphColours, colour, {x0, y0, u0, v0});
            pushCorner(mesh.glyphs, mesh.glyphColours, colour, {x1, y0, u1, v0});
            pushCorner(mesh.glyphs, mesh.glyphColours, colour, {x1, y1, u1, v1});
            pushCorner(mesh.glyphs, mesh.glyphColours, colour, {x0, y1, u0, v1});
        }
        x += float(glyph.advance) * scale;
    }
}

void pushWindowPixels(double width, double height) {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

void popWindowPixels() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

bool prepareScreenFonts() {
    if (fontTexture) return true;
    if (!packCells()) return false;
    // The corner lent: within the viewport and the window really drawn (a replay's viewport may
    // be the recorded window's, larger than the screen let it be).
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    int width = std::min({int(viewport[2]), glutGet(GLUT_WINDOW_WIDTH), ATLAS_WIDTH});
    int height = std::min({int(viewport[3]), glutGet(GLUT_WINDOW_HEIGHT), ATLAS_HEIGHT});
    for (const Cells &size : cells)
        if (width < size.width || height < size.height) return false;

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    pushWindowPixels(viewport[2], viewport[3]);
    for (GLenum off : {GL_LIGHTING, GL_DEPTH_TEST, GL_TEXTURE_2D, GL_BLEND, GL_FOG, GL_ALPHA_TEST,
                       GL_STENCIL_TEST, GL_DITHER})
        glDisable(off);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glDrawBuffer(GL_BACK);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, width, height);

    std::vector<unsigned char> lent(size_t(width) * size_t(height) * 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, lent.data());
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    std::vector<unsigned char> atlas(size_t(ATLAS_WIDTH) * ATLAS_HEIGHT, 0);
    for (int font = 0; font < HUD_FONT_COUNT; font++)
        for (int next = 0; next < GLYPHS;) next = readGlyphs(font, next, width, height, atlas);
    glRasterPos2i(0, 0);
    glDrawPixels(width, height, GL_RGBA, GL_UNSIGNED_BYTE, lent.data());
    uploadAtlas(atlas);
    atlasPixels = atlas;

    popWindowPixels();
    glPopClientAttrib();
    glPopAttrib();
    return true;
}

void drawTextMesh(const TextMesh &mesh) {
    if (mesh.empty()) return;
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT |
                 GL_LIGHTING_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    for (GLenum off : {GL_LIGHTING, GL_COLOR_MATERIAL, GL_CULL_FACE, GL_FOG}) glDisable(off);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    if (!mesh.bands.empty()) {
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_ALPHA_TEST);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glVertexPointer(2, GL_FLOAT, 0, mesh.bands.data());
        glColorPointer(4, GL_UNSIGNED_BYTE, 0, mesh.bandColours.data());
        // In their order, each run of opaque bands unblended: a blend reads every pixel behind.
        int bands = int(mesh.bands.size() / 8);
        auto opaque = [&](int band) { return mesh.bandColours[size_t(band) * 16 + 3] == 255; };
        for (int first = 0, end; first < bands; first = end) {
            for (end = first + 1; end < bands && opaque(end) == opaque(first);) end++;
            if (opaque(first))
                glDisable(GL_BLEND);
            else
                glEnable(GL_BLEND);
            glDrawArrays(GL_QUADS, first * 4, (end - first) * 4);
        }
    }
    if (!mesh.glyphs.empty() && fontTexture) {
        glDisable(GL_BLEND);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, fontTexture);
        // An alpha texture: the colour is the corner's, the coverage the glyph's.
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.5f);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glVertexPointer(2, GL_FLOAT, 4 * sizeof(float), mesh.glyphs.data());
        glTexCoordPointer(2, GL_FLOAT, 4 * sizeof(float), mesh.glyphs.data() + 2);
        glColorPointer(4, GL_UNSIGNED_BYTE, 0, mesh.glyphColours.data());
        glDrawArrays(GL_QUADS, 0, GLsizei(mesh.glyphs.size() / 4));
    }
    glPopClientAttrib();
    glPopAttrib();
}

void TextImage::reset(int newWidth, int newHeight) {
    width = std::max(newWidth, 0);
    height = std::max(newHeight, 0);
    rgba.assign(size_t(width) * size_t(height) * 4, 0);
}

// Sets the pixel at (column, row) from the top-left, which the caller keeps inside the image.
static void setPixel(TextImage &image, int column, int row, Rgba colour) {
    unsigned char *pixel = &image.rgba[(size_t(row) * size_t(image.width) + size_t(column)) * 4];
    pixel[0] = colour.r;
    pixel[1] = colour.g;
    pixel[2] = colour.b;
    pixel[3] = colour.a;
}

void paintBand(TextImage &image, int x, int y, int width, int height, Rgba colour) {
    int x0 = std::max(x, 0), x1 = std::min(x + width, image.width);
    for (int row = std::max(y, 0); row < std::min(y + height, image.height); row++)
        for (int column = x0; column < x1; column++) setPixel(image, column, row, colour);
}

void paintText(TextImage &image, HudFont font, int x, int baseline, const std::string &text,
               Rgba colour) {
    if (atlasPixels.empty()) return;
    const Cells &size = cells[font];
    for (char c : text) {
        if (c < FIRST_GLYPH || c >= FIRST_GLYPH + GLYPHS) continue;
        const Glyph &glyph = size.glyphs[c - FIRST_GLYPH];
        // The cell's rows count up from its bottom; the image's down from its top.
        for (int up = 0; up < size.height; up++) {
            int row = baseline - (up - size.originY);
            if (row < 0 || row >= image.height) continue;
            const unsigned char *texels =
                &atlasPixels[size_t(glyph.y + up) * ATLAS_WIDTH + size_t(glyph.x)];
            for (int across = 0; across < size.width; across++) {
                int column = x + across - size.originX;
                if (texels[across] && column >= 0 && column < image.width)
                    setPixel(image, column, row, colour);
            }
        }
        x += glyph.advance;
    }
}

// The least power of two not below n (GL 1.1 takes no other texture sides).
static int powerOfTwo(int n) {
    int side = 1;
    while (side < n) side *= 2;
    return side;
}

void uploadImage(ImageTexture &texture, const TextImage &image) {
    if (image.width <= 0 || image.height <= 0) return;
    glPushAttrib(GL_TEXTURE_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    if (!texture.name) glGenTextures(1, &texture.name);
    glBindTexture(GL_TEXTURE_2D, texture.name);
    if (image.width > texture.width || image.height > texture.height) {
        texture.width = powerOfTwo(std::max(image.width, texture.width));
        texture.height = powerOfTwo(std::max(image.height, texture.height));
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, texture.width, texture.height, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, nullptr);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, image.width, image.height, GL_RGBA, GL_UNSIGNED_BYTE,
                    image.rgba.data());
    glPopClientAttrib();
    glPopAttrib();
}

void drawImage(const ImageTexture &texture, float x, float top,
               const std::vector<ImagePart> &parts) {
    if (!texture.name || parts.empty()) return;
    const float du = 1.0f / float(texture.width), dv = 1.0f / float(texture.height);
    // Each part a quad: where it stands in the window, and its texels (the image's first row, the
    // texture's first, is its top).
    std::vector<GLfloat> corners;
    for (const ImagePart &part : parts) {
        float x0 = x + float(part.x), x1 = x0 + float(part.width);
        float y0 = top - float(part.y), y1 = y0 - float(part.height);
        float u0 = float(part.x) * du, u1 = float(part.x + part.width) * du;
        float v0 = float(part.y) * dv, v1 = float(part.y + part.height) * dv;
        corners.insert(corners.end(),
                       {x0, y0, u0, v0, x1, y0, u1, v0, x1, y1, u1, v1, x0, y1, u0, v1});
    }
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT |
                 GL_LIGHTING_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    for (GLenum off : {GL_LIGHTING, GL_COLOR_MATERIAL, GL_CULL_FACE, GL_FOG, GL_BLEND})
        glDisable(off);
    // The image's pixels are words or nothing: an alpha test, not a blend, reads no pixel
    // behind them.
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture.name);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(2, GL_FLOAT, 4 * sizeof(GLfloat), corners.data());
    glTexCoordPointer(2, GL_FLOAT, 4 * sizeof(GLfloat), corners.data() + 2);
    glDrawArrays(GL_QUADS, 0, GLsizei(corners.size() / 4));
    glPopClientAttrib();
    glPopAttrib();
}

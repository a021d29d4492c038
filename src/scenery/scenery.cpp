#include "scenery/scenery.h"

#include "assets/assets.h"
#include "platform/platform.h"

#include <GL/gl.h>
#include <GL/glext.h> // GL_CLAMP_TO_EDGE: Windows' own gl.h stops at 1.1
#include <GL/glu.h>
#include <cstdint>

Scene *scene = nullptr;
Tree *trees[TREE_COUNT];

Scene::Scene() : grassTexture(0), skyTexture(0), displayList(0) {
    // Only a regular file is read: a FIFO named grass.raw would hang the start for ever.
    FILE *grass = openRegularFile(dataPath(GRASS_PATH).c_str());
    grassTexture = grass ? loadRAW(grass) : 0;
    if (!grass) reportMissingPicture(GRASS_PATH);
    skyTexture = loadTGA(SKY_PATH);
    buildList();
}

Scene::~Scene() {
    glDeleteTextures(1, &grassTexture);
    glDeleteTextures(1, &skyTexture);
}

unsigned int Scene::buildList() {
    displayList = glGenLists(1);
    glNewList(displayList, GL_COMPILE);
    // The ground first: the depth test then drops every fragment of the sky behind it, which
    // would only have been drawn over. The dome lies far beyond the ground, so no pixel changes.
    glPushMatrix();
    drawGround(this);
    glPopMatrix();
    glPushMatrix();
    glScalef(SKY_RADIUS, SKY_RADIUS, SKY_RADIUS);
    // The quadric's pole runs along z; turned up, the texture's top row is the zenith.
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    drawSky(skyTexture);
    glPopMatrix();
    glEndList();
    return displayList;
}

void drawSky(unsigned int texture) {
    GLUquadric *quadric = gluNewQuadric();
    glPushMatrix();
    gluQuadricTexture(quadric, GL_TRUE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    gluSphere(quadric, 1.0, SKY_SLICES, SKY_STACKS);
    gluDeleteQuadric(quadric);
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}

// One tile in the ground's scaled frame: 4 x 4 there, 12 x 12 in the world.
static void drawGroundTile() {
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 1.0f, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-2.0f, 0.0f, -2.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-2.0f, 0.0f, 2.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(2.0f, 0.0f, 2.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(2.0f, 0.0f, -2.0f);
    glEnd();
}

void drawGround(Scene *scene) {
    glEnable(GL_TEXTURE_2D);
    glPushMatrix();
    glTranslatef(GROUND_FIRST_CENTRE, 0.0f, GROUND_FIRST_CENTRE);
    glScalef(3.0f, 1.0f, 3.0f);
    glBindTexture(GL_TEXTURE_2D, scene->grassTexture);
    for (int column = 0; column < GROUND_TILES; column++) {
        glPushMatrix();
        for (int row = 0; row < GROUND_TILES; row++) {
            drawGroundTile();
            glTranslatef(0.0f, 0.0f, 4.0f);
        }
        glPopMatrix();
        glTranslatef(4.0f, 0.0f, 0.0f);
    }
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
}

void clampTreeEdges(unsigned int texture) {
    if (texture == 0) return;
    glBindTexture(GL_TEXTURE_2D, texture);
    // Filtered with the default wrap, the card's top edge takes in the picture's bottom row (the
    // trunk's foot) and shows a grey line above the crown; its bottom edge the transparent top.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

// One picture card in the tree's x-y plane, standing on its foot point: texture s, t, then
// position x, y, z of each corner, in the order of one GL_QUADS. From a client-side array, not
// one vertex call at a time: Mesa keeps memory for every immediate-mode vertex drawn in a
// selection pass, and the trees are drawn in every one.
static const float TREE_CARD[4][5] = {
    {0.0f, 1.0f, -TREE_HALF_WIDTH, TREE_HEIGHT, 0.0f},
    {0.0f, 0.0f, -TREE_HALF_WIDTH, 0.0f, 0.0f},
    {1.0f, 0.0f, TREE_HALF_WIDTH, 0.0f, 0.0f},
    {1.0f, 1.0f, TREE_HALF_WIDTH, TREE_HEIGHT, 0.0f},
};

std::vector<CardPiece> visiblePieces(const unsigned char *alpha, int width, int height) {
    std::vector<CardPiece> pieces;
    if (width <= 0 || height <= 0) return pieces;
    int columns = width < TREE_PICK_CELLS ? width : TREE_PICK_CELLS;
    int rows = height < TREE_PICK_CELLS ? height : TREE_PICK_CELLS;
    // Pieces still open at the row below: the index of the piece and its columns.
    struct Open {
        size_t piece;
        int from, to;
    };
    std::vector<Open> below, here;
    for (int row = 0; row < rows; row++) {
        int t0 = int(int64_t(row) * height / rows), t1 = int(int64_t(row + 1) * height / rows);
        std::vector<bool> seen(size_t(columns), false);
        for (int column = 0; column < columns; column++) {
            int s0 = int(int64_t(column) * width / columns);
            int s1 = int(int64_t(column + 1) * width / columns);
            for (int t = t0; t < t1 && !seen[size_t(column)]; t++)
                for (int s = s0; s < s1; s++)
                    if (alpha[size_t(t) * size_t(width) + size_t(s)] > 0) {
                        seen[size_t(column)] = true;
                        break;
                    }
        }
        float bottom = TREE_HEIGHT * float(row) / float(rows);
        float top = TREE_HEIGHT * float(row + 1) / float(rows);
        here.clear();
        for (int column = 0; column < columns;) {
            if (!seen[size_t(column)]) {
                column++;
                continue;
            }
            int from = column;
            while (column < columns && seen[size_t(column)]) column++;
            size_t piece = pieces.size();
            for (const Open &open : below)
                if (open.from == from && open.to == column) piece = open.piece;
            if (piece < pieces.size()) {
                pieces[piece].top = top;
            } else {
                float left =
                    -TREE_HALF_WIDTH + 2.0f * TREE_HALF_WIDTH * float(from) / float(columns);
                float right =
                    -TREE_HALF_WIDTH + 2.0f * TREE_HALF_WIDTH * float(column) / float(columns);
                pieces.push_back({left, right, bottom, top});
            }
            here.push_back({piece, from, column});
        }
        below.swap(here);
    }
    return pieces;
}

uint32_t piecesPrint(const std::vector<CardPiece> &pieces) {
    uint32_t hash = 2166136261u;
    for (const CardPiece &piece : pieces) {
        const unsigned char *bytes = reinterpret_cast<const unsigned char *>(&piece);
        for (size_t i = 0; i < sizeof piece; i++) hash = (hash ^ bytes[i]) * 16777619u;
    }
    return hash != 0 ? hash : 1;
}

void prepareTreePicking(Tree *tree) {
    // Without a picture the card is drawn whole, and picked whole.
    tree->pickPrint = piecesPrint({});
    if (tree->texture == 0) return;
    glBindTexture(GL_TEXTURE_2D, tree->texture);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    if (width <= 0 || height <= 0) return;
    std::vector<unsigned char> alpha(size_t(width) * size_t(height));
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, alpha.data());
    glPopClientAttrib();
    std::vector<CardPiece> pieces = visiblePieces(alpha.data(), width, height);
    tree->pickPrint = piecesPrint(pieces);
    tree->pickCorners.clear();
    for (const CardPiece &piece : pieces) {
        const float quad[4][2] = {{piece.left, piece.top},
                                  {piece.left, piece.bottom},
                                  {piece.right, piece.bottom},
                                  {piece.right, piece.top}};
        for (const auto &corner : quad)
            tree->pickCorners.insert(tree->pickCorners.end(), {corner[0], corner[1], 0.0f});
    }
    tree->pickCut = true;
}

static void drawTreeCard(const Tree *tree, bool selecting) {
    // Selection ignores the alpha test, so the whole card would count, its clear corners in front
    // of the foods seen through them: there only the texels a player sees are drawn.
    // From arrays, not a display list: another thread's first selection pass may be drawing the
    // trees (the warm-up), and the GL holds every display list while one is drawn.
    if (selecting && tree->pickCut) {
        if (tree->pickCorners.empty()) return;
        glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
        glInterleavedArrays(GL_V3F, 0, tree->pickCorners.data());
        glDrawArrays(GL_QUADS, 0, GLsizei(tree->pickCorners.size() / 3));
        glPopClientAttrib();
        return;
    }
    unsigned int texture = tree->texture;
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    // No normals of its own: the card takes the current normal, as it always has.
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glInterleavedArrays(GL_T2F_V3F, 0, TREE_CARD);
    glDrawArrays(GL_QUADS, 0, 4);
    glPopClientAttrib();
    // The last corner's texture coordinate stays current, as one vertex at a time left it.
    glTexCoord2f(TREE_CARD[3][0], TREE_CARD[3][1]);
    glDisable(GL_TEXTURE_2D);
}

void drawTree(Tree *tree, bool selecting) {
    glPushMatrix();
    glTranslatef(tree->position.x, tree->position.y, tree->position.z);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    // A fully transparent texel writes neither colour nor depth: written, its depth would hide
    // the half of a food drawn behind it later in the frame. Partly transparent ones still blend.
    glAlphaFunc(GL_GREATER, 0.0f);
    glEnable(GL_ALPHA_TEST);
    drawTreeCard(tree, selecting);
    // The second card, crossed, so the tree has body from every side.
    glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
    drawTreeCard(tree, selecting);
    glPopMatrix();
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
}

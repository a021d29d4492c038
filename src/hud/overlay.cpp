#include "hud/overlay.h"

#include "game.h"
#include "hud/font.h"
#include "hud/screen_text.h"
#include "input/bindings.h"
#include "input/input.h"

#include <GL/freeglut.h>
#include <algorithm>

bool keysListShown = false;
int keysListPage = 0;

// The colours of the blocks: light words on a dark band, the options' chosen row lighter. The
// options stand over a paused game on a band of their own, opaque: the cheapest to draw.
static const Rgba WORDS = {255, 255, 217, 255};
static const Rgba BAND = {0, 0, 0, 153};
static const Rgba OPTIONS_BAND = {20, 22, 30, 255};
static const Rgba CHOSEN_ROW = {70, 80, 150, 255};

// The first key bound to action, by name, or "" when none is.
static std::string firstKey(int action) {
    const std::vector<int> &keys = keysInForce[size_t(action)];
    return keys.empty() ? "" : keyName(keys.front());
}

static std::string preferenceKey(Preference preference) {
    return firstKey(preferenceAction(preference));
}

// What still acts while paused: the table's keys that do, then the player's own.
static std::string pausedLine() {
    std::string line = "Paused";
    int pause = -1;
    std::string acting;
    for (int action = 0; action < actionCount(); action++) {
        if (!actsWhilePaused(action) || keysInForce[size_t(action)].empty()) continue;
        if (std::string(actionName(action)) == "pause") {
            pause = action;
            continue;
        }
        acting += (acting.empty() ? "" : ", ") + firstKey(action);
    }
    if (pause >= 0) line += ": " + firstKey(pause) + " goes on";
    if (!acting.empty()) line += "; still acting: " + acting;
    return line;
}

// "Press f10 for the options, p to pause, f1 for the keys." with the keys in force; the parts
// whose action has no key are left out.
static std::string titleHint() {
    const struct {
        std::string key;
        const char *words;
    } parts[] = {{preferenceKey(PREFERENCE_OPTIONS), " for the options"},
                 {firstKey(actionNamed("pause")), " to pause"},
                 {preferenceKey(PREFERENCE_KEYS_HELP), " for the keys"}};
    std::string hint;
    for (const auto &part : parts)
        if (!part.key.empty()) hint += (hint.empty() ? "Press " : ", ") + part.key + part.words;
    return hint.empty() ? "" : hint + ".";
}

static std::string resultHint() {
    std::string hint = "Final score: " + std::to_string(foodFed) + ".";
    std::string start = firstKey(actionNamed("start"));
    if (!start.empty()) hint += " Press " + start + " to go back to the title.";
    return hint;
}

static BlockWords block(BlockKind kind, std::vector<std::string> body) {
    BlockWords words;
    words.kind = kind;
    words.body = std::move(body);
    return words;
}

std::vector<BlockWords> overlayBlocks(const ScreenFacts &facts) {
    std::vector<BlockWords> blocks;
    bool options = optionsScreen.shown;
    std::vector<std::string> status;
    if (facts.replayTicks > 0)
        status.push_back("Replay: tick " + std::to_string(facts.replayTick) + " of " +
                         std::to_string(facts.replayTicks));
    // The options say themselves that the game stands still.
    if (facts.paused && !options) status.push_back(pausedLine());
    if (!status.empty()) blocks.push_back(block(BLOCK_STATUS, status));
    if (!options) {
        std::string hint = gameState == STATE_TITLE ? titleHint() : resultHint();
        if (gameState != STATE_PLAYING && !hint.empty())
            blocks.push_back(block(BLOCK_HINT, {hint}));
    }
    if (!facts.captions.empty()) blocks.push_back(block(BLOCK_CAPTIONS, facts.captions));
    if (options) {
        BlockWords words = block(BLOCK_OPTIONS, optionRows());
        words.head = {optionsTitle() + (facts.paused ? " (the game is paused)" : "")};
        words.foot = optionsFoot();
        words.first = optionsScreen.first;
        words.pageLine = "rows {first}-{last} of {rows}";
        blocks.push_back(words);
    } else if (keysListShown) {
        BlockWords words = block(BLOCK_KEYS, {"left click: pick up the food under the cursor",
                                              "right click: throw the food on top of your hand"});
        for (int action = 0; action < actionCount(); action++)
            words.body.push_back(boundKeyNames(keysInForce, action) + ": " + actionWords(action));
        std::string key = preferenceKey(PREFERENCE_KEYS_HELP);
        words.head = {"Keys in force" + (key.empty() ? "" : " (" + key + " hides them)")};
        words.first = keysListPage;
        if (!key.empty()) words.pageLine = "page {page} of {pages}: " + key + " turns the page";
        blocks.push_back(words);
    }
    return blocks;
}

// The last layout worked out, and what it was worked out for.
static LayoutRequest laidOutFor;
static ScreenLayout laidOut;
static bool laidOutOnce = false;

const ScreenLayout &overlayLayout(const ScreenFacts &facts, std::vector<Box> *fixed) {
    LayoutRequest request;
    request.width = windowWidth;
    request.height = windowHeight;
    request.fixed = gameLineBoxes(gameState, windowWidth, windowHeight,
                                  gameTextScale(gameState, windowWidth, windowHeight));
    request.large = largeText;
    request.blocks = overlayBlocks(facts);
    if (fixed) *fixed = request.fixed;
    if (!laidOutOnce || !(request == laidOutFor)) {
        laidOut = layOutScreen(request);
        laidOutFor = request;
        laidOutOnce = true;
    }
    if (const PlacedBlock *options = laidOut.find(BLOCK_OPTIONS))
        optionsRoomFor(options->first, options->shown);
    if (const PlacedBlock *keys = laidOut.find(BLOCK_KEYS)) keysListPage = keys->page;
    return laidOut;
}

void stepKeysList() {
    const PlacedBlock *keys = laidOutOnce ? laidOut.find(BLOCK_KEYS) : nullptr;
    if (!keysListShown) {
        keysListShown = true;
        keysListPage = 0;
    } else if (keys && keysListShown && keysListPage + 1 < keys->pages) {
        keysListPage++;
    } else {
        keysListShown = false;
        keysListPage = 0;
    }
}

// Each kind of block's words and the texture they are drawn from: painted again only when they
// or their places change.
struct BlockPicture {
    bool painted = false;
    PlacedBlock block;
    TextImage image;
    ImageTexture texture;
    std::vector<ImagePart> parts; // a line each
};
static BlockPicture pictures[BLOCK_KINDS];

static bool samePlacement(const PlacedBlock &a, const PlacedBlock &b) {
    if (!(a.box == b.box) || a.font != b.font || a.lines.size() != b.lines.size()) return false;
    for (size_t i = 0; i < a.lines.size(); i++)
        if (a.lines[i].text != b.lines[i].text || a.lines[i].x != b.lines[i].x ||
            a.lines[i].y != b.lines[i].y)
            return false;
    return true;
}

static void paintBlock(BlockPicture &picture, const PlacedBlock &block) {
    const Box &box = block.box;
    picture.image.reset(box.width, box.height);
    picture.parts.clear();
    int ascent = fontAscent(block.font), glyphRows = ascent + fontDescent(block.font) + 1;
    for (const PlacedLine &placed : block.lines) {
        int x = placed.x - box.x, baseline = placed.y - box.y;
        paintText(picture.image, block.font, x, baseline, placed.text, WORDS);
        // A glyph may reach a pixel or two past its advance.
        int width = std::min(textWidth(block.font, placed.text) + 2, box.width - x);
        if (width > 0) picture.parts.push_back({x, baseline - ascent, width, glyphRows});
    }
    uploadImage(picture.texture, picture.image);
    picture.painted = true;
    picture.block = block;
}

void drawOverlays(const ScreenFacts &facts) {
    if (overlayBlocks(facts).empty() || !prepareScreenFonts()) return;
    const ScreenLayout &layout = overlayLayout(facts);
    int h = windowHeight;
    // The bands, all in one draw; then each block's words over its own.
    static TextMesh bands;
    bands.clear();
    for (const PlacedBlock &block : layout.blocks) {
        const Box &box = block.box;
        addBand(bands, float(box.x), float(h - box.bottom()), float(box.right()), float(h - box.y),
                block.kind == BLOCK_OPTIONS ? OPTIONS_BAND : BAND);
        int chosen = optionsScreen.selected - block.first;
        if (block.kind == BLOCK_OPTIONS && chosen >= 0 && chosen < block.shown) {
            int line = fontLineHeight(block.font), top = block.rowTop + chosen * line;
            addBand(bands, float(box.x + 2), float(h - top - line), float(box.right() - 2),
                    float(h - top), CHOSEN_ROW);
        }
    }
    glPushAttrib(GL_ENABLE_BIT | GL_TRANSFORM_BIT);
    glDisable(GL_DEPTH_TEST);
    pushWindowPixels(std::max(windowWidth, 1), std::max(h, 1));
    drawTextMesh(bands);
    for (const PlacedBlock &block : layout.blocks) {
        BlockPicture &picture = pictures[block.kind];
        if (!picture.painted || !samePlacement(picture.block, block)) paintBlock(picture, block);
        drawImage(picture.texture, float(block.box.x), float(h - block.box.y), picture.parts);
    }
    popWindowPixels();
    glPopAttrib();
}

OptionsAsk optionsClick(int button, int x, int y) {
    const PlacedBlock *options = laidOutOnce ? laidOut.find(BLOCK_OPTIONS) : nullptr;
    if (!optionsScreen.shown || !options) return {};
    // GLUT hands the wheel in as buttons 3 (up) and 4 (down).
    if (button == 3 || button == 4) {
        optionsScroll(button == 3 ? -1 : 1);
        return {};
    }
    if (button != GLUT_LEFT_BUTTON || x < options->box.x || x >= options->box.right() ||
        y < options->rowTop)
        return {};
    int shownRow = (y - options->rowTop) / fontLineHeight(options->font);
    if (shownRow >= options->shown) return {};
    int row = options->first + shownRow;
    int direction = 1;
    for (const PlacedLine &line : options->lines)
        if (line.row == row && line.x == options->valueX &&
            x < line.x + textWidth(options->font, line.text) / 2)
            direction = -1;
    if (x < options->valueX) direction = 1;
    return optionsChooseRow(row, direction);
}

void resetOverlays() {
    keysListShown = false;
    keysListPage = 0;
    closeOptions();
}

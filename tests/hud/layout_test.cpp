// The layout at a sweep of window sizes, states and text sizes: every block it places lies inside
// the window, covers no game line and no other block, holds its own lines, and the keys' list,
// in however many pages, names every key.
#include "hud/layout.h"

#include "game.h"
#include "hud/overlay.h"
#include "hud/screen_text.h"
#include "input/bindings.h"
#include "support/gl_env.h"

#include <gtest/gtest.h>
#include <set>

namespace {

class Layout : public ::testing::Test {
  protected:
    void SetUp() override { startWorld(); }
};

// The pixels a placed line's glyphs may light.
Box lineBox(const PlacedBlock &block, const PlacedLine &line) {
    return {line.x, line.y - fontAscent(block.font), textWidth(block.font, line.text),
            fontAscent(block.font) + fontDescent(block.font) + 1};
}

bool contains(const Box &outer, const Box &inner) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.right() <= outer.right() &&
           inner.bottom() <= outer.bottom();
}

std::string where(int width, int height, GameState state, bool large) {
    return std::to_string(width) + " x " + std::to_string(height) + ", state " +
           std::to_string(state) + (large ? ", large" : "");
}

// The keys' list and the options at a size: each block placed, clear of the others, inside.
void checkLayout(const ScreenLayout &layout, const std::vector<Box> &fixed, int width, int height,
                 const std::string &what) {
    for (size_t i = 0; i < layout.blocks.size(); i++) {
        const PlacedBlock &block = layout.blocks[i];
        std::string name = what + ", block " + std::to_string(block.kind);
        EXPECT_TRUE(boxInside(block.box, width, height)) << name;
        for (const Box &line : fixed) EXPECT_FALSE(boxesOverlap(block.box, line)) << name;
        for (size_t j = i + 1; j < layout.blocks.size(); j++)
            EXPECT_FALSE(boxesOverlap(block.box, layout.blocks[j].box))
                << name << " and " << layout.blocks[j].kind;
        for (const PlacedLine &line : block.lines)
            EXPECT_TRUE(contains(block.box, lineBox(block, line))) << name << ": " << line.text;
    }
}

// The words of every page of the keys' list, read back from the layout page by page.
std::string everyPage(ScreenFacts facts, int *pages) {
    std::string words;
    keysListPage = 0;
    *pages = 0;
    for (int page = 0; page < 100; page++) {
        keysListPage = page;
        const PlacedBlock *keys = overlayLayout(facts).find(BLOCK_KEYS);
        if (!keys) return words;
        *pages = keys->pages;
        for (const PlacedLine &line : keys->lines)
            words += (line.continued ? " " : "\n") + line.text;
        if (page + 1 >= keys->pages) break;
    }
    return words;
}

TEST_F(Layout, AtEverySizeEveryBlockIsInsideClearOfTheRestAndTheKeysAreAllNamed) {
    const int sizes[][2] = {{320, 200},   {400, 200},  {480, 270},   {640, 480},
                            {1000, 500},  {1280, 720}, {1920, 1080}, {2560, 1440},
                            {3840, 2160}, {320, 2160}, {3840, 200}};
    ScreenFacts everything;
    everything.paused = true;
    everything.replayTick = 1234;
    everything.replayTicks = 98765;
    everything.captions = {"a hoof on your left", "the bison grunts"};
    ScreenFacts paused;
    paused.paused = true;
    int mostPages = 0;
    for (bool large : {false, true})
        for (const auto &size : sizes)
            for (GameState state : {STATE_TITLE, STATE_PLAYING, STATE_WON}) {
                windowWidth = size[0];
                windowHeight = size[1];
                largeText = large;
                gameState = state;
                std::string what = where(size[0], size[1], state, large);
                bool roomy = size[0] >= 640 && size[1] >= 480;
                std::vector<Box> fixed;
                closeOptions();
                // What the title or the result says next, with the captions.
                keysListShown = false;
                ScreenLayout layout = overlayLayout(everything, &fixed);
                checkLayout(layout, fixed, size[0], size[1], what);
                // All of them where there is room; the smallest windows hold some.
                size_t due = state == STATE_PLAYING ? 2 : 3;
                EXPECT_EQ(layout.blocks.size(), roomy ? due : layout.blocks.size()) << what;
                EXPECT_GE(layout.blocks.size(), 1u) << what;
                // The keys' list, paused (F1 over a paused game), then with everything else:
                // the list shows whole in its pages, the rest where there is room.
                keysListShown = true;
                for (const ScreenFacts *facts : {&paused, &everything}) {
                    layout = overlayLayout(*facts, &fixed);
                    checkLayout(layout, fixed, size[0], size[1], what);
                    // (Large text in the smallest windows keeps the list, in its pages, alone.)
                    if (roomy || (facts == &paused && state == STATE_PLAYING && !large)) {
                        EXPECT_TRUE(layout.find(BLOCK_STATUS)) << what << ": no pause line";
                    }
                    int pages = 0;
                    std::string words = everyPage(*facts, &pages);
                    mostPages = std::max(mostPages, pages);
                    for (int action = 0; action < actionCount(); action++) {
                        std::string line = boundKeyNames(keysInForce, action) + ": ";
                        EXPECT_NE(words.find("\n" + line), std::string::npos)
                            << what << ": " << actionName(action) << " not listed in" << words;
                    }
                }
                // The options, at both their levels, in place of the list.
                openOptions();
                for (bool keys : {false, true}) {
                    if (keys) optionsChooseRow(optionItemNamed("keys"), 1);
                    layout = overlayLayout(everything, &fixed);
                    checkLayout(layout, fixed, size[0], size[1], what + (keys ? ", keys" : ""));
                    const PlacedBlock *block = layout.find(BLOCK_OPTIONS);
                    ASSERT_TRUE(block) << what << ": no room for the options";
                    EXPECT_GE(block->shown, 1) << what;
                    if (roomy) {
                        EXPECT_TRUE(layout.find(BLOCK_STATUS)) << what;
                    }
                }
            }
    // The smallest windows do need pages; the first window's size needs none.
    EXPECT_GT(mostPages, 1);
    windowWidth = 1000;
    windowHeight = 500;
    largeText = false;
    closeOptions();
    gameState = STATE_PLAYING;
    EXPECT_FALSE(everyPage(paused, &mostPages).empty());
    EXPECT_EQ(mostPages, 1) << "the first window's size needs no pages";
    keysListShown = false;
    keysListPage = 0;
}

TEST_F(Layout, LinesAreWrappedAtSpacesAndAWordTooLongIsBroken) {
    int room = std::max(textWidth(HUD_FONT_NORMAL, "pick up the food"),
                        textWidth(HUD_FONT_NORMAL, "under the cursor"));
    std::vector<std::string> lines =
        wrapText("pick up the food under the cursor", HUD_FONT_NORMAL, room);
    EXPECT_EQ(lines, (std::vector<std::string>{"pick up the food", "under the cursor"}));
    lines = wrapText("aaaaaaaaaa", HUD_FONT_NORMAL, textWidth(HUD_FONT_NORMAL, "aaaa"));
    EXPECT_EQ(lines, (std::vector<std::string>{"aaaa", "aaaa", "aa"}));
    // The lines after the first have less room by the indent.
    lines = wrapText("aa aa aa aa", HUD_FONT_NORMAL, textWidth(HUD_FONT_NORMAL, "aa aa"),
                     textWidth(HUD_FONT_NORMAL, "a"));
    EXPECT_EQ(lines, (std::vector<std::string>{"aa aa", "aa", "aa"}));
}

} // namespace

#include "hud/layout.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <cstdlib>

bool boxesOverlap(const Box &a, const Box &b) {
    return a.x < b.right() && b.x < a.right() && a.y < b.bottom() && b.y < a.bottom();
}

bool boxInside(const Box &box, int width, int height) {
    return box.x >= 0 && box.y >= 0 && box.right() <= width && box.bottom() <= height;
}

const PlacedBlock *ScreenLayout::find(BlockKind kind) const {
    for (const PlacedBlock &block : blocks)
        if (block.kind == kind) return &block;
    return nullptr;
}

std::vector<std::string> wrapText(const std::string &text, HudFont font, int width, int indent) {
    std::vector<std::string> lines;
    std::string line;
    int lineWidth = 0;
    const int space = textWidth(font, " ");
    auto room = [&] { return width - (lines.empty() ? 0 : indent); };
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find(' ', at);
        if (end == std::string::npos) end = text.size();
        std::string word = text.substr(at, end - at);
        at = end + 1;
        int wordWidth = textWidth(font, word);
        if (!line.empty() && lineWidth + space + wordWidth <= room()) {
            line += " " + word;
            lineWidth += space + wordWidth;
            continue;
        }
        if (line.empty() && wordWidth <= room()) {
            line = word;
            lineWidth = wordWidth;
            continue;
        }
        if (!line.empty()) lines.push_back(line);
        // A word wider than the room is broken where it must be.
        while (wordWidth > room() && word.size() > 1) {
            size_t fits = 1;
            while (fits + 1 < word.size() && textWidth(font, word.substr(0, fits + 1)) <= room())
                fits++;
            lines.push_back(word.substr(0, fits));
            word = word.substr(fits);
            wordWidth = textWidth(font, word);
        }
        line = word;
        lineWidth = wordWidth;
    }
    if (!line.empty() || lines.empty()) lines.push_back(line);
    return lines;
}

namespace {

// A block's words as set in a room of a given size: its lines (from the room's top-left corner)
// and the size it takes; ok is false when it cannot be set there.
struct Fit {
    bool ok = false;
    int width = 0, height = 0;
    int penalty = 0; // what its compromises cost, in pixels of distance from its own place
    std::vector<PlacedLine> lines;
    int first = 0, shown = 0, page = 0, pages = 1, valueX = 0, rowTop = 0;
};

// What a compromise costs, weighed against distance (pixels) from the block's own place: a
// smaller font, each page beyond the first, each options row out of sight, each line broken in two.
const int SMALLER_FONT_COST = 150;
const int PAGE_COST = 600;
// Asked for large text, a player would rather turn any number of pages than read small print: a
// smaller font only where the large one finds no room at all.
const int SMALLER_THAN_ASKED_COST = 1000000;
const int HIDDEN_ROW_COST = 12;
const int WRAPPED_LINE_COST = 40;
// The fewest options rows shown: one, at the smallest window; and the most, however tall the
// window: the rest scroll, and the panel llvmpipe blends stays small (each row costs it about
// 0.2 million instructions a frame).
const int FEWEST_ROWS = 1;
const int MOST_ROWS = 16;

// Where a line's baseline row sits in a line of font starting at top: its glyphs in the middle.
int baselineIn(HudFont font, int top) {
    int glyphRows = fontAscent(font) + fontDescent(font) + 1;
    return top + (fontLineHeight(font) - glyphRows) / 2 + fontAscent(font);
}

// Lines one after another from top, each wrapped to width; gives the widest line.
int setLines(const std::vector<std::string> &texts, HudFont font, int width, int left, int &top,
             std::vector<PlacedLine> &into) {
    int widest = 0;
    for (const std::string &text : texts) {
        bool continued = false;
        for (const std::string &line : wrapText(text, font, width)) {
            into.push_back({line, left, baselineIn(font, top), -1, continued});
            continued = true;
            widest = std::max(widest, textWidth(font, line));
            top += fontLineHeight(font);
        }
    }
    return widest;
}

int wrappedCount(const std::vector<std::string> &texts, HudFont font, int width) {
    int count = 0;
    for (const std::string &text : texts) count += int(wrapText(text, font, width).size());
    return count;
}

std::string filled(std::string text, const char *name, int value) {
    size_t at = text.find(name);
    if (at != std::string::npos) text.replace(at, strlen(name), std::to_string(value));
    return text;
}

// The options: rows of a label and a value in two columns, as many as fit from the row asked.
bool fitRows(const BlockWords &words, HudFont font, int inner, int rows, int &top, Fit &fit) {
    int labels = 0, values = 0;
    for (const std::string &row : words.body) {
        size_t tab = row.find('\t');
        labels = std::max(labels, textWidth(font, row.substr(0, tab)));
        if (tab != std::string::npos)
            values = std::max(values, textWidth(font, row.substr(tab + 1)));
    }
    int rowWidth = labels + (values > 0 ? LAYOUT_COLUMN_GAP + values : 0);
    int count = int(words.body.size());
    // Rows out of sight are said on a line of their own.
    bool scrolled = count > std::min(rows, MOST_ROWS) && !words.pageLine.empty();
    if (scrolled) rows = std::min(rows - 1, MOST_ROWS);
    if (rowWidth > inner || rows < std::min(count, FEWEST_ROWS)) return false;
    fit.shown = std::min(count, rows);
    fit.first = std::min(std::max(words.first, 0), count - fit.shown);
    fit.valueX = LAYOUT_PADDING + labels + LAYOUT_COLUMN_GAP;
    fit.rowTop = top;
    fit.penalty += (count - fit.shown) * HIDDEN_ROW_COST;
    for (int r = fit.first; r < fit.first + fit.shown; r++) {
        const std::string &row = words.body[size_t(r)];
        size_t tab = row.find('\t');
        fit.lines.push_back({row.substr(0, tab), LAYOUT_PADDING, baselineIn(font, top), r});
        if (tab != std::string::npos)
            fit.lines.push_back({row.substr(tab + 1), fit.valueX, baselineIn(font, top), r});
        top += fontLineHeight(font);
    }
    fit.width = std::max(fit.width, rowWidth);
    if (scrolled) {
        std::string text = filled(filled(filled(words.pageLine, "{first}", fit.first + 1), "{last}",
                                         fit.first + fit.shown),
                                  "{rows}", count);
        fit.width =
            std::max(fit.width, setLines({text}, font, inner, LAYOUT_PADDING, top, fit.lines));
    }
    return true;
}

// Entries (each wrapped to width, its later lines indent pixels in) in columns of height lines,
// each entry whole in one column; false when an entry is taller than a column.
using Column = std::vector<std::vector<std::string>>;
bool setInColumns(const std::vector<std::string> &entries, HudFont font, int width, int indent,
                  int height, std::vector<Column> &columns) {
    columns.assign(1, {});
    int used = 0;
    for (const std::string &text : entries) {
        std::vector<std::string> lines = wrapText(text, font, width, indent);
        int size = int(lines.size());
        if (size > height) return false;
        if (used + size > height) {
            columns.emplace_back();
            used = 0;
        }
        columns.back().push_back(lines);
        used += size;
    }
    return true;
}

// The keys' list: its entries in as few columns as hold them all; when no number of columns the
// room takes can, in pages, of the number of columns that needs the fewest.
bool fitColumns(const BlockWords &words, HudFont font, int inner, int rows, int &top, Fit &fit) {
    const int line = fontLineHeight(font), indent = line / 2;
    const int most = std::max(1, (inner + LAYOUT_COLUMN_GAP) / (8 * line + LAYOUT_COLUMN_GAP));
    auto widthOf = [&](int columns) {
        return (inner - (columns - 1) * LAYOUT_COLUMN_GAP) / columns;
    };
    std::vector<Column> set, tried;
    int columns = 0, pages = 0;
    for (int c = 1; c <= most && !columns; c++)
        if (setInColumns(words.body, font, widthOf(c), indent, rows, tried) &&
            int(tried.size()) <= c) {
            columns = c;
            pages = 1;
            set = tried;
        }
    // Paged, a line below the columns says which page shows.
    if (!columns && !words.pageLine.empty() && rows >= 2)
        for (int c = 1; c <= most; c++) {
            if (!setInColumns(words.body, font, widthOf(c), indent, rows - 1, tried)) continue;
            int needed = (int(tried.size()) + c - 1) / c;
            if (columns && needed >= pages) continue;
            columns = c;
            pages = needed;
            set = tried;
        }
    if (!columns) return false;
    // Every entry broken in two counts, whichever page shows, so that every page is set alike.
    for (const Column &column : set)
        for (const std::vector<std::string> &entry : column)
            fit.penalty += int(entry.size() - 1) * WRAPPED_LINE_COST;
    fit.pages = pages;
    fit.page = std::min(std::max(words.first, 0), pages - 1);
    fit.penalty += (pages - 1) * PAGE_COST;
    // Every page is set, each in its columns; the block takes the widest and the tallest, so
    // that it stands in the same place whichever page shows.
    int widestPage = 0, tallest = 0, entryIndex = 0;
    for (int page = 0; page < pages; page++) {
        int left = LAYOUT_PADDING;
        for (int c = page * columns; c < std::min(int(set.size()), (page + 1) * columns); c++) {
            int y = top, widest = 0;
            for (const std::vector<std::string> &entry : set[size_t(c)])
                for (size_t k = 0; k < entry.size(); k++) {
                    int x = left + (k ? indent : 0);
                    int row = k + 1 < entry.size() ? entryIndex : entryIndex++;
                    if (page == fit.page)
                        fit.lines.push_back({entry[k], x, baselineIn(font, y), row, k > 0});
                    widest = std::max(widest, x - left + textWidth(font, entry[k]));
                    y += line;
                }
            tallest = std::max(tallest, y - top);
            left += widest + LAYOUT_COLUMN_GAP;
        }
        widestPage = std::max(widestPage, left - LAYOUT_COLUMN_GAP - LAYOUT_PADDING);
    }
    fit.width = std::max(fit.width, widestPage);
    top += tallest;
    if (pages > 1) {
        std::string text = filled(filled(words.pageLine, "{page}", fit.page + 1), "{pages}", pages);
        fit.width =
            std::max(fit.width, setLines({text}, font, inner, LAYOUT_PADDING, top, fit.lines));
    }
    return true;
}

// The block set in font in a room of width x height, from the room's top-left corner.
Fit fitBlock(const BlockWords &words, HudFont font, int width, int height) {
    Fit fit;
    int inner = width - 2 * LAYOUT_PADDING;
    int line = fontLineHeight(font);
    int rows = (height - 2 * LAYOUT_PADDING) / line;
    if (inner <= 0 || rows <= 0) return fit;
    int bodyRows =
        rows - wrappedCount(words.head, font, inner) - wrappedCount(words.foot, font, inner);
    if (bodyRows < (words.body.empty() ? 0 : 1)) return fit;
    int top = LAYOUT_PADDING;
    fit.width = setLines(words.head, font, inner, LAYOUT_PADDING, top, fit.lines);
    if (words.kind == BLOCK_OPTIONS) {
        if (!fitRows(words, font, inner, bodyRows, top, fit)) return fit;
    } else if (words.kind == BLOCK_KEYS) {
        if (!fitColumns(words, font, inner, bodyRows, top, fit)) return fit;
    } else {
        if (wrappedCount(words.body, font, inner) > bodyRows) return fit;
        fit.width =
            std::max(fit.width, setLines(words.body, font, inner, LAYOUT_PADDING, top, fit.lines));
    }
    fit.width =
        std::max(fit.width, setLines(words.foot, font, inner, LAYOUT_PADDING, top, fit.lines));
    int broken = 0;
    for (const PlacedLine &line : fit.lines) broken += line.continued && line.row < 0;
    fit.penalty += broken * WRAPPED_LINE_COST;
    fit.width += 2 * LAYOUT_PADDING;
    fit.height = top + LAYOUT_PADDING;
    fit.ok = fit.width <= width && fit.height <= height;
    return fit;
}

// Where a block would rather stand: a point of the window, and which point of the block goes
// there (0: its left or top edge, 1: its middle, 2: its right or bottom edge).
struct Anchor {
    int x, y;
    int alignX, alignY;
};

Anchor anchorOf(BlockKind kind, const LayoutRequest &request) {
    int w = request.width, h = request.height;
    switch (kind) {
    case BLOCK_HINT:
        // Under the last of the game's lines (the title's "Press 1", the result).
        if (!request.fixed.empty())
            return {request.fixed.back().x, request.fixed.back().bottom() + LAYOUT_GAP, 0, 0};
        return {w / 2, h / 2, 1, 1};
    case BLOCK_CAPTIONS:
        return {w / 2, h - LAYOUT_MARGIN, 1, 2};
    case BLOCK_OPTIONS:
        return {w / 2, h / 2, 1, 1};
    case BLOCK_STATUS:
    case BLOCK_KEYS:
    case BLOCK_KINDS:
        break;
    }
    return {LAYOUT_MARGIN, LAYOUT_MARGIN, 0, 0};
}

// The rectangles of area that no obstacle touches, among them every largest one: for each strip
// between two edges, each run of it clear from top to bottom.
std::vector<Box> freeRooms(const Box &area, const std::vector<Box> &obstacles) {
    std::vector<int> xs = {area.x, area.right()};
    for (const Box &o : obstacles)
        for (int x : {o.x, o.right()})
            if (x > area.x && x < area.right()) xs.push_back(x);
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    std::vector<Box> rooms;
    for (size_t i = 0; i < xs.size(); i++)
        for (size_t j = i + 1; j < xs.size(); j++) {
            Box strip{xs[i], area.y, xs[j] - xs[i], area.height};
            // The obstacles across the strip, from the top down.
            std::vector<std::pair<int, int>> across;
            for (const Box &o : obstacles)
                if (boxesOverlap(o, strip)) across.push_back({o.y, o.bottom()});
            std::sort(across.begin(), across.end());
            int y = area.y;
            for (const auto &[top, bottom] : across) {
                if (top > y) rooms.push_back({strip.x, y, strip.width, top - y});
                y = std::max(y, bottom);
            }
            if (y < area.bottom()) rooms.push_back({strip.x, y, strip.width, area.bottom() - y});
        }
    // A room inside another offers nothing the larger does not.
    std::vector<Box> largest;
    for (const Box &room : rooms) {
        bool inside = false;
        for (const Box &other : rooms)
            inside = inside || (!(other == room) && other.x <= room.x && other.y <= room.y &&
                                other.right() >= room.right() && other.bottom() >= room.bottom());
        if (!inside) largest.push_back(room);
    }
    return largest;
}

// The block placed in the best room: nearest its own place, with the fewest compromises.
bool placeBlock(const BlockWords &words, const LayoutRequest &request,
                const std::vector<Box> &obstacles, PlacedBlock &placed) {
    Box area{LAYOUT_MARGIN, LAYOUT_MARGIN, request.width - 2 * LAYOUT_MARGIN,
             request.height - 2 * LAYOUT_MARGIN};
    if (area.width <= 0 || area.height <= 0) return false;
    Anchor anchor = anchorOf(words.kind, request);
    std::vector<HudFont> fonts = {HUD_FONT_NORMAL, HUD_FONT_SMALL};
    if (request.large) fonts.insert(fonts.begin(), HUD_FONT_LARGE);
    long best = LONG_MAX;
    for (const Box &room : freeRooms(area, obstacles)) {
        for (size_t f = 0; f < fonts.size(); f++) {
            // The least this room can cost: the distance to its nearest point, and the font.
            long least = long(f) * (request.large ? SMALLER_THAN_ASKED_COST : SMALLER_FONT_COST);
            if (least >= best) break;
            Fit fit = fitBlock(words, fonts[f], room.width, room.height);
            if (!fit.ok) continue;
            int wantX = anchor.x - anchor.alignX * fit.width / 2;
            int wantY = anchor.y - anchor.alignY * fit.height / 2;
            int x = std::min(std::max(wantX, room.x), room.right() - fit.width);
            int y = std::min(std::max(wantY, room.y), room.bottom() - fit.height);
            long cost = least + fit.penalty + std::abs(x - wantX) + std::abs(y - wantY);
            if (cost >= best) continue;
            best = cost;
            placed.kind = words.kind;
            placed.box = {x, y, fit.width, fit.height};
            placed.font = fonts[f];
            placed.lines = fit.lines;
            for (PlacedLine &line : placed.lines) {
                line.x += x;
                line.y += y;
            }
            placed.first = fit.first;
            placed.shown = fit.shown;
            placed.page = fit.page;
            placed.pages = fit.pages;
            placed.valueX = x + fit.valueX;
            placed.rowTop = y + fit.rowTop;
        }
    }
    return best != LONG_MAX;
}

Box grown(const Box &box, int by) {
    return {box.x - by, box.y - by, box.width + 2 * by, box.height + 2 * by};
}

// Blocks given up, one at a time, when the room is short for the options or the keys' list, which
// the player asked for: first the hint, then the captions, then the pause and replay lines.
const BlockKind GIVEN_UP_FIRST[] = {BLOCK_HINT, BLOCK_CAPTIONS, BLOCK_STATUS};

ScreenLayout placeAll(const LayoutRequest &request, const std::vector<BlockWords> &blocks) {
    ScreenLayout layout;
    std::vector<Box> obstacles;
    for (const Box &box : request.fixed) obstacles.push_back(grown(box, LAYOUT_GAP));
    for (const BlockWords &words : blocks) {
        PlacedBlock placed;
        if (!placeBlock(words, request, obstacles, placed)) continue;
        layout.blocks.push_back(placed);
        obstacles.push_back(grown(placed.box, LAYOUT_GAP));
    }
    return layout;
}

} // namespace

ScreenLayout layOutScreen(const LayoutRequest &request) {
    std::vector<BlockWords> blocks = request.blocks;
    std::stable_sort(blocks.begin(), blocks.end(),
                     [](const BlockWords &a, const BlockWords &b) { return a.kind < b.kind; });
    auto asked = [&](BlockKind kind) {
        return std::any_of(blocks.begin(), blocks.end(),
                           [&](const BlockWords &words) { return words.kind == kind; });
    };
    for (BlockKind next : GIVEN_UP_FIRST) {
        ScreenLayout layout = placeAll(request, blocks);
        bool tooFew = (asked(BLOCK_OPTIONS) && !layout.find(BLOCK_OPTIONS)) ||
                      (asked(BLOCK_KEYS) && !layout.find(BLOCK_KEYS));
        if (!tooFew) return layout;
        blocks.erase(std::remove_if(blocks.begin(), blocks.end(),
                                    [&](const BlockWords &words) { return words.kind == next; }),
                     blocks.end());
    }
    return placeAll(request, blocks);
}

// The settings file as the player wrote it: its statements (tables' headers and entries), where
// each lies in the text and where each entry's value lies, and how deeply each nests. Worked out
// by one pass over the text, without recursion and without the TOML parser: so the game can
// change one value in the player's own text and leave every other byte, refuse a file nested
// deeper than the parser can safely go before the parser sees it, and tell a broken entry from
// the one after it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The deepest a settings file may nest: tables, dotted keys, arrays and inline tables together.
const int SETTINGS_MAX_DEPTH = 64;

// One statement of the file.
struct TomlStatement {
    enum Kind {
        HEADER, // a table's header: [window], or [[...]] (arrayTable)
        ENTRY,  // a key and its value: volume = 70
        OTHER,  // a line that is neither, as the file is damaged
    };
    Kind kind = OTHER;
    size_t begin = 0, end = 0;           // its bytes: from its first line's start to past its end
    int line = 0, lastLine = 0;          // its first and last lines (from 1)
    std::vector<std::string> path;       // a header's table, an entry's table and key: window.x
    size_t valueBegin = 0, valueEnd = 0; // an entry's value, without the blanks and comment after
    int depth = 0;                       // the levels it nests: its table's, its key's, its value's
    bool arrayTable = false;             // a header of an array of tables ([[...]])
    bool whole = true;                   // its value, strings and brackets closed where it ends
};

// The statements of text in order. Recovering, an entry whose brackets are still open at the end
// of a line ends there when the next line reads as a statement of its own (a header, a key and
// "="), so that one unclosed bracket is that entry's alone; otherwise a value runs on until its
// brackets close, as TOML says.
std::vector<TomlStatement> scanToml(const std::string &text, bool recovering = false);
// The first statement of statements that nests deeper than SETTINGS_MAX_DEPTH; nullptr for none.
const TomlStatement *tooDeep(const std::vector<TomlStatement> &statements);

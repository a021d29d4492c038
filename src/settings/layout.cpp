#include "settings/layout.h"

namespace {

bool bareKeyCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-';
}

bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// Reads the text of one line, with what it is within.
struct Scanner {
    const std::string &text;
    size_t at = 0;
    int line = 1;

    bool atEnd() const { return at >= text.size(); }
    char here() const { return atEnd() ? '\0' : text[at]; }
    bool startsWith(const char *word) const {
        return text.compare(at, std::char_traits<char>::length(word), word) == 0;
    }
    void skipBlanks() {
        while (!atEnd() && blank(text[at])) at++;
    }
    // Past the end of the line (its '\n' included).
    void skipLine() {
        while (!atEnd() && text[at] != '\n') at++;
        if (!atEnd()) {
            at++;
            line++;
        }
    }

    // A key, bare or quoted, into *key; false (nothing taken) when none stands here.
    bool simpleKey(std::string *key) {
        char c = here();
        if (c == '"' || c == '\'') {
            size_t from = at++;
            std::string read;
            while (!atEnd() && text[at] != c && text[at] != '\n') {
                if (c == '"' && text[at] == '\\' && at + 1 < text.size() && text[at + 1] != '\n') {
                    read += text[at + 1];
                    at += 2;
                    continue;
                }
                read += text[at++];
            }
            if (here() != c) {
                at = from;
                return false;
            }
            at++;
            *key = read;
            return true;
        }
        size_t from = at;
        while (!atEnd() && bareKeyCharacter(text[at])) at++;
        if (at == from) return false;
        *key = text.substr(from, at - from);
        return true;
    }

    // A dotted key (a.b."c d") into *keys; false when none stands here.
    bool dottedKey(std::vector<std::string> *keys) {
        size_t from = at;
        keys->clear();
        for (;;) {
            std::string key;
            if (!simpleKey(&key)) {
                at = from;
                keys->clear();
                return false;
            }
            keys->push_back(key);
            size_t before = at;
            skipBlanks();
            if (here() != '.') {
                at = before;
                return true;
            }
            at++;
            skipBlanks();
        }
    }

    // The keys a line starting here names at most, however it goes on: the dots before its first
    // "=", "]" or comment, outside quotes, and one. Nothing is taken.
    int keysAtMost() const {
        int keys = 1;
        char quote = 0;
        for (size_t i = at; i < text.size() && text[i] != '\n'; i++) {
            char c = text[i];
            if (quote) {
                if (c == quote) quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '=' || c == ']' || c == '#') {
                break;
            } else if (c == '.') {
                keys++;
            }
        }
        return keys;
    }

    // Whether the line starting here (after its blanks) reads as a statement of its own: a
    // header ([a.b] or [[a]]) or a key and "=".
    bool statementFollows() {
        size_t from = at;
        int fromLine = line;
        skipBlanks();
        bool follows = false;
        std::vector<std::string> keys;
        if (here() == '[') {
            at++;
            if (here() == '[') at++;
            skipBlanks();
            follows = dottedKey(&keys);
            skipBlanks();
            follows = follows && here() == ']';
        } else if (dottedKey(&keys)) {
            skipBlanks();
            follows = here() == '=';
        }
        at = from;
        line = fromLine;
        return follows;
    }

    // Past a string that starts here ("...", '...', """...""", '''...'''); false when it does not
    // close before it must (the end of its line, or of the text for a multi-line one).
    bool string() {
        char quote = here();
        bool multiLine = text.compare(at, 3, std::string(3, quote)) == 0;
        at += multiLine ? 3 : 1;
        while (!atEnd()) {
            char c = text[at];
            if (c == '\n') {
                if (!multiLine) return false;
                line++;
            } else if (c == '\\' && quote == '"') {
                at++;
                if (here() == '\n') line++;
            } else if (c == quote) {
                if (!multiLine) {
                    at++;
                    return true;
                }
                if (text.compare(at, 3, std::string(3, quote)) == 0) {
                    at += 3;
                    // A closing run may hold one or two quotes of the string's own.
                    while (here() == quote) at++;
                    return true;
                }
            }
            if (!atEnd()) at++;
        }
        return false;
    }

    // Past the value of an entry that starts here, to past the end of its last line; its bytes
    // (to the last one that is no blank or comment) in *end, the levels it nests in *depth.
    bool value(bool recovering, size_t *end, int *depth) {
        std::vector<char> open;     // the brackets open, '[' or '{'
        std::vector<int> keyDots;   // at each inline table, the dots of the key being read
        std::vector<bool> readsKey; // at each inline table, whether a key is being read
        int dots = 0;               // every open inline table's key dots together
        bool whole = true;
        *end = at;
        *depth = 0;
        while (!atEnd()) {
            char c = text[at];
            if (c == '\n') {
                if (open.empty()) break;
                at++;
                line++;
                if (recovering && statementFollows()) {
                    whole = false;
                    at--;
                    line--;
                    break;
                }
                continue;
            }
            if (c == '#') {
                while (!atEnd() && text[at] != '\n') at++;
                continue;
            }
            if (blank(c)) {
                at++;
                continue;
            }
            if (c == '"' || c == '\'') {
                if (!string()) {
                    whole = false;
                    *end = at;
                    // An unclosed string ends its line.
                    while (!atEnd() && text[at] != '\n') at++;
                    if (open.empty() || recovering) break;
                    continue;
                }
                *end = at;
                continue;
            }
            bool inTable = !open.empty() && open.back() == '{';
            if (c == '[' || c == '{') {
                open.push_back(c);
                keyDots.push_back(0);
                readsKey.push_back(c == '{');
            } else if ((c == ']' || c == '}') && !open.empty()) {
                dots -= keyDots.back();
                open.pop_back();
                keyDots.pop_back();
                readsKey.pop_back();
            } else if (c == ',' && inTable) {
                dots -= keyDots.back();
                keyDots.back() = 0;
                readsKey.back() = true;
            } else if (c == '=' && inTable) {
                readsKey.back() = false;
            } else if (c == '.' && inTable && readsKey.back()) {
                keyDots.back()++;
                dots++;
            }
            int levels = int(open.size()) + dots;
            if (levels > *depth) *depth = levels;
            at++;
            *end = at;
        }
        if (!open.empty()) whole = false;
        // Past the line's end.
        if (!atEnd() && text[at] == '\n') {
            at++;
            line++;
        }
        return whole;
    }
};

} // namespace

std::vector<TomlStatement> scanToml(const std::string &text, bool recovering) {
    std::vector<TomlStatement> statements;
    Scanner scan{text};
    std::vector<std::string> table; // the table the entries now go into
    while (!scan.atEnd()) {
        size_t lineStart = scan.at;
        scan.skipBlanks();
        char c = scan.here();
        if (c == '\n' || c == '#' || scan.atEnd()) {
            scan.skipLine();
            continue;
        }
        TomlStatement statement;
        statement.begin = lineStart;
        statement.line = scan.line;
        std::vector<std::string> keys;
        // A line that reads as no statement may still be one the parser goes a long way into.
        statement.depth = int(table.size()) + scan.keysAtMost();
        if (c == '[') {
            scan.at++;
            statement.arrayTable = scan.here() == '[';
            if (statement.arrayTable) scan.at++;
            scan.skipBlanks();
            bool read = scan.dottedKey(&keys);
            scan.skipBlanks();
            read = read && scan.startsWith(statement.arrayTable ? "]]" : "]");
            if (read) {
                statement.kind = TomlStatement::HEADER;
                statement.path = keys;
                statement.depth = int(keys.size()) + (statement.arrayTable ? 1 : 0);
                table = keys;
                if (statement.arrayTable) table.push_back("[]");
            }
            scan.skipLine();
        } else if (scan.dottedKey(&keys)) {
            scan.skipBlanks();
            if (scan.here() == '=') {
                scan.at++;
                scan.skipBlanks();
                statement.kind = TomlStatement::ENTRY;
                statement.path = table;
                statement.path.insert(statement.path.end(), keys.begin(), keys.end());
                statement.valueBegin = scan.at;
                int valueDepth = 0;
                statement.whole = scan.value(recovering, &statement.valueEnd, &valueDepth);
                statement.depth = int(statement.path.size()) + valueDepth;
            } else {
                scan.skipLine();
            }
        } else {
            scan.skipLine();
        }
        statement.end = scan.at;
        statement.lastLine = scan.line - (scan.at > 0 && text[scan.at - 1] == '\n' ? 1 : 0);
        if (statement.lastLine < statement.line) statement.lastLine = statement.line;
        statements.push_back(statement);
    }
    return statements;
}

const TomlStatement *tooDeep(const std::vector<TomlStatement> &statements) {
    for (const TomlStatement &statement : statements)
        if (statement.depth > SETTINGS_MAX_DEPTH) return &statement;
    return nullptr;
}

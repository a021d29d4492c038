// The keys are listed in five places: the bindings table, --help, the README, the manual page
// and the Windows download's README.txt. The help prints from the table; these tests hold the
// others to it.
#include "build_paths.h"
#include "input/bindings.h"

#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::pair<std::string, std::string>>;

Lines tableLines() {
    Lines lines;
    for (const HelpLine &line : allKeyHelpLines()) lines.push_back({line.keys, line.words});
    return lines;
}

std::string readSource(const char *name) {
    std::ifstream file(std::string(GRAZEWELL_SOURCE_DIR) + "/" + name, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string without(std::string text, const std::string &characters) {
    std::string kept;
    for (char c : text)
        if (characters.find(c) == std::string::npos) kept += c;
    return kept;
}

// The rows of the README's table under "## Keys": | keys | words |, backticks dropped.
Lines readmeLines() {
    std::string readme = readSource("README.md");
    size_t at = readme.find("\n## Keys\n");
    EXPECT_NE(at, std::string::npos) << "README.md has no Keys section";
    Lines lines;
    std::istringstream section(readme.substr(at == std::string::npos ? readme.size() : at));
    std::string line;
    std::regex row(R"(\| (.+?) \| (.+) \|)");
    std::getline(section, line); // the blank line before the heading
    std::getline(section, line); // the heading
    while (std::getline(section, line) && (line.empty() || line[0] == '|')) {
        std::smatch match;
        if (!std::regex_match(line, match, row) || match[1] == "Key") continue;
        lines.push_back({without(match[1], "`"), match[2]});
    }
    return lines;
}

// A line as troff shows it: .B joins its arguments with spaces, .BR alternates fonts and joins
// them with nothing between; quotes hold an argument's spaces.
std::string troffText(const std::string &line) {
    bool alternating = line.rfind(".BR ", 0) == 0;
    if (!alternating && line.rfind(".B ", 0) != 0) return line;
    std::string text, rest = line.substr(alternating ? 4 : 3);
    std::regex argument(R"re("([^"]*)"|(\S+))re");
    for (auto it = std::sregex_iterator(rest.begin(), rest.end(), argument);
         it != std::sregex_iterator(); ++it) {
        if (!alternating && !text.empty()) text += ' ';
        text += (*it)[1].matched ? (*it)[1].str() : (*it)[2].str();
    }
    // A minus sign is written \- (a bare - is a hyphen).
    for (size_t at = text.find("\\-"); at != std::string::npos; at = text.find("\\-", at))
        text.erase(at, 1);
    return text;
}

// The manual page's KEYS section: after each .TP a line naming the keys (.B and .BR set them in
// bold, quotes join the words between), then the line saying what they do.
Lines manualLines() {
    std::string page = readSource("dist/grazewell.6");
    size_t at = page.find(".SH KEYS\n");
    EXPECT_NE(at, std::string::npos) << "the manual page has no KEYS section";
    Lines lines;
    std::istringstream section(page.substr(at == std::string::npos ? page.size() : at));
    std::string line, keys, words;
    std::getline(section, line);
    while (std::getline(section, line) && line.rfind(".SH", 0) != 0) {
        if (line.rfind(".TP", 0) != 0) continue;
        std::getline(section, keys);
        std::getline(section, words);
        lines.push_back({troffText(keys), words});
    }
    return lines;
}

// The Windows README.txt's "Keys" section: two spaces, the keys, the words from column 23, long
// words wrapped onto lines of their own at that column.
Lines windowsReadmeLines() {
    std::string text = readSource("dist/README-windows.txt");
    size_t at = text.find("\nKeys\n----\n\n");
    EXPECT_NE(at, std::string::npos) << "README-windows.txt has no Keys section";
    Lines lines;
    std::istringstream section(text.substr(at == std::string::npos ? text.size() : at + 12));
    std::string line;
    const size_t WORDS = 23;
    while (std::getline(section, line) && !line.empty()) {
        if (line.size() <= WORDS) continue;
        std::string keys = line.substr(2, WORDS - 2), words = line.substr(WORDS);
        keys.erase(keys.find_last_not_of(' ') + 1);
        if (keys.empty() && !lines.empty())
            lines.back().second += " " + words;
        else
            lines.push_back({keys, words});
    }
    return lines;
}

TEST(KeyLists, TheReadmeListsTheBindingsTableInItsOrderAndWords) {
    EXPECT_EQ(readmeLines(), tableLines());
}

TEST(KeyLists, TheManualPageListsTheBindingsTableInItsOrderAndWords) {
    EXPECT_EQ(manualLines(), tableLines());
}

TEST(KeyLists, TheWindowsReadmeListsTheBindingsTableInItsOrderAndWords) {
    EXPECT_EQ(windowsReadmeLines(), tableLines());
}

} // namespace

// The house's rule: a room (a folder under src/, or the low headers at its root) includes only
// rooms below it. The order of the rooms is the README's, from the top down, so the picture a
// newcomer reads is the one the build is held to.
#include "build_paths.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path SOURCE = fs::path(GRAZEWELL_SOURCE_DIR) / "src";

// The rooms in the README's layout table, top first; "" is the root's low headers.
std::vector<std::string> roomsFromTheTop() {
    std::ifstream readme(fs::path(GRAZEWELL_SOURCE_DIR) / "README.md");
    std::vector<std::string> rooms;
    std::regex row(R"(\| `src/([a-z]+)(\.h)?` \|.*)");
    std::string line;
    while (std::getline(readme, line)) {
        std::smatch match;
        if (!std::regex_match(line, match, row)) continue;
        std::string room = match[2].matched ? "" : match[1].str();
        if (rooms.empty() || rooms.back() != room) rooms.push_back(room);
    }
    return rooms;
}

// The room of a path under src/ ("food/pick.h" is in food, "game.h" in the root).
std::string roomOf(const std::string &path) {
    size_t slash = path.find('/');
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

std::string named(const std::string &room) {
    return room.empty() ? "the root's low headers" : "room " + room;
}

// Every source's quoted includes: "file: include".
std::vector<std::pair<std::string, std::string>> includes() {
    std::vector<std::pair<std::string, std::string>> found;
    std::regex include(R"re(\s*#\s*include\s+"([^"]+)".*)re");
    for (const auto &entry : fs::recursive_directory_iterator(SOURCE)) {
        std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
        std::ifstream file(entry.path());
        std::string line;
        while (std::getline(file, line)) {
            std::smatch match;
            if (std::regex_match(line, match, include))
                found.push_back(
                    {entry.path().lexically_relative(SOURCE).generic_string(), match[1]});
        }
    }
    return found;
}

TEST(Rooms, EveryRoomStandsInTheReadmesOrder) {
    std::vector<std::string> rooms = roomsFromTheTop();
    ASSERT_GE(rooms.size(), 3u) << "README.md lists no rooms under 'How the code is laid out'";
    for (const auto &entry : fs::directory_iterator(SOURCE)) {
        if (!entry.is_directory()) continue;
        std::string room = entry.path().filename().string();
        EXPECT_NE(std::find(rooms.begin(), rooms.end(), room), rooms.end())
            << "src/" << room << " is not in the README's list of rooms";
    }
}

TEST(Rooms, NoIncludeRunsUpTheHouse) {
    std::vector<std::string> rooms = roomsFromTheTop();
    auto height = [&](const std::string &room) {
        return rooms.end() - std::find(rooms.begin(), rooms.end(), room);
    };
    int seen = 0;
    for (const auto &[file, target] : includes()) {
        std::string from = roomOf(file), to = roomOf(target);
        // Includes of the tests' own helpers and of files beside the source are not rooms.
        if (!fs::exists(SOURCE / target)) continue;
        seen++;
        if (from == to) continue;
        EXPECT_LT(height(to), height(from))
            << "src/" << file << " includes \"" << target << "\": " << named(to) << " stands above "
            << named(from);
    }
    EXPECT_GT(seen, 50) << "too few includes read from " << SOURCE;
}

// Inside the shell too, its parts stand in an order, as a newcomer reads them: no circle of files
// leaning on one another (one had grown there). A source file belongs with the header it includes
// first (its own: overlay.cpp is the player.h it implements, with player.cpp), but main.cpp, the
// program, which stands above them all; a header stands for the files that implement it.
TEST(Rooms, NoCircleOfFilesInTheShell) {
    std::map<std::string, std::string> part; // each file's part: its own header, or itself
    std::map<std::string, std::set<std::string>> leans;
    for (const auto &[file, target] : includes()) {
        if (!fs::exists(SOURCE / target) || roomOf(file) != "app" || roomOf(target) != "app")
            continue;
        bool source = fs::path(file).extension() == ".cpp" && fs::path(file).stem() != "main";
        if (source && !part.count(file)) part[file] = target;
        leans[file].insert(target);
    }
    // The parts each part leans on: through its files' includes, headers included by headers.
    std::map<std::string, std::set<std::string>> graph;
    for (const auto &[file, targets] : leans) {
        std::string from = part.count(file) ? part[file] : file;
        for (const std::string &target : targets)
            if (target != from) graph[from].insert(target);
    }
    // A depth-first walk; a part met again on the path it is walked from closes a circle.
    std::map<std::string, int> state; // 1: on the path, 2: done
    std::vector<std::string> path;
    std::function<void(const std::string &)> walk = [&](const std::string &at) {
        state[at] = 1;
        path.push_back(at);
        for (const std::string &next : graph[at]) {
            if (state[next] == 1) {
                std::string circle;
                for (size_t i = size_t(std::find(path.begin(), path.end(), next) - path.begin());
                     i < path.size(); i++)
                    circle += path[i] + " -> ";
                ADD_FAILURE() << "a circle of files: " << circle << next;
            } else if (state[next] == 0) {
                walk(next);
            }
        }
        path.pop_back();
        state[at] = 2;
    };
    for (const auto &[from, targets] : graph)
        if (state[from] == 0) walk(from);
    EXPECT_GT(graph.size(), 10u) << "too few files of src/app read from " << SOURCE;
}

} // namespace

// Writes the recording fuzzer's seeds with the game's own writer: a short game holding every
// kind of event, a pick with hits and one without, and draws; and the same game cut mid-frame.
#include "demo/demo.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: make_demo_seeds DIR\n");
        return 2;
    }
    std::string path = std::string(argv[1]) + "/game.rec";
    remove(path.c_str());
    DemoHeader header;
    header.gameVersion = "1.0.0";
    header.seed = 12345;
    header.width = 1000;
    header.height = 500;
    header.fps = 60;
    header.platform = "linux";
    std::vector<DemoFrame> frames(6);
    frames[0].events = {DemoEvent{DEMO_KEY_DOWN, '1'}, DemoEvent{DEMO_KEY_UP, '1'}};
    frames[0].draws = {1804289383, 846930886};
    frames[1].events = {DemoEvent{DEMO_MOUSE, 0, 0, 500, 250},
                        DemoEvent{DEMO_MOUSE, 0, 1, 501, 250}};
    frames[1].picked = true;
    frames[1].pickHits = {4, 5};
    frames[2].events = {DemoEvent{DEMO_SPECIAL_DOWN, 101}, DemoEvent{DEMO_SPECIAL_UP, 101}};
    frames[2].picked = true;
    frames[3].events = {DemoEvent{DEMO_RESHAPE, 1920, 1080}, DemoEvent{DEMO_KEYS_RELEASED}};
    frames[4].events = {DemoEvent{DEMO_MOUSE, 2, 0, -3, 1100}};
    frames[5].draws = {7};
    DemoWriter writer;
    std::string reason;
    if (!openDemoWriter(writer, path.c_str(), header, &reason)) {
        fprintf(stderr, "make_demo_seeds: %s: %s\n", path.c_str(), reason.c_str());
        return 1;
    }
    uint32_t checksum = 2166136261u;
    for (DemoFrame &frame : frames) {
        frame.checksum = checksum *= 16777619u;
        if (!writeDemoFrame(writer, frame)) {
            fprintf(stderr, "make_demo_seeds: %s: a frame was not written\n", path.c_str());
            return 1;
        }
    }
    closeDemoWriter(writer);
    // The same game killed inside its last frame.
    FILE *whole = fopen(path.c_str(), "rb");
    std::string bytes;
    for (int c; whole && (c = fgetc(whole)) != EOF;) bytes += char(c);
    if (whole) fclose(whole);
    std::string cutPath = std::string(argv[1]) + "/cut.rec";
    FILE *cut = fopen(cutPath.c_str(), "wb");
    if (!cut || bytes.size() < 3) return 1;
    fwrite(bytes.data(), 1, bytes.size() - 3, cut);
    fclose(cut);
    return 0;
}

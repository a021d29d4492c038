// A recording that parts from the game, played by the real game: it stops at the frame that
// differs, says so, and ends with the status that means a desync, not a failure of another kind.
#include "build_paths.h"
#include "support/files.h"
#include "support/game_process.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>

namespace {

// Reads an unsigned LEB128 number at bytes[at], moving at past it.
uint32_t varint(const Bytes &bytes, size_t &at) {
    uint32_t value = 0;
    for (int shift = 0; at < bytes.size() && shift < 35; shift += 7) {
        uint8_t b = bytes[at++];
        value |= uint32_t(b & 0x7f) << shift;
        if (!(b & 0x80)) break;
    }
    return value;
}

// Where the checksum of frame number `frame` starts in a recording: past the header and the
// frames before it; each frame's body ends with its checksum.
size_t checksumOffset(const Bytes &bytes, size_t frame) {
    size_t at = 20 + 4; // the line saying what the file is, the format version
    at += varint(bytes, at);
    at += 4; // the seed
    for (int i = 0; i < 3; i++) varint(bytes, at);
    at += varint(bytes, at);
    for (size_t i = 0;; i++) {
        size_t length = varint(bytes, at);
        if (i == frame) return at + length - 4;
        at += length;
    }
}

TEST(DesyncEndToEnd, ATimedemoOfARecordingWithOneChecksumByteFlippedEndsWithThree) {
    std::string dir = makeTempDir("desync");
    installTextures(dir);
    Bytes win = readBytes(GRAZEWELL_SOURCE_DIR "/tests/data/win.gzd");
    // Far enough in that the window is up, long before the recorded win ends.
    const size_t frame = 600;
    size_t at = checksumOffset(win, frame);
    ASSERT_LT(at + 4, win.size());
    win[at] ^= 0x01;
    std::string copy = dir + "/flipped.gzd";
    ASSERT_TRUE(writeBytes(copy, win));
    {
        GameStart start;
        start.arguments = {"--timedemo", copy};
        GameProcess game(dir, {}, start);
        ASSERT_TRUE(game.waitForExit(120)) << "the game played on past the frame that differs";
        EXPECT_EQ(game.quit(), 3) << game.errors();
        EXPECT_NE(game.errors().find("tick 600 differs from the recording"), std::string::npos)
            << game.errors();
    }
    removeTree(dir);
}

} // namespace

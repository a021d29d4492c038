// The recording file: what is written reads back the same, a game killed mid-frame keeps its
// whole frames, and every kind of bad file is refused with its reason. The files here are built
// byte by byte, after docs/recordings.md, not by the writer under test.
#include "demo/demo.h"

#include "food/food.h"
#include "support/files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

namespace {

bool sameEvent(const DemoEvent &x, const DemoEvent &y) {
    return x.type == y.type && x.a == y.a && x.b == y.b && x.c == y.c && x.d == y.d;
}
bool sameFrame(const DemoFrame &x, const DemoFrame &y) {
    return std::equal(x.events.begin(), x.events.end(), y.events.begin(), y.events.end(),
                      sameEvent) &&
           x.picked == y.picked && x.pickHits == y.pickHits && x.draws == y.draws &&
           x.checksum == y.checksum;
}

// A recording's bytes, built by hand.
struct File {
    Bytes bytes;
    File &raw(std::initializer_list<unsigned> list) {
        for (unsigned b : list) bytes.push_back((unsigned char)b);
        return *this;
    }
    File &text(const std::string &s) {
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    File &u32(uint32_t v) { return raw({v & 0xff, (v >> 8) & 0xff, (v >> 16) & 0xff, v >> 24}); }
    File &varint(uint32_t v) {
        for (; v >= 0x80; v >>= 7) raw({(v & 0x7f) | 0x80});
        return raw({v});
    }
    File &string(const std::string &s) { return varint(uint32_t(s.size())).text(s); }
    // A frame: its body's length, then the body.
    File &frame(const File &body) { return varint(uint32_t(body.bytes.size())).append(body); }
    File &append(const File &other) {
        bytes.insert(bytes.end(), other.bytes.begin(), other.bytes.end());
        return *this;
    }
};

File header(uint32_t version = 1, uint32_t width = 1000, uint32_t height = 500, uint32_t fps = 60) {
    return File()
        .text("Grazewell recording\n")
        .u32(version)
        .string("1.0.0")
        .u32(0xdeadbeef)
        .varint(width)
        .varint(height)
        .varint(fps)
        .string("linux");
}

// A frame's body: a key down 'w', no pick, one draw, a checksum.
File plainBody() {
    return File().varint(1).raw({DEMO_KEY_DOWN}).varint('w').raw({0}).varint(1).u32(7).u32(42);
}

// The header and three plain frames.
File goodFile() {
    return header().frame(plainBody()).frame(plainBody()).frame(plainBody());
}

bool parse(const Bytes &bytes, Demo &demo, std::string &reason) {
    return parseDemo(bytes.data(), bytes.size(), demo, &reason);
}

TEST(Demo, AGoodFileReadsAsWritten) {
    Demo demo;
    std::string reason;
    ASSERT_TRUE(parse(goodFile().bytes, demo, reason)) << reason;
    EXPECT_EQ(demo.header.formatVersion, 1u);
    EXPECT_EQ(demo.header.gameVersion, "1.0.0");
    EXPECT_EQ(demo.header.seed, 0xdeadbeefu);
    EXPECT_EQ(demo.header.width, 1000);
    EXPECT_EQ(demo.header.height, 500);
    EXPECT_EQ(demo.header.fps, 60);
    EXPECT_EQ(demo.header.platform, "linux");
    ASSERT_EQ(demo.frames.size(), 3u);
    EXPECT_FALSE(demo.endsMidFrame);
    DemoFrame expected;
    expected.events = {DemoEvent{DEMO_KEY_DOWN, 'w'}};
    expected.draws = {7};
    expected.checksum = 42;
    for (const DemoFrame &frame : demo.frames) EXPECT_TRUE(sameFrame(frame, expected));
}

TEST(Demo, BadFilesAreRefusedWithTheirReason) {
    // The last frame's body, with one thing wrong in each.
    auto frameWith = [](const File &body) { return header().frame(plainBody()).frame(body); };
    auto tail = [](uint32_t events) { return File().varint(events); };
    Bytes cutHeader = header().bytes;
    cutHeader.pop_back(); // inside the platform, its last field
    struct Case {
        const char *what;
        Bytes bytes;
        const char *reason;
    } cases[] = {
        {"empty", {}, "not a recording of this game"},
        {"another file", File().text("P6\n1000 500\n255\n").bytes, "not a recording of this game"},
        {"a near miss", File().text("Grazewell recordinG\n").u32(1).bytes,
         "not a recording of this game"},
        {"cut in its first line", File().text("Grazewell rec").bytes,
         "truncated: the file ends inside its header"},
        {"cut before the seed", File().text("Grazewell recording\n").u32(1).string("1.0.0").bytes,
         "truncated: the file ends inside its header"},
        {"cut in the platform", cutHeader, "truncated: the file ends inside its header"},
        {"newer format", header(4).bytes,
         "made by a newer game: format version 4, this game reads up to version 3"},
        {"version 3 cut before its speed", header(3).bytes,
         "truncated: the file ends inside its header"},
        {"version 3 cut in its fingerprint", header(3).varint(60).raw({1, 2}).bytes,
         "truncated: the file ends inside its header"},
        {"a speed of nothing", header(3).varint(0).u32(0).bytes,
         "game speed 0 out of range 1..100"},
        {"a speed past the full one", header(3).varint(150).u32(0).bytes,
         "game speed 150 out of range 1..100"},
        {"a speed change to nothing",
         frameWith(File().varint(1).raw({DEMO_SPEED}).varint(0).raw({0}).varint(0).u32(1)).bytes,
         "game speed 0 out of range 1..100"},
        {"a speed change past the full one",
         frameWith(File().varint(1).raw({DEMO_SPEED}).varint(101).raw({0}).varint(0).u32(1)).bytes,
         "game speed 101 out of range 1..100"},
        {"version 2 cut before its fingerprint", header(2).raw({1, 2}).bytes,
         "truncated: the file ends inside its header"},
        {"a newer format's other layout", File().text("Grazewell recording\n").u32(9).bytes,
         "made by a newer game: format version 9"},
        {"format version 0", header(0).bytes, "format version 0"},
        {"a window of no width", header(1, 0, 500).bytes, "absurd window size 0 x 500"},
        {"a window too tall", header(1, 1000, 100000).bytes, "absurd window size 1000 x 100000"},
        {"a window past 32 bits", header(1, 0xffffffffu, 500).bytes, "absurd window size"},
        {"a pace too fast", header(1, 1000, 500, 5000).bytes,
         "pace 5000 frames a second out of range 0..1000"},
        {"a long game version",
         File().text("Grazewell recording\n").u32(1).string(std::string(65, 'x')).bytes,
         "the game version is 65 bytes long, more than 64"},
        {"an unprintable game version",
         File()
             .text("Grazewell recording\n")
             .u32(1)
             .string("1\n0")
             .u32(1)
             .varint(10)
             .varint(10)
             .varint(0)
             .string("linux")
             .bytes,
         "printable"},
        {"a number past 32 bits",
         File()
             .text("Grazewell recording\n")
             .u32(1)
             .raw({0xff, 0xff, 0xff, 0xff, 0xff, 0x01})
             .bytes,
         "a number too large for 32 bits"},
        {"more events than bytes", frameWith(tail(200).raw({1, 'w', 0, 0}).u32(0)).bytes,
         "frame 2 (at byte "},
        {"more events than bytes, said", frameWith(tail(200).raw({1, 'w', 0, 0}).u32(0)).bytes,
         "200 events in 8 bytes"},
        {"more draws than bytes", frameWith(tail(0).raw({0}).varint(3).u32(1).u32(0)).bytes,
         "3 random draws in 8 bytes"},
        {"more hits than bytes", frameWith(tail(0).raw({1}).varint(9).raw({1, 0}).u32(0)).bytes,
         "9 pick hits in 6 bytes"},
        {"a huge count", frameWith(tail(0xffffffffu).raw({0, 0}).u32(0)).bytes,
         "4294967295 events in"},
        {"a key out of range",
         frameWith(tail(1).raw({DEMO_KEY_UP}).varint(300).raw({0, 0}).u32(0)).bytes,
         "key code 300 out of range 0..255"},
        {"a special key out of range",
         frameWith(tail(1).raw({DEMO_SPECIAL_DOWN}).varint(256).raw({0, 0}).u32(0)).bytes,
         "special key code 256 out of range 0..255"},
        {"a mouse button out of range",
         frameWith(
             tail(1).raw({DEMO_MOUSE}).varint(16).varint(0).varint(0).varint(0).raw({0, 0}).u32(0))
             .bytes,
         "mouse button 16 out of range 0..15"},
        {"a button neither up nor down",
         frameWith(
             tail(1).raw({DEMO_MOUSE}).varint(0).varint(2).varint(0).varint(0).raw({0, 0}).u32(0))
             .bytes,
         "mouse button state 2 out of range 0..1"},
        {"a click far off",
         frameWith(tail(1)
                       .raw({DEMO_MOUSE})
                       .varint(0)
                       .varint(0)
                       .varint(80000)
                       .varint(0)
                       .raw({0, 0})
                       .u32(0))
             .bytes,
         "click x 40000 out of range -32768..32767"},
        {"a click far above",
         frameWith(tail(1)
                       .raw({DEMO_MOUSE})
                       .varint(0)
                       .varint(0)
                       .varint(0)
                       .varint(65537)
                       .raw({0, 0})
                       .u32(0))
             .bytes,
         "click y -32769 out of range -32768..32767"},
        {"an absurd reshape",
         frameWith(tail(1).raw({DEMO_RESHAPE}).varint(16385).varint(10).raw({0, 0}).u32(0)).bytes,
         "reshape width 16385 out of range 0..16384"},
        {"an unknown event", frameWith(tail(1).raw({9, 0, 0}).u32(0)).bytes,
         "unknown event type 9"},
        {"event type 0", frameWith(tail(1).raw({0, 0, 0}).u32(0)).bytes, "unknown event type 0"},
        {"a food past the last",
         frameWith(tail(0).raw({1}).varint(2).varint(3).varint(20).raw({0}).u32(0)).bytes,
         "food index 20 out of range 0..19"},
        {"a pick flag of 2", frameWith(tail(0).raw({2, 0}).u32(0)).bytes,
         "pick flag 2 is neither 0 nor 1"},
        {"bytes after the checksum", frameWith(tail(0).raw({0, 0}).u32(0).raw({5})).bytes,
         "1 bytes left over after its checksum"},
        {"a frame shorter than its contents", frameWith(tail(0).raw({0, 0}).raw({1, 2})).bytes,
         "frame 2 (at byte "},
        {"a frame shorter than its contents, said",
         frameWith(tail(0).raw({0, 0}).raw({1, 2})).bytes, "shorter than its contents"},
        {"a frame's length beyond belief",
         header().frame(plainBody()).varint(1u << 30).append(plainBody()).bytes,
         "its length 1073741824 is beyond any frame the game writes"},
    };
    for (const Case &c : cases) {
        Demo demo;
        demo.header.gameVersion = "untouched";
        demo.frames.resize(5);
        std::string reason;
        EXPECT_FALSE(parse(c.bytes, demo, reason)) << c.what;
        EXPECT_NE(reason.find(c.reason), std::string::npos)
            << c.what << ": the reason was \"" << reason << "\"";
        EXPECT_EQ(reason.find('\n'), std::string::npos) << c.what << ": one line";
        EXPECT_EQ(demo.header.gameVersion, "untouched") << c.what << ": nothing half-read";
        EXPECT_EQ(demo.frames.size(), 5u) << c.what << ": nothing half-read";
    }
}

TEST(Demo, AFileCutAnywhereKeepsItsWholeFramesOrIsRefusedInItsHeader) {
    Bytes whole = goodFile().bytes;
    size_t headerSize = header().bytes.size();
    size_t frameSize = whole.size() - headerSize;
    ASSERT_EQ(frameSize % 3, 0u);
    frameSize /= 3;
    for (size_t size = 0; size <= whole.size(); size++) {
        Bytes cut(whole.begin(), whole.begin() + long(size));
        Demo demo;
        std::string reason;
        bool read = parse(cut, demo, reason);
        if (size < headerSize) {
            EXPECT_FALSE(read) << size;
            EXPECT_NE(reason.find(size == 0 ? "not a recording" : "truncated"), std::string::npos)
                << size << ": " << reason;
            continue;
        }
        ASSERT_TRUE(read) << size << ": " << reason;
        size_t frames = (size - headerSize) / frameSize;
        EXPECT_EQ(demo.frames.size(), frames) << size;
        EXPECT_EQ(demo.endsMidFrame, (size - headerSize) % frameSize != 0) << size;
    }
}

TEST(Demo, WhatIsWrittenReadsBackTheSameAndNoFileIsReplaced) {
    WorkDir dir("demo");
    DemoHeader header;
    header.gameVersion = "1.2.3";
    header.seed = 4000000000u;
    header.width = 1920;
    header.height = 1080;
    header.fps = 0;
    header.platform = "windows";
    header.fingerprint = 0x89abcdefu;
    header.speed = 60;
    std::vector<DemoFrame> frames(4);
    frames[0].events = {DemoEvent{DEMO_RESHAPE, 16384, 0}, DemoEvent{DEMO_KEY_DOWN, 255},
                        DemoEvent{DEMO_KEY_UP, 0},         DemoEvent{DEMO_SPECIAL_DOWN, 101},
                        DemoEvent{DEMO_SPECIAL_UP, 102},   DemoEvent{DEMO_KEYS_RELEASED}};
    frames[0].checksum = 0xffffffffu;
    frames[1].events = {DemoEvent{DEMO_MOUSE, 0, 0, -32768, 32767},
                        DemoEvent{DEMO_MOUSE, 15, 1, -1, 0}};
    frames[1].picked = true;
    frames[1].pickHits = {19, 0, 7};
    frames[1].draws = {0, 2147483647, -2147483647 - 1, 12345};
    frames[2].picked = true; // a pick that hit nothing
    frames[2].events = {DemoEvent{DEMO_SPEED, 100}, DemoEvent{DEMO_SPEED, 1}};
    frames[3].checksum = 1;

    DemoWriter writer;
    std::string reason;
    ASSERT_TRUE(openDemoWriter(writer, "game.rec", header, &reason)) << reason;
    for (const DemoFrame &frame : frames) EXPECT_TRUE(writeDemoFrame(writer, frame));
    // A frame the reader would refuse is not written.
    DemoFrame bad;
    bad.events = {DemoEvent{DEMO_KEY_DOWN, 256}};
    EXPECT_FALSE(writeDemoFrame(writer, bad));
    bad.events.clear();
    bad.pickHits = {3}; // hits without a pick
    EXPECT_FALSE(writeDemoFrame(writer, bad));
    // Each frame is on disk as soon as it is written, before the file is closed.
    Demo sofar;
    ASSERT_TRUE(readDemo("game.rec", sofar, &reason)) << reason;
    EXPECT_EQ(sofar.frames.size(), frames.size());
    closeDemoWriter(writer);
    EXPECT_EQ(writer.file, nullptr);

    Demo demo;
    ASSERT_TRUE(readDemo("game.rec", demo, &reason)) << reason;
    EXPECT_EQ(demo.header.formatVersion, DEMO_FORMAT_VERSION);
    EXPECT_EQ(demo.header.gameVersion, header.gameVersion);
    EXPECT_EQ(demo.header.seed, header.seed);
    EXPECT_EQ(demo.header.width, header.width);
    EXPECT_EQ(demo.header.height, header.height);
    EXPECT_EQ(demo.header.fps, header.fps);
    EXPECT_EQ(demo.header.platform, header.platform);
    EXPECT_EQ(demo.header.fingerprint, header.fingerprint);
    EXPECT_EQ(demo.header.speed, 60);
    ASSERT_EQ(demo.frames.size(), frames.size());
    for (size_t i = 0; i < frames.size(); i++)
        EXPECT_TRUE(sameFrame(demo.frames[i], frames[i])) << i;
    EXPECT_FALSE(demo.endsMidFrame);

    Bytes before = readBytes("game.rec");
    EXPECT_FALSE(openDemoWriter(writer, "game.rec", header, &reason));
    EXPECT_NE(reason.find("already exists"), std::string::npos) << reason;
    EXPECT_EQ(readBytes("game.rec"), before) << "the recording there is kept";
    ASSERT_TRUE(makeDir("folder"));
    EXPECT_FALSE(openDemoWriter(writer, "folder", header, &reason));
    header.width = 0;
    EXPECT_FALSE(openDemoWriter(writer, "new.rec", header, &reason));
    EXPECT_NE(reason.find("absurd window size"), std::string::npos) << reason;
    EXPECT_FALSE(fileExists("new.rec")) << "no file made for a header that cannot be written";

    EXPECT_FALSE(readDemo("missing.rec", demo, &reason));
    EXPECT_NE(reason.find(strerror(ENOENT)), std::string::npos) << reason;
    EXPECT_FALSE(readDemo("folder", demo, &reason));
    EXPECT_FALSE(reason.empty());
    // Past the largest file read (sparse where the system allows): refused before it is read.
    FILE *huge = fopen("huge.rec", "wb");
    ASSERT_NE(huge, nullptr);
    ASSERT_EQ(fseek(huge, 64L << 20, SEEK_SET), 0);
    fputc(0, huge);
    fclose(huge);
    EXPECT_FALSE(readDemo("huge.rec", demo, &reason));
    EXPECT_NE(reason.find("too large for a recording"), std::string::npos) << reason;
}

// A version 1 file (no fingerprint) is still read, its frames as they were; version 2 carries
// the fingerprint after the platform; version 3 the game's speed between the two. The former ones
// were played at the full speed.
TEST(Demo, TheFormerVersionsAreReadAndTheNewOneCarriesItsSpeedAndFingerprint) {
    Demo demo;
    std::string reason;
    ASSERT_TRUE(parse(goodFile().bytes, demo, reason)) << reason;
    EXPECT_EQ(demo.header.formatVersion, 1u);
    EXPECT_EQ(demo.header.fingerprint, 0u);
    EXPECT_EQ(demo.frames.size(), 3u);
    File two = header(2).u32(0x12345678).frame(plainBody());
    ASSERT_TRUE(parse(two.bytes, demo, reason)) << reason;
    EXPECT_EQ(demo.header.fingerprint, 0x12345678u);
    EXPECT_EQ(demo.header.speed, 100);
    ASSERT_EQ(demo.frames.size(), 1u);
    EXPECT_EQ(demo.frames[0].checksum, 42u);
    File three = header(3).varint(50).u32(0x9abcdef0).frame(plainBody());
    ASSERT_TRUE(parse(three.bytes, demo, reason)) << reason;
    EXPECT_EQ(demo.header.speed, 50);
    EXPECT_EQ(demo.header.fingerprint, 0x9abcdef0u);
    ASSERT_EQ(demo.frames.size(), 1u);
    EXPECT_EQ(demo.frames[0].checksum, 42u);
    // What the writer writes for version 3 is these bytes.
    WorkDir dir("demo-three");
    DemoHeader written;
    written.gameVersion = "1.0.0";
    written.seed = 0xdeadbeef;
    written.width = 1000;
    written.height = 500;
    written.fps = 60;
    written.platform = "linux";
    written.speed = 50;
    written.fingerprint = 0x9abcdef0;
    DemoWriter writer;
    ASSERT_TRUE(openDemoWriter(writer, "three.gzd", written, &reason)) << reason;
    closeDemoWriter(writer);
    EXPECT_EQ(readBytes("three.gzd"), header(3).varint(50).u32(0x9abcdef0).bytes);
}

TEST(Demo, ItsFoodLimitIsTheGamesFoodCount) {
    EXPECT_EQ(DEMO_FOOD_LIMIT, FOOD_COUNT);
}

// A tick of more events than a tick takes is refused; a recording of the most a tick takes, all
// of the one-byte kind, 64 MiB of it, is read in no more than ten times its size, and held in
// little more than its own.
TEST(Demo, ATickHoldsAtMostItsEventsAndARecordingAtMostTenTimesItsSizeInMemory) {
    auto tick = [](uint32_t events) {
        File body;
        body.varint(events);
        for (uint32_t n = 0; n < events; n++) body.raw({DEMO_KEYS_RELEASED});
        return body.raw({0}).varint(0).u32(1);
    };
    Demo demo;
    std::string reason;
    EXPECT_FALSE(parse(header().frame(tick(DEMO_MAX_EVENTS + 1)).bytes, demo, reason));
    EXPECT_NE(reason.find("1025 events in one tick, more than a tick takes (1024)"),
              std::string::npos)
        << reason;
    DemoFrame flood;
    flood.events.assign(DEMO_MAX_EVENTS + 1, DemoEvent{DEMO_KEYS_RELEASED});
    std::string dir = makeTempDir("demo-huge");
    std::string path = dir + "/huge.gzd";
    DemoWriter writer;
    DemoHeader written;
    written.width = 1000;
    written.height = 500;
    ASSERT_TRUE(openDemoWriter(writer, (dir + "/flood.gzd").c_str(), written, &reason)) << reason;
    EXPECT_FALSE(writeDemoFrame(writer, flood)) << "a tick the reader refuses is not written";
    closeDemoWriter(writer);

    File full = tick(DEMO_MAX_EVENTS);
    File file = header();
    size_t ticks = 0;
    while (file.bytes.size() + full.bytes.size() + 2 <= size_t(64) << 20) {
        file.frame(full);
        ticks++;
    }
    ASSERT_TRUE(writeBytes(path, file.bytes));
    size_t size = file.bytes.size();
    file = File();
    int result = runWithLittleMemory(10 * size, [&] {
        Demo read;
        std::string why;
        if (!readDemo(path.c_str(), read, &why) || read.frames.size() != ticks) return 1;
        // Held in little more than the file's own bytes.
        if (read.frames.bodies.size() + read.frames.ends.size() * sizeof(size_t) > 2 * size)
            return 2;
        DemoFrame last = read.frames[ticks - 1];
        return last.events.size() == DEMO_MAX_EVENTS && last.checksum == 1 ? 0 : 3;
    });
    if (result == NO_MEMORY_LIMIT) GTEST_SKIP() << NO_MEMORY_LIMIT_REASON;
    EXPECT_EQ(result, 0);
    removeTree(dir);
}

} // namespace

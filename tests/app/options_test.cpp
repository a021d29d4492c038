// The command line and the frame pacing of --fps.
#include "app/options.h"
#include "app/pacing.h"

#include <gtest/gtest.h>

namespace {

// Parses a command line given as words after the program's name.
CommandLine parse(std::vector<std::string> words) {
    static std::vector<std::string> kept; // the parse keeps pointers into argv
    kept = words;
    kept.insert(kept.begin(), "grazewell");
    std::vector<char *> argv;
    for (std::string &word : kept) argv.push_back(&word[0]);
    argv.push_back(nullptr);
    return parseCommandLine(int(kept.size()), argv.data());
}

std::vector<std::string> glutWords(const CommandLine &command) {
    std::vector<std::string> words;
    EXPECT_EQ(command.glutArguments.back(), nullptr);
    for (size_t i = 0; i + 1 < command.glutArguments.size(); i++)
        words.push_back(command.glutArguments[i]);
    return words;
}

TEST(CommandLine, OptionsOfTheGameAndOfGlut) {
    CommandLine plain = parse({});
    EXPECT_EQ(plain.action, COMMAND_PLAY);
    EXPECT_EQ(plain.fps, 60); // the pace the game is made for
    EXPECT_FALSE(plain.fpsGiven);
    EXPECT_FALSE(plain.seedGiven);
    EXPECT_TRUE(plain.record.empty());
    EXPECT_TRUE(plain.replay.empty());
    EXPECT_FALSE(plain.mute);
    EXPECT_EQ(glutWords(plain), (std::vector<std::string>{"grazewell"}));

    EXPECT_EQ(parse({"--help"}).action, COMMAND_HELP);
    EXPECT_EQ(parse({"--version"}).action, COMMAND_VERSION);
    EXPECT_EQ(parse({"--version", "--help"}).action, COMMAND_HELP);
    EXPECT_EQ(parse({"--keys", "--settings", "mine.toml"}).action, COMMAND_KEYS);
    EXPECT_EQ(parse({"--settings=mine.toml"}).settings, "mine.toml");
    EXPECT_TRUE(parse({"--no-settings"}).noSettings);
    EXPECT_EQ(parse({"--fps", "30"}).fps, 30);
    EXPECT_EQ(parse({"--fps=144"}).fps, 144);
    EXPECT_EQ(parse({"--fps", "0"}).fps, 0); // as fast as drawn
    EXPECT_TRUE(parse({"--fps", "0"}).fpsGiven);
    EXPECT_EQ(plain.vsync, -1) << "not given: the settings say";
    EXPECT_EQ(parse({"--vsync", "on"}).vsync, 1);
    EXPECT_EQ(parse({"--vsync=off"}).vsync, 0);
    EXPECT_EQ(parse({"--seed", "4294967295"}).seed, 4294967295u);
    EXPECT_TRUE(parse({"--seed=0"}).seedGiven);
    CommandLine record = parse({"--record", "a.gzd", "--seed", "7"});
    EXPECT_EQ(record.record, "a.gzd");
    EXPECT_EQ(record.seed, 7u);
    CommandLine timedemo = parse({"--timedemo=b.gzd"});
    EXPECT_EQ(timedemo.replay, "b.gzd");
    EXPECT_TRUE(timedemo.timedemo);
    EXPECT_FALSE(parse({"--replay", "b.gzd"}).timedemo);
    EXPECT_FALSE(plain.noKeep);
    EXPECT_TRUE(parse({"--no-keep", "--seed", "1"}).noKeep);
    EXPECT_EQ(parse({"--games"}).action, COMMAND_GAMES);
    EXPECT_EQ(parse({"--record-of-games", "--mute"}).action, COMMAND_RECORD_OF_GAMES);
    EXPECT_EQ(parse({"--games", "--help"}).action, COMMAND_HELP);
    // The assists, for one game.
    EXPECT_FALSE(plain.captions || plain.crosshair || plain.bisonMarker);
    EXPECT_EQ(plain.gameSpeed, 0) << "the settings' speed unless given";
    CommandLine assisted =
        parse({"--captions", "--crosshair", "--bison-marker", "--game-speed", "60"});
    EXPECT_TRUE(assisted.captions && assisted.crosshair && assisted.bisonMarker);
    EXPECT_EQ(assisted.gameSpeed, 60);
    EXPECT_EQ(parse({"--game-speed=50", "--record", "a.gzd"}).gameSpeed, 50);

    // GLUT's options reach glutInit with their values, in order; the game's own do not.
    CommandLine mixed = parse({"-geometry", "640x320+5+5", "--fps", "60", "-iconic", "--mute",
                               "-display", ":7", "-sync"});
    EXPECT_EQ(mixed.action, COMMAND_PLAY);
    EXPECT_EQ(mixed.fps, 60);
    EXPECT_TRUE(mixed.mute);
    EXPECT_EQ(glutWords(mixed), (std::vector<std::string>{"grazewell", "-geometry", "640x320+5+5",
                                                          "-iconic", "-display", ":7", "-sync"}));
}

TEST(CommandLine, WrongOptionsAreErrorsThatSayWhatIsWrong) {
    struct Wrong {
        std::vector<std::string> words;
        const char *said;
    };
    std::vector<Wrong> cases = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"-x"}, "unknown option '-x'"},
        {{"meadow"}, "unexpected argument 'meadow'"},
        {{"--fps"}, "--fps takes a whole number"},
        {{"--seed", "4294967296"}, "not '4294967296'"},
        {{"--seed", "-1"}, "not '-1'"},
        {{"--seed"}, "--seed takes a whole number"},
        {{"--record"}, "--record takes a file name"},
        {{"--replay="}, "--replay takes a file name"},
        {{"--record", "a", "--timedemo", "b"}, "only one of"},
        {{"--replay", "a", "--seed", "3"}, "--seed cannot go"},
        {{"--recording", "a"}, "unknown option '--recording'"},
        {{"--fps", "-5"}, "not '-5'"},
        {{"--vsync"}, "--vsync takes on or off, not ''"},
        {{"--vsync", "yes"}, "--vsync takes on or off, not 'yes'"},
        {{"--fps", "1001"}, "not '1001'"},
        {{"--fps", "30x"}, "not '30x'"},
        {{"--fps="}, "--fps takes a whole number"},
        {{"--fps", "99999999999999999999"}, "not '99999999999999999999'"},
        {{"-display"}, "-display takes a value"},
        {{"--help", "--bogus"}, "unknown option '--bogus'"},
        {{"--settings"}, "--settings takes a file name"},
        {{"--settings", "a.toml", "--no-settings"}, "cannot go together"},
        {{"--game-speed", "70"}, "100, 80, 60 or 50, not '70'"},
        {{"--game-speed", "0"}, "not '0'"},
        {{"--game-speed", "-50"}, "not '-50'"},
        {{"--game-speed"}, "--game-speed takes a speed"},
        {{"--game-speed", "50", "--replay", "a.gzd"}, "--game-speed cannot go"},
    };
    for (const Wrong &wrong : cases) {
        CommandLine command = parse(wrong.words);
        EXPECT_EQ(command.action, COMMAND_ERROR) << wrong.words[0];
        EXPECT_NE(command.error.find(wrong.said), std::string::npos)
            << wrong.words[0] << ": " << command.error;
    }
    EXPECT_EQ(parse({"--fps", "1000"}).fps, 1000);
    EXPECT_EQ(parse({"--fps", "1"}).fps, 1);
}

TEST(FramePacing, FramesComeOnePeriodApartAndALateOneStartsAfresh) {
    using std::chrono::milliseconds;
    PaceClock::time_point start{};
    PaceClock::duration period = framePeriod(30);
    EXPECT_EQ(std::chrono::duration_cast<std::chrono::microseconds>(period).count(), 33333);
    // On time: the next frame waits for its moment, however early the idle call comes.
    EXPECT_EQ(nextFrameTime(start, start + milliseconds(1), period), start + period);
    EXPECT_EQ(nextFrameTime(start, start, period), start + period);
    // Late by far: due now, not in the past, so no burst of frames makes up the time.
    PaceClock::time_point late = start + milliseconds(500);
    EXPECT_EQ(nextFrameTime(start, late, period), late);
    // And a run of frames at the cap never averages more than the cap.
    PaceClock::time_point last = start, now = start;
    for (int frame = 0; frame < 300; frame++) {
        now += milliseconds(frame % 7 == 0 ? 50 : 2); // some frames slow, most quick
        last = nextFrameTime(last, now, period);
        now = last;
    }
    EXPECT_GE(last - start, 299 * period);
}

// The display's refresh paces the drawing wherever it can, and then only --fps caps it: the
// settings' cap is for a display that does not pace.
TEST(CommandLine, TheDrawingsCapIsFpsTheDisplayOrTheSettings) {
    EXPECT_EQ(drawingCap(false, DEFAULT_FPS, 60, true), 0) << "vsync answered: the display paces";
    EXPECT_EQ(drawingCap(false, DEFAULT_FPS, 60, false), 60) << "no swap control: as ever";
    EXPECT_EQ(drawingCap(false, DEFAULT_FPS, 30, false), 30);
    EXPECT_EQ(drawingCap(true, 144, 60, true), 144) << "--fps still caps a paced display";
    EXPECT_EQ(drawingCap(true, 0, 60, false), 0);
}

} // namespace

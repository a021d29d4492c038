// The real game heard: OpenAL Soft's wave writer stands in for a sound device and records what
// the game plays, in real time, into a WAV file the tests read back.
#include "support/game_process.h"
#include "support/gl_env.h"
#include "support/views.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <sstream>

namespace {

using Clock = std::chrono::steady_clock;

// What the wave writer has written so far: interleaved signed 16-bit samples.
struct Recording {
    int channels = 0;
    int rate = 0;
    std::vector<int16_t> samples;
    long frames() const { return channels ? long(samples.size()) / channels : 0; }
    int at(long frame, int channel) const { return samples[size_t(frame) * channels + channel]; }
};

uint32_t little(const Bytes &b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; i--) v = (v << 8) | b[at + i];
    return v;
}

// Reads the WAV file as far as it is written: the data chunk's size is filled in only when the
// device closes, so the data runs to the end of the file.
Recording readRecording(const std::string &path) {
    Recording r;
    Bytes b = readBytes(path);
    if (b.size() < 12 || memcmp(b.data(), "RIFF", 4) != 0 || memcmp(&b[8], "WAVE", 4) != 0)
        return r;
    size_t at = 12;
    while (at + 8 <= b.size()) {
        uint32_t size = little(b, at + 4, 4);
        if (memcmp(&b[at], "fmt ", 4) == 0 && at + 24 <= b.size()) {
            r.channels = int(little(b, at + 10, 2));
            r.rate = int(little(b, at + 12, 4));
            if (little(b, at + 22, 2) != 16) return Recording();
        } else if (memcmp(&b[at], "data", 4) == 0) {
            size_t bytes = (b.size() - at - 8) / 2 * 2;
            r.samples.resize(bytes / 2);
            for (size_t i = 0; i < r.samples.size(); i++)
                r.samples[i] = int16_t(little(b, at + 8 + 2 * i, 2));
            return r;
        }
        at += 8 + size + (size & 1);
    }
    return r;
}

// Loud enough to be a sound of the game, well above any rounding noise of the mixer.
const int LOUD = 200;

// The first frame from from on with a loud sample in either channel, -1 when none.
long firstLoud(const Recording &r, long from) {
    for (long f = std::max(0L, from); f < r.frames(); f++)
        for (int c = 0; c < r.channels; c++)
            if (std::abs(r.at(f, c)) > LOUD) return f;
    return -1;
}

double energy(const Recording &r, int channel, long from, long to) {
    double sum = 0;
    for (long f = std::max(0L, from); f < std::min(to, r.frames()); f++)
        sum += double(r.at(f, channel)) * r.at(f, channel);
    return sum;
}

// A game that plays into dir/sound.wav, with OpenAL's config file in dir.
struct HeardGame {
    std::string dir;
    std::string wav;
    explicit HeardGame(const char *tag) : dir(makeTempDir(tag)), wav(dir + "/sound.wav") {
        installTextures(dir);
        std::string conf = "channels = stereo\nsample-type = int16\nfrequency = 44100\n"
                           "dither = false\n[wave]\nfile = " +
                           wav + "\n";
        writeBytes(dir + "/alsoft.conf", Bytes(conf.begin(), conf.end()));
    }
    std::vector<std::string> environment() const {
        return {"ALSOFT_DRIVERS=wave", "ALSOFT_CONF=" + dir + "/alsoft.conf"};
    }
    Recording heard() const { return readRecording(wav); }
    // Waits until the last half second recorded is silent; the frame count then, -1 on timeout.
    long waitForQuiet(double seconds) const {
        auto end = Clock::now() + std::chrono::duration<double>(seconds);
        while (Clock::now() < end) {
            Recording r = heard();
            long half = r.rate / 2;
            if (r.frames() > half && firstLoud(r, r.frames() - half) < 0) return r.frames();
            sleepSeconds(0.2);
        }
        return -1;
    }
    ~HeardGame() { removeTree(dir); }
};

GameStart paced(std::vector<std::string> more = {}) {
    GameStart start;
    // At 60 frames a second the bison, stopped at once, stays near where it started.
    start.arguments = {"--fps", "60"};
    start.arguments.insert(start.arguments.end(), more.begin(), more.end());
    return start;
}

void hold(GameProcess &game, const std::string &key, double seconds) {
    game.pressKey(key);
    sleepSeconds(seconds);
    game.releaseKey(key);
}

// Nods the stopped bison and returns the energy of the left and the right channel while it
// snorts.
std::pair<double, double> snortHeard(GameProcess &game, const HeardGame &heard) {
    long from = heard.waitForQuiet(20);
    EXPECT_GE(from, 0) << "the game never fell quiet";
    hold(game, "semicolon", 0.3);
    sleepSeconds(2.5);
    Recording r = heard.heard();
    EXPECT_GE(firstLoud(r, from), 0) << "no snort heard";
    return {energy(r, 0, from, r.frames()), energy(r, 1, from, r.frames())};
}

// Stops the bison, which then stands ahead and to the left of the start camera, and nods it.
void expectTheStoppedBisonHeardFromTheLeft(GameProcess &game, const HeardGame &heard) {
    hold(game, "m", 0.2);
    auto [left, right] = snortHeard(game, heard);
    printf("snort facing the bison's side: left / right energy %.2f\n", left / right);
    EXPECT_GT(left, 1.5 * right) << "the bison stands to the left";
}

// Sets the stopped bison wandering again: its hooves are heard within 3 s.
void expectHoovesOnceItWanders(GameProcess &game, const HeardGame &heard) {
    long quiet = heard.waitForQuiet(20);
    ASSERT_GE(quiet, 0);
    hold(game, "m", 0.2);
    sleepSeconds(4);
    Recording r = heard.heard();
    long hoof = firstLoud(r, quiet);
    ASSERT_GE(hoof, 0) << "nothing heard in 4 s of wandering";
    EXPECT_LT(hoof - quiet, 3 * r.rate) << "the first hoof came late";
    printf("first hoof %.2f s after 'm'\n", double(hoof - quiet) / r.rate);
}

TEST(SoundEndToEnd, TheBisonIsHeardFromItsSideThenTheOtherAndItsHoovesWhileItWanders) {
    HeardGame heard("sound-side");
    GameProcess game(heard.dir, heard.environment(), paced());
    expectTheStoppedBisonHeardFromTheLeft(game, heard);
    // Turned around, the listener has the bison on its right.
    hold(game, "q", 0.2);
    auto [left2, right2] = snortHeard(game, heard);
    printf("snort turned around: right / left energy %.2f\n", right2 / left2);
    EXPECT_GT(right2, 1.5 * left2) << "turned around, the bison is on the right";
    expectHoovesOnceItWanders(game, heard);
    EXPECT_EQ(game.quit(), 0);
    EXPECT_EQ(game.errors(), "");
}

// Clicks food points until one is picked; the recording's length when the game said so, or -1.
long pickAFood(GameProcess &game, const HeardGame &heard) {
    for (auto [x, y] : settledFoodPoints()) {
        int before = countOf(game.output(), "Stopped picking");
        game.click(x, y, 1);
        if (!game.waitForOutput("Stopped picking", 20, before + 1)) return -1;
        if (countOf(game.output(), "You picked food") > 0) return heard.heard().frames();
    }
    return -1;
}

// The sound that came last started within a third of a second of frame mark, out of silence.
void expectHeardAt(const HeardGame &heard, long mark, const char *what) {
    sleepSeconds(1.0);
    Recording r = heard.heard();
    long third = r.rate / 3;
    long early = firstLoud(r, mark - 3 * third);
    EXPECT_TRUE(early < 0 || early >= mark - third) << what << ": the recording was not quiet";
    long onset = firstLoud(r, mark - third);
    ASSERT_GE(onset, 0) << what << " made no sound";
    printf("%s heard %+.3f s from the frame it was seen in\n", what, double(onset - mark) / r.rate);
    EXPECT_LT(std::labs(onset - mark), third)
        << what << " was heard " << double(onset - mark) / r.rate << " s from its frame";
}

TEST(SoundEndToEnd, APickAndAThrowAreHeardInTheFrameTheyHappen) {
    startWorld(); // the test's own GL, for where the foods show
    HeardGame heard("sound-pick");
    GameProcess game(heard.dir, heard.environment(), paced());
    hold(game, "m", 0.2);
    sleepSeconds(4); // the title drift's 181 frames
    ASSERT_GE(heard.waitForQuiet(20), 0);
    long picked = pickAFood(game, heard);
    ASSERT_GE(picked, 0) << "no food could be picked";
    expectHeardAt(heard, picked, "the pick");

    ASSERT_GE(heard.waitForQuiet(20), 0);
    game.tapKey("space");
    ASSERT_TRUE(game.waitForOutput("THROW!", 20));
    long thrown = heard.heard().frames();
    expectHeardAt(heard, thrown, "the throw");
    EXPECT_EQ(game.quit(), 0);
}

// What a Windows game under Wine said on standard error itself, with Linux line ends: on a
// display of its own, Wine gives freeglut no screen to measure, which it says in two lines.
std::string saidUnderWine(const GameProcess &game) {
    std::string said;
    std::istringstream lines(game.errors());
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if ((line.rfind("freeglut (", 0) == 0 &&
             line.find("CreateDC failed") != std::string::npos) ||
            line == "This is quite likely caused by a bad '-display' parameter")
            continue;
        said += line + "\n";
    }
    return said;
}

// A game with no sound device: it said so once, on standard error, and plays on (clicks are
// answered) until Escape ends it well.
void expectNoDeviceSaidOnceAndPlayed(GameProcess &game, bool underWine = false) {
    for (int click = 1; click <= 3; click++) {
        game.click(5, 5, 1);
        ASSERT_TRUE(game.waitForOutput("Stopped picking", 20, click)) << "the game stopped";
    }
    EXPECT_EQ(game.quit(), 0);
    EXPECT_EQ(underWine ? saidUnderWine(game) : game.errors(),
              "grazewell: no sound device; playing without sound\n");
}

TEST(SoundEndToEnd, MutedTheGameOpensNoDeviceAndWithNoDeviceItSaysSoOnceAndPlays) {
    {
        HeardGame heard("sound-mute");
        GameProcess game(heard.dir, heard.environment(), paced({"--mute"}));
        sleepSeconds(3);
        Recording r = heard.heard();
        EXPECT_LT(firstLoud(r, 0), 0) << "a muted game was heard";
        EXPECT_EQ(game.quit(), 0);
        EXPECT_EQ(game.errors(), "");
    }
    {
        // ALSA asked for a device it does not know: it and OpenAL would each print a page.
        HeardGame heard("sound-none");
        std::string conf = "[alsa]\ndevice = grazewell-no-such-device\n";
        writeBytes(heard.dir + "/alsoft.conf", Bytes(conf.begin(), conf.end()));
        GameProcess game(heard.dir,
                         {"ALSOFT_DRIVERS=alsa", "ALSOFT_CONF=" + heard.dir + "/alsoft.conf"},
                         paced());
        expectNoDeviceSaidOnceAndPlayed(game);
    }
}

// The Windows download under Wine, its OpenAL Soft built in: scripts/test-windows.sh names the
// game (the unzipped one, then the installed one) and Wine.
GameStart underWine(std::vector<std::string> more = {}) {
    GameStart start = paced(more);
    start.launcher = getenv("GRAZEWELL_WINE");
    start.binary = getenv("GRAZEWELL_WINDOWS_GAME");
    return start;
}

bool windowsGameNamed() {
    const char *exe = getenv("GRAZEWELL_WINDOWS_GAME"), *wine = getenv("GRAZEWELL_WINE");
    return exe && *exe && wine && *wine;
}

TEST(WindowsBuild, UnderWineTheBisonIsHeardFromItsSideAndItsHoovesWhileItWanders) {
    if (!windowsGameNamed()) GTEST_SKIP() << "no Windows build named (scripts/test-windows.sh)";
    HeardGame heard("wine-sound");
    GameProcess game(heard.dir, heard.environment(), underWine());
    expectTheStoppedBisonHeardFromTheLeft(game, heard);
    expectHoovesOnceItWanders(game, heard);
    EXPECT_EQ(game.quit(), 0);
    EXPECT_EQ(saidUnderWine(game), "");
}

TEST(WindowsBuild, UnderWineWithNoDeviceTheGameSaysSoOnceAndPlays) {
    if (!windowsGameNamed()) GTEST_SKIP() << "no Windows build named (scripts/test-windows.sh)";
    // The wave writer with no file to write to is the one device there is, and it cannot open.
    HeardGame heard("wine-none");
    std::string conf = "[wave]\n";
    writeBytes(heard.dir + "/alsoft.conf", Bytes(conf.begin(), conf.end()));
    GameProcess game(heard.dir, heard.environment(), underWine());
    expectNoDeviceSaidOnceAndPlayed(game, true);
}

} // namespace

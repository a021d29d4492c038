// The real game heard: OpenAL Soft's wave writer stands in for a sound device and records what
// the game plays, in real time, into a WAV file the tests read back.
#include "support/game_process.h"
#include "support/gl_env.h"
#include "support/views.h"

#include "camera/camera.h"
#include "food/food.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
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

// The settings file's volume is in force from the first sound: at 0, a wandering bison's hooves,
// heard at the default within three seconds, are never heard.
TEST(SoundEndToEnd, TheFilesVolumeIsInForceFromTheFirstSound) {
    HeardGame heard("sound-volume");
    ASSERT_TRUE(makeDir(heard.dir + "/config") && makeDir(heard.dir + "/config/grazewell"));
    const std::string settings = "[sound]\nvolume = 0\n";
    ASSERT_TRUE(writeBytes(heard.dir + "/config/grazewell/settings.toml",
                           Bytes(settings.begin(), settings.end())));
    GameProcess game(heard.dir, heard.environment(), paced());
    sleepSeconds(5);
    Recording r = heard.heard();
    ASSERT_GT(r.rate, 0) << "nothing was recorded";
    EXPECT_GE(r.frames(), 4L * r.rate) << "the device did not play on";
    long loud = firstLoud(r, 0);
    EXPECT_LT(loud, 0) << "heard at " << double(loud) / r.rate << " s at volume 0";
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

// A sound heard alone, between two stretches of silence (frames of exact zeros in both channels).
struct Heard {
    long from, to; // its first frame, and the first silent one after it
    int peak;      // its loudest sample, either channel
};

// The sounds of r from frame from on, each set off by at least gap silent frames.
std::vector<Heard> soundsApart(const Recording &r, long from, long gap) {
    std::vector<Heard> found;
    long start = -1, quiet = 0;
    int peak = 0;
    for (long f = std::max(0L, from); f < r.frames(); f++) {
        int level = 0;
        for (int c = 0; c < r.channels; c++) level = std::max(level, std::abs(r.at(f, c)));
        if (level == 0) {
            if (start >= 0 && ++quiet >= gap) {
                found.push_back({start, f - quiet + 1, peak});
                start = -1;
            }
            continue;
        }
        if (start < 0) start = f, peak = 0;
        quiet = 0;
        peak = std::max(peak, level);
    }
    return found;
}

// The largest step from one sample to the next over the frames before to, either channel.
int largestStep(const Recording &r, long from, long to) {
    int step = 0;
    for (long f = std::max(1L, from); f < to && f < r.frames(); f++)
        for (int c = 0; c < r.channels; c++)
            step = std::max(step, std::abs(r.at(f, c) - r.at(f - 1, c)));
    return step;
}

// How a sound ends: the largest step in its last millisecond, against its peak.
double endStep(const Recording &r, const Heard &sound) {
    long ms = r.rate / 1000;
    return double(largestStep(r, sound.to - ms, sound.to + 1)) / sound.peak;
}

TEST(SoundEndToEnd, EveryHoofEndsInAFadeToSilence) {
    HeardGame heard("sound-hoof-end");
    GameProcess game(heard.dir, heard.environment(), paced());
    sleepSeconds(8); // the bison wanders from the start
    Recording r = heard.heard();
    ASSERT_GT(r.frames(), 0);
    int hooves = 0;
    double worst = 0;
    for (const Heard &sound : soundsApart(r, 0, r.rate / 200)) {
        double seconds = double(sound.to - sound.from) / r.rate;
        if (seconds < 0.06 || seconds > 0.12 || sound.peak < LOUD) continue; // a hoof alone
        hooves++;
        worst = std::max(worst, endStep(r, sound));
    }
    printf("%d hooves heard alone; the largest step of their last millisecond %.4f of the peak\n",
           hooves, worst);
    ASSERT_GE(hooves, 3);
    EXPECT_LT(worst, 0.003) << "a hoof ends with a click";
    EXPECT_EQ(game.quit(), 0);
}

TEST(SoundEndToEnd, TurningSoundOffFadesOutWhatPlays) {
    HeardGame heard("sound-off");
    GameProcess game(heard.dir, heard.environment(), paced());
    // The bison wanders, its hooves sounding, and held, ';' nods it on and on, a snort with each
    // nod: sound most of the time.
    game.pressKey("semicolon");
    std::vector<long> offAt;
    for (int round = 0; round < 5; round++) {
        sleepSeconds(1.0 + 0.13 * round);
        offAt.push_back(heard.heard().frames());
        game.tapKey("v");
        sleepSeconds(0.8);
        game.tapKey("v");
    }
    game.releaseKey("semicolon");
    sleepSeconds(0.5);
    Recording r = heard.heard();
    int cut = 0, playing = 0;
    for (long mark : offAt) {
        // The last loud sound begun before 'v', ended by the long silence 'v' made (or on its own
        // before it): a faint one's end says nothing of a cut.
        std::vector<Heard> sounds = soundsApart(r, mark - r.rate, r.rate / 4);
        const Heard *found = nullptr;
        for (const Heard &sound : sounds)
            if (sound.from <= mark && sound.peak >= LOUD) found = &sound;
        if (!found) continue;
        const Heard &last = *found;
        double step = endStep(r, last);
        printf("'v' at %.2f s: silent from %+.3f s, the last millisecond's largest step %.4f of "
               "the peak\n",
               double(mark) / r.rate, double(last.to - mark) / r.rate, step);
        cut += step >= 0.01;
        playing += last.to > mark;
    }
    ASSERT_GE(playing, 1) << "'v' never came while a sound played";
    EXPECT_EQ(cut, 0) << "'v' cut what played";
    EXPECT_EQ(game.quit(), 0);
}

TEST(SoundEndToEnd, APickFarAwayIsAsLoudAsOneNearBy) {
    startWorld(); // the test's own GL, for where the foods show
    HeardGame heard("sound-pick-far");
    GameProcess game(heard.dir, heard.environment(), paced());
    hold(game, "m", 0.2);
    sleepSeconds(4); // the title drift's 181 frames
    // Picks the first of the foods (index, pixels right of its middle) that can be clicked; its
    // distance from the start camera and the peak of its pick.
    auto pickOne = [&](std::vector<std::pair<int, int>> tries) -> std::pair<double, int> {
        for (auto [index, right] : tries) {
            int x, y;
            if (!settledFoodPoint(index, x, y)) continue;
            EXPECT_GE(heard.waitForQuiet(20), 0);
            long mark = heard.heard().frames();
            int picked = countOf(game.output(), "You picked food");
            int stopped = countOf(game.output(), "Stopped picking");
            game.click(x + right, y, 1);
            if (!game.waitForOutput("Stopped picking", 20, stopped + 1)) break;
            if (countOf(game.output(), "You picked food") == picked) continue;
            sleepSeconds(1.0);
            Recording r = heard.heard();
            int peak = 0;
            for (const Heard &sound : soundsApart(r, mark - r.rate / 4, r.rate / 20))
                peak = std::max(peak, sound.peak);
            Vector3 eye = Camera().position;
            double dx = foods[index]->home.x - eye.x, dz = foods[index]->home.z - eye.z;
            return {std::sqrt(dx * dx + dz * dz), peak};
        }
        return {0.0, 0};
    };
    // By the first tree some 16 units off (unless the bison stands in front), else a cloud 32
    // off; then by the second tree, 76 off (the orange beside the card's edge, clicked a little
    // right of its middle, where no leaves are), else a cloud 47 off.
    auto [nearDistance, nearPeak] = pickOne({{0, 0}, {1, 0}, {2, 0}, {17, 0}});
    auto [farDistance, farPeak] = pickOne({{4, 2}, {7, 0}, {16, 0}});
    ASSERT_GT(nearPeak, 0) << "no near pick heard";
    ASSERT_GT(farPeak, 0) << "no far pick heard";
    double decibels = 20.0 * std::log10(double(farPeak) / nearPeak);
    printf("pick %.0f units away peaks at %.4f, %.0f units away at %.4f: %+.1f dB\n", nearDistance,
           nearPeak / 32768.0, farDistance, farPeak / 32768.0, decibels);
    EXPECT_GT(farDistance, 1.4 * nearDistance);
    EXPECT_LT(std::fabs(decibels), 3.0);
    EXPECT_EQ(game.quit(), 0);
}

TEST(SoundEndToEnd, ABisonStraightToOneSideIsHeardInBothEarsTheFarOneQuieter) {
    HeardGame heard("sound-far-ear");
    GameProcess game(heard.dir, heard.environment(), paced());
    hold(game, "m", 0.2);
    // The bison stands some 20 degrees to the left; a second of 'd' (60 frames of 0.02) turns the
    // gaze right until it stands at about 90.
    hold(game, "d", 1.0);
    auto [left, right] = snortHeard(game, heard);
    double decibels = 10.0 * std::log10((right + 1e-9) / left);
    printf("snort to the left side: the right channel %+.1f dB\n", decibels);
    EXPECT_LT(decibels, -6.0) << "the far ear hears it hardly quieter";
    EXPECT_GT(decibels, -30.0) << "the far ear hears next to nothing";
    EXPECT_EQ(game.quit(), 0);
}

// The loudest sample of r from frame from on, either channel, out of full scale.
double peakFrom(const Recording &r, long from) {
    int peak = 0;
    for (long f = std::max(0L, from); f < r.frames(); f++)
        for (int c = 0; c < r.channels; c++) peak = std::max(peak, std::abs(r.at(f, c)));
    return peak / 32768.0;
}

// The loudest moment the harness can make: a bomb on the bison at arm's length, to one side of
// the gaze, while it snorts and then wanders again; then its fall and landing.
TEST(SoundEndToEnd, ABombAtArmsLengthNeverClipsAndTheLandingEndsInSilence) {
    startWorld(); // the test's own GL, for where the foods show
    HeardGame heard("sound-loudest");
    GameProcess game(heard.dir, heard.environment(), paced());
    hold(game, "m", 0.2); // stopped where it starts, some 8.5 units ahead and 20 degrees left
    sleepSeconds(4);      // the title drift's 181 frames
    // The bomb of the third tree lies in the open behind the camera.
    game.tapKey("q");
    sleepSeconds(0.5);
    int x, y;
    ASSERT_TRUE(settledFoodPoint(10, x, y, true));
    game.click(x, y, 1);
    ASSERT_TRUE(game.waitForOutput("You picked food  10", 20)) << game.output();
    game.tapKey("q");
    // The bison turned (0.36 radians at 0.01 a frame) and walked 4.5 units (0.1 a frame), which
    // brings it to some four units on the left; the gaze turned 20 degrees left, then onto the
    // middle of its pale body as the screen shows it (0.02 radians a frame).
    hold(game, "comma", 0.6);
    hold(game, "slash", 0.75);
    double off = 1.0;
    for (int look = 0; look < 6 && std::fabs(off) > 0.03; look++) {
        sleepSeconds(0.3);
        Screenshot shot = game.screenshot();
        double across = 0;
        long pale = 0;
        for (int py = 0; py < shot.height; py++)
            for (int px = 0; px < shot.width; px++) {
                const unsigned char *c = shot.at(px, py);
                if (c[1] > 220 && c[2] > 220 && c[0] < 215) across += px, pale++;
            }
        if (pale < 500) { // not yet in view: on the left
            hold(game, "a", 0.3);
            continue;
        }
        // The view is 60 degrees high at an aspect of 2.
        off = std::atan((across / pale - shot.width / 2.0) / (shot.width / 2.0) * 2.0 *
                        std::tan(30.0 * 3.141592653589793 / 180.0));
        printf("the bison's body %.1f degrees off the gaze\n", off * 180.0 / 3.141592653589793);
        hold(game, off < 0 ? "a" : "d", std::fabs(off) / 0.02 / 60.0);
    }
    game.pressKey("semicolon"); // nodding on and on, snorting
    sleepSeconds(0.5);
    long mark = heard.heard().frames();
    game.click(500, 250, 3); // a right click throws in the next tick
    ASSERT_TRUE(game.waitForOutput("THROW!", 20));
    // Wandering again once the bomb is on its way: a leg begun before it flew could take the
    // body out of its path.
    game.tapKey("m");
    sleepSeconds(0.3);
    game.releaseKey("semicolon");
    sleepSeconds(4);
    Recording r = heard.heard();
    std::string out = game.output();
    ASSERT_TRUE(out.find("BODY COLLIDE") != std::string::npos ||
                out.find("head collide") != std::string::npos)
        << "the bomb missed";
    double peak = peakFrom(r, mark);
    printf("the loudest sample %.4f (%.2f dBFS)\n", peak, 20.0 * std::log10(peak));
    EXPECT_LE(peak, std::pow(10.0, -1.0 / 20.0)) << "louder than -1 dBFS";
    // Every sound that falls silent after the blast, the fall's landing thump among them, does
    // so without a click.
    double worst = 0;
    int ends = 0;
    // A sound already playing at the mark is left out: its peak there is its tail's, against
    // which the tail's own last steps, a few units, look like a click.
    for (const Heard &sound : soundsApart(r, mark, r.rate / 200))
        if (sound.from > mark && sound.to < r.frames() - r.rate / 10 && sound.peak >= LOUD) {
            ends++;
            worst = std::max(worst, endStep(r, sound));
        }
    printf("%d sounds ended; the largest step of a last millisecond %.4f of the peak\n", ends,
           worst);
    EXPECT_GE(ends, 1);
    EXPECT_LT(worst, 0.003) << "a sound ends with a click";
    EXPECT_EQ(game.quit(), 0);
}

TEST(SoundEndToEnd, MutedTheGameOpensNoDeviceAndWithNoDeviceItSaysSoOnceAndPlays) {
    {
        HeardGame heard("sound-mute");
        GameProcess game(heard.dir, heard.environment(), paced({"--mute"}));
        sleepSeconds(3);
        Recording r = heard.heard();
        EXPECT_LT(firstLoud(r, 0), 0) << "a muted game was heard";
        // The wave writer makes its file as the device opens: muted, none may open.
        EXPECT_FALSE(fileExists(heard.wav)) << "the muted game opened a sound device";
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

#include "app/options.h"

#include "input/bindings.h"
#include "settings/settings.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

// freeglut's own options, and whether each takes a value.
static const struct {
    const char *name;
    bool takesValue;
} GLUT_OPTIONS[] = {{"-display", true},   {"-geometry", true}, {"-direct", false},
                    {"-indirect", false}, {"-iconic", false},  {"-gldebug", false},
                    {"-sync", false}};

// A whole decimal number from 0 to max into *value; false for anything else.
static bool wholeNumber(const char *text, unsigned long long max, unsigned long long *value) {
    if (!text || !*text || text[0] == '+' || text[0] == '-') return false;
    char *end = nullptr;
    errno = 0;
    unsigned long long number = strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || number > max) return false;
    *value = number;
    return true;
}

// The value of an option given as "--name VALUE" or "--name=VALUE", moving i past it; "" when
// there is none.
static const char *optionValue(const char *argument, size_t nameLength, int argc, char **argv,
                               int &i) {
    if (argument[nameLength] == '=') return argument + nameLength + 1;
    return i + 1 < argc ? argv[++i] : "";
}

static bool isOption(const char *argument, const char *name) {
    size_t length = strlen(name);
    return strncmp(argument, name, length) == 0 &&
           (argument[length] == '\0' || argument[length] == '=');
}

static CommandLine failed(const std::string &error) {
    CommandLine command;
    command.action = COMMAND_ERROR;
    command.error = error;
    return command;
}

CommandLine parseCommandLine(int argc, char **argv) {
    CommandLine command;
    command.glutArguments.push_back(argc > 0 ? argv[0] : const_cast<char *>("grazewell"));
    for (int i = 1; i < argc; i++) {
        const char *argument = argv[i];
        if (strcmp(argument, "--help") == 0 || strcmp(argument, "-h") == 0) {
            command.action = COMMAND_HELP;
            continue;
        }
        if (strcmp(argument, "--version") == 0) {
            if (command.action != COMMAND_HELP) command.action = COMMAND_VERSION;
            continue;
        }
        if (strcmp(argument, "--keys") == 0) {
            if (command.action == COMMAND_PLAY) command.action = COMMAND_KEYS;
            continue;
        }
        if (strcmp(argument, "--no-settings") == 0) {
            command.noSettings = true;
            continue;
        }
        if (isOption(argument, "--settings")) {
            const char *value = optionValue(argument, 10, argc, argv, i);
            if (!*value) return failed("--settings takes a file name");
            command.settings = value;
            continue;
        }
        if (strcmp(argument, "--mute") == 0) {
            command.mute = true;
            continue;
        }
        if (strcmp(argument, "--captions") == 0) {
            command.captions = true;
            continue;
        }
        if (strcmp(argument, "--crosshair") == 0) {
            command.crosshair = true;
            continue;
        }
        if (strcmp(argument, "--bison-marker") == 0) {
            command.bisonMarker = true;
            continue;
        }
        if (strcmp(argument, "--no-keep") == 0) {
            command.noKeep = true;
            continue;
        }
        if (strcmp(argument, "--games") == 0 || strcmp(argument, "--record-of-games") == 0) {
            if (command.action != COMMAND_HELP)
                command.action =
                    strcmp(argument, "--games") == 0 ? COMMAND_GAMES : COMMAND_RECORD_OF_GAMES;
            continue;
        }
        if (isOption(argument, "--fps")) {
            const char *value = optionValue(argument, 5, argc, argv, i);
            unsigned long long fps = 0;
            if (!wholeNumber(value, MAX_FPS, &fps))
                return failed(std::string("--fps takes a whole number of frames per second from "
                                          "0 (as fast as drawn) to ") +
                              std::to_string(MAX_FPS) + ", not '" + value + "'");
            command.fps = int(fps);
            command.fpsGiven = true;
            continue;
        }
        if (isOption(argument, "--game-speed")) {
            const char *value = optionValue(argument, 12, argc, argv, i);
            unsigned long long speed = 0;
            if (!wholeNumber(value, 100, &speed) || !isChoice(GAME_SPEEDS, int(speed)))
                return failed("--game-speed takes a speed in percent, " + choicesText(GAME_SPEEDS) +
                              ", not '" + value + "'");
            command.gameSpeed = int(speed);
            continue;
        }
        if (isOption(argument, "--vsync")) {
            const char *value = optionValue(argument, 7, argc, argv, i);
            if (strcmp(value, "on") != 0 && strcmp(value, "off") != 0)
                return failed(std::string("--vsync takes on or off, not '") + value + "'");
            command.vsync = strcmp(value, "on") == 0 ? 1 : 0;
            continue;
        }
        if (isOption(argument, "--seed")) {
            const char *value = optionValue(argument, 6, argc, argv, i);
            unsigned long long seed = 0;
            if (!wholeNumber(value, UINT32_MAX, &seed))
                return failed(std::string("--seed takes a whole number from 0 to ") +
                              std::to_string(UINT32_MAX) + ", not '" + value + "'");
            command.seed = uint32_t(seed);
            command.seedGiven = true;
            continue;
        }
        const char *fileOption = isOption(argument, "--record")     ? "--record"
                                 : isOption(argument, "--replay")   ? "--replay"
                                 : isOption(argument, "--timedemo") ? "--timedemo"
                                                                    : nullptr;
        if (fileOption) {
            const char *value = optionValue(argument, strlen(fileOption), argc, argv, i);
            if (!*value) return failed(std::string(fileOption) + " takes a file name");
            if (!command.record.empty() || !command.replay.empty())
                return failed("only one of --record, --replay and --timedemo at a time");
            if (strcmp(fileOption, "--record") == 0)
                command.record = value;
            else
                command.replay = value;
            command.timedemo = strcmp(fileOption, "--timedemo") == 0;
            continue;
        }
        bool glut = false;
        for (const auto &option : GLUT_OPTIONS) {
            if (strcmp(argument, option.name) != 0) continue;
            if (option.takesValue && i + 1 >= argc)
                return failed(std::string(argument) + " takes a value");
            command.glutArguments.push_back(argv[i]);
            if (option.takesValue) command.glutArguments.push_back(argv[++i]);
            glut = true;
            break;
        }
        if (glut) continue;
        if (argument[0] == '-') return failed(std::string("unknown option '") + argument + "'");
        return failed(std::string("unexpected argument '") + argument + "'");
    }
    if (command.noSettings && !command.settings.empty())
        return failed("--settings and --no-settings cannot go together");
    if (command.seedGiven && !command.replay.empty())
        return failed("--seed cannot go with a recording played: it has its own seed");
    if (command.gameSpeed > 0 && !command.replay.empty())
        return failed("--game-speed cannot go with a recording played: it plays at the speed it "
                      "was played at");
    command.glutArguments.push_back(nullptr);
    return command;
}

// The keys' column of the help: two spaces in, the words from the 24th column.
static const int HELP_KEYS_WIDTH = 22;

static std::string keysHelp() {
    std::string text = "Keys:\n";
    for (const HelpLine &line : allKeyHelpLines()) {
        std::string keys = line.keys;
        keys.resize(std::max(keys.size() + 1, size_t(HELP_KEYS_WIDTH)), ' ');
        text += "  " + keys + line.words + "\n";
    }
    return text;
}

int drawingCap(bool fpsGiven, int fps, int settingsFps, bool displayPaced) {
    if (fpsGiven) return fps;
    return displayPaced ? 0 : settingsFps;
}

// What --help says before the keys, and after them.
static const char HELP_HEAD[] =
    "Usage: grazewell [--fps N] [--vsync on|off] [--mute] [--seed N]\n"
    "                 [--record FILE | --replay FILE | --timedemo FILE] [--no-keep]\n"
    "                 [--settings FILE | --no-settings] [--captions] [--crosshair]\n"
    "                 [--bison-marker] [--game-speed N] [GLUT options]\n"
    "       grazewell --games | --record-of-games | --keys\n"
    "Feed the bison: pick foods up with the mouse and throw them at its head. Ten good\n"
    "ones win; ten bombs too many lose.\n"
    "\n"
    "Options:\n"
    "  --fps N       draw at most N frames a second (0 to 1000; 0: as fast as the\n"
    "                machine draws; by default 60). It caps the drawing only: the game\n"
    "                keeps its own clock, 60 ticks a second, at any N\n"
    "  --vsync on|off  wait for the display's refresh at each frame (by default on,\n"
    "                where the GL can): the display then paces the drawing, and the\n"
    "                settings' fps cap is left aside; --fps still caps it\n"
    "  --mute        play without sound (the v key turns it on again)\n"
    "  --seed N      seed the bison's wandering with N (0 to 4294967295); by default\n"
    "                the clock seeds it\n"
    "  --record FILE write the game played into FILE, a new file\n"
    "  --replay FILE play the game recorded in FILE back, drawn at its rate or --fps;\n"
    "                Escape ends it. Exits with 3 at the first tick that differs from it\n"
    "                (FILE last: the newest kept game, for --timedemo too)\n"
    "  --timedemo FILE  play FILE back as fast as the machine draws, without sound, and\n"
    "                print the frames, the seconds, the average and the 1% low frame rate\n"
    "                and the slowest frame\n"
    "  --no-keep     keep no recording of this game in the games folder\n"
    "  --games       list the kept games, newest first, and exit\n"
    "  --record-of-games  print the record of games and exit\n"
    "  --settings FILE  read and keep the settings in FILE instead of the usual one\n"
    "  --no-settings read and write no settings file\n"
    "  --captions    show a caption for every sound, saying where it comes from\n"
    "  --crosshair   mark the view's centre, where the pick_at_centre key picks\n"
    "  --bison-marker  point to the bison from the view's edge while out of view\n"
    "  --game-speed N  play at N percent of the game's speed: 100, 80, 60 or 50\n"
    "                (these four for this game; the settings' [assist] keeps them)\n"
    "  --keys        print the keys in force (the settings file's, or the defaults)\n"
    "                and exit\n"
    "  --help        print this help and exit\n"
    "  --version     print the version and exit\n"
    "  GLUT's own options are taken as well: -display DISPLAY, -geometry WxH+X+Y,\n"
    "  -iconic, -direct, -indirect, -sync, -gldebug.\n"
    "\n";
static const char HELP_TAIL[] =
    "\n"
    "Pictures are read from tex/ in the working folder, then from tex/ beside the\n"
    "program, then from ../share/grazewell/tex beside it. GRAZEWELL_DATA names the\n"
    "folder holding tex/ instead of all of these. Captures go to ppm/ in the working\n"
    "folder.\n"
    "\n"
    "Every live game is recorded into the games folder: $XDG_STATE_HOME/grazewell/\n"
    "games (~/.local/state/grazewell/games when XDG_STATE_HOME is unset; on Windows\n"
    "%LOCALAPPDATA%\\Grazewell\\games), unless --record names a file or --no-keep is\n"
    "given. The newest 20 games and 50 MB are kept; --replay last plays the newest.\n"
    "The record of games, worked out from the games index games.db in the same\n"
    "folder, counts the games played, won, lost and quit (a game runs from 1 on the\n"
    "title to its end), the fastest win, the shortest loss and the most fed in one\n"
    "game. Should the game crash, it says on standard error which recording holds\n"
    "the game up to its last frame, and the command that plays it back.\n"
    "\n"
    "Settings (the window's size and place, full screen, the volume, muting, the\n"
    "--fps cap, vsync, the text size, the assists and the keys) are kept in\n"
    "$XDG_CONFIG_HOME/grazewell/settings.toml (~/.config/grazewell/settings.toml when\n"
    "it is unset; on Windows %APPDATA%\\Grazewell\\settings.toml), written only when\n"
    "something is changed in the game. F10 opens the options screen, where each is\n"
    "changed and a key is bound by pressing it; the file's [keys] table binds any\n"
    "key to any action; --keys prints them.\n";

const char *helpText() {
    static const std::string text = HELP_HEAD + keysHelp() + HELP_TAIL;
    return text.c_str();
}

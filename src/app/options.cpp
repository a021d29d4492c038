#include "app/options.h"

#include "input/input.h"

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

// A whole decimal number from 1 to MAX_FPS, or 0.
static int fpsValue(const char *text) {
    if (!text || !*text) return 0;
    char *end = nullptr;
    errno = 0;
    long value = strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || text[0] == '+' || text[0] == '-') return 0;
    return value >= 1 && value <= MAX_FPS ? int(value) : 0;
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
        if (strcmp(argument, "--mute") == 0) {
            command.mute = true;
            continue;
        }
        if (strcmp(argument, "--fps") == 0 || strncmp(argument, "--fps=", 6) == 0) {
            const char *value = argument[5] == '=' ? argument + 6 : i + 1 < argc ? argv[++i] : "";
            command.fps = fpsValue(value);
            if (command.fps == 0)
                return failed(std::string("--fps takes a whole number of frames per second from "
                                          "1 to ") +
                              std::to_string(MAX_FPS) + ", not '" + value + "'");
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
    command.glutArguments.push_back(nullptr);
    return command;
}

// The keys' column of the help: two spaces in, the words from the 24th column.
static const int HELP_KEYS_WIDTH = 22;

static std::string keysHelp() {
    std::string text = "Keys:\n";
    for (const HelpLine &line : keyHelpLines()) {
        std::string keys = line.keys;
        keys.resize(std::max(keys.size() + 1, size_t(HELP_KEYS_WIDTH)), ' ');
        text += "  " + keys + line.words + "\n";
    }
    return text;
}

// What --help says before the keys, and after them.
static const char HELP_HEAD[] =
    "Usage: grazewell [--fps N] [--mute] [GLUT options]\n"
    "Feed the bison: pick foods up with the mouse and throw them at its head. Ten good\n"
    "ones win; ten bombs too many lose.\n"
    "\n"
    "Options:\n"
    "  --fps N       at most N frames a second (1 to 1000). Every speed in the game is\n"
    "                per frame, so this holds its pace on a fast machine; by default it\n"
    "                runs as fast as the machine draws.\n"
    "  --mute        play without sound (the v key turns it on again)\n"
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
    "folder.\n";

const char *helpText() {
    static const std::string text = HELP_HEAD + keysHelp() + HELP_TAIL;
    return text.c_str();
}

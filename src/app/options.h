// The command line: the game's own options, read before GLUT takes its own.
#pragma once

#include <string>
#include <vector>

enum CommandAction { COMMAND_PLAY, COMMAND_HELP, COMMAND_VERSION, COMMAND_ERROR };

struct CommandLine {
    CommandAction action = COMMAND_PLAY;
    int fps = 0;       // the --fps cap in frames per second; 0 for none
    bool mute = false; // --mute: no sound, and no sound device opened
    std::string error; // what is wrong with the command line, for COMMAND_ERROR
    // The program's name and GLUT's own options with their values, then a null: for glutInit.
    std::vector<char *> glutArguments;
};

// The largest --fps taken.
const int MAX_FPS = 1000;

// Reads the command line. GLUT's options (-display, -geometry, ...) are passed on untouched; any
// other argument is an error, as is a missing or out-of-range --fps value.
CommandLine parseCommandLine(int argc, char **argv);
// What --help prints: the options, the keys and where the pictures are looked for.
const char *helpText();

// The command line: the game's own options, read before GLUT takes its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The drawing's cap when --fps is not given (frames a second): a frame a tick of the game's clock.
const int DEFAULT_FPS = 60;

enum CommandAction {
    COMMAND_PLAY,
    COMMAND_HELP,
    COMMAND_VERSION,
    COMMAND_KEYS, // --keys: print the bindings in force
    COMMAND_ERROR,
    COMMAND_GAMES,           // --games: list the kept games
    COMMAND_RECORD_OF_GAMES, // --record-of-games: print the record of games
};

struct CommandLine {
    CommandAction action = COMMAND_PLAY;
    int fps = DEFAULT_FPS;    // the --fps cap of the drawing in frames per second; 0 for none
    bool fpsGiven = false;    // --fps was given (a replay keeps the recorded rate otherwise)
    int vsync = -1;           // --vsync: 1 on, 0 off; -1 when not given (the settings say)
    bool mute = false;        // --mute: no sound, and no sound device opened
    bool seedGiven = false;   // --seed was given
    uint32_t seed = 0;        // the bison's seed of --seed
    std::string record;       // --record FILE: the file to write the game into, or ""
    std::string replay;       // --replay FILE or --timedemo FILE: the recording to play, or ""
    bool timedemo = false;    // it is a --timedemo: as fast as drawn, muted, with figures
    bool noKeep = false;      // --no-keep: the live game is not kept in the games folder
    std::string settings;     // --settings FILE: the settings file to use instead of the usual one
    bool noSettings = false;  // --no-settings: no settings file read or written
    bool captions = false;    // --captions: every sound captioned, for this game
    bool crosshair = false;   // --crosshair: the view's centre marked, for this game
    bool bisonMarker = false; // --bison-marker: the bison out of view pointed to, for this game
    int gameSpeed = 0;        // --game-speed N: the game's speed in percent, for this game; 0: none
    std::string error;        // what is wrong with the command line, for COMMAND_ERROR
    // The program's name and GLUT's own options with their values, then a null: for glutInit.
    std::vector<char *> glutArguments;
};

// The largest --fps taken.
const int MAX_FPS = 1000;

// The drawing's cap, in frames a second (0: none), for a game whose command line gave --fps (fps
// given) or not, whose settings' cap is settingsFps, and whose GL answered a swap interval of one
// (display paced: the display's refresh paces the drawing, unless --fps caps it).
int drawingCap(bool fpsGiven, int fps, int settingsFps, bool displayPaced);

// Reads the command line. GLUT's options (-display, -geometry, ...) are passed on untouched; any
// other argument is an error, as is a missing or out-of-range --fps or --seed value, a missing
// file name, two of --record, --replay and --timedemo, or --seed with a recording played.
CommandLine parseCommandLine(int argc, char **argv);
// What --help prints: the options, the keys, where the pictures are looked for and where the
// settings are kept.
const char *helpText();

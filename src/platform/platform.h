// The few things the operating system answers differently on each platform: where the running
// program lives, what kind of thing a path names, how files are opened and made, and how the
// console is written, and whether the game's window holds the keyboard. platform_posix.cpp serves
// Linux, platform_windows.cpp Windows; the build compiles the one for its target. Everything else
// in the game is portable.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// The folder holding the running program, with '/' between names and no trailing one; "" when
// it cannot be told.
std::string programFolder();
// Whether path names a folder (following links).
bool isFolder(const std::string &path);
// Whether path names a regular file (following links).
bool isRegularFile(const std::string &path);
// Makes the folder path unless it is there already; false (errno set) when it cannot be made.
bool makeFolder(const char *path);

// Opens path for reading in binary only when it is a regular file, without waiting on anything
// (a FIFO would block the frame for ever; a folder has nothing to read); not inherited by
// children. nullptr otherwise.
FILE *openRegularFile(const char *path);
// The size in bytes of the regular file open as file; -1 when it is no regular file.
long regularFileSize(FILE *file);
// Makes a new file at path and opens it for writing in binary, or fails with errno EEXIST when
// the name is taken by anything at all: a file the player already has is never replaced.
FILE *createNewFile(const char *path);

// Standard output as the game writes it: unbuffered, so a watcher sees each line when printed,
// and byte for byte ("\n" stays one byte on every platform: the lines are the game's log).
void setUpStandardOutput();

// Sets the environment variable name to value for this process and the libraries it loads,
// unless it is set already: the user's own setting wins.
void setEnvironmentDefault(const char *name, const char *value);
// Points standard error at nothing, for a library call that would print a page of its own
// complaints; returns what restoreStandardError needs, -1 when it could not.
int hushStandardError();
// Gives standard error back as it was before hushStandardError.
void restoreStandardError(int saved);

// Whether the window of the current GL context may still hold the keyboard: false only when the
// window system sends keys to another window or to none (another window was activated, the game
// minimised), so that a key let go there is never heard. One question to the window system (an X
// round trip on X11), so asked only while a key is down.
bool windowHoldsKeyboard();
// Asks the window system, once the window is made, to send a key the keyboard repeats as presses
// with no release between them (X11's detectable auto-repeat): a key held is then never taken for
// one let go, however late its events are read. True when it does so; false where it cannot, or
// where repeats come marked instead (Windows) and freeglut's own test of them is sound.
bool keepHeldKeysHeld();
// Whether each of keys is held down on the keyboard now, as the window system knows it: a
// character's code (0 to 255), or 256 plus one of GLUT's special-key codes. One question to the
// window system (an X round trip on X11); a key it cannot tell is taken as down.
std::vector<bool> keysHeldDown(const std::vector<int> &keys);

// Asks the GL of the current window for a swap interval through its swap-control extension
// (GLX_EXT_swap_control or GLX_MESA_swap_control on X11, WGL_EXT_swap_control on Windows): 1, each
// swap waits for the display's next refresh; 0, none waits. False when the GL has no such
// extension or refused.
bool askSwapInterval(int interval);
// Lets the window system's connection be used from more than one thread; called first thing, before
// the window is made (Xlib's XInitThreads on X11; nothing on Windows).
void prepareWindowThreads();
// Makes, from the current context, a second GL context for selection passes: it shares the
// window's display lists and textures and has a tiny drawable of its own, as it never draws a
// pixel. Its first selection passes can then be paid on another thread while the window's context
// draws frames. False where the platform gives none (Windows, for now) or the GL refused: the
// selection passes then stay in the window's context.
bool makeSelectionContext();
// Makes the selection context current on the calling thread, keeping what was current there
// (none, or the window's context); false when there is none or it cannot be made current. It is
// current on one thread at a time: a thread enters only once another has left.
bool enterSelectionContext();
// Gives the calling thread back what was current before it entered.
void leaveSelectionContext();
// Whether NAME is one of the space-separated names in LIST (an extension string).
bool namesExtension(const char *list, const char *name);

// The platform's name as a recording gives it: "linux" or "windows".
const char *platformName();

// The folder the game keeps what it remembers between runs in (the games played, the record of
// them): $XDG_STATE_HOME/grazewell, or ~/.local/state/grazewell when that is unset or not an
// absolute path, on Linux; %LOCALAPPDATA%\Grazewell on Windows. Not made here; "" when the
// system names no such place.
std::string stateFolder();

// Arms the crash line for the rest of the run: when the game dies of a fault (SIGSEGV, SIGBUS,
// SIGFPE, SIGILL or SIGABRT on Linux, raised by the game or sent by another process; an unhandled
// exception on Windows), standard error gets before, the fault's name and after, and the file
// marker (unless "") is made, with nothing that is unsafe in a signal handler; then the crash
// goes on as it would have. The texts are copied; calling it again replaces them, whole: a fault
// meanwhile finds the old ones or the new.
void armCrashLine(const char *before, const char *after, const char *marker);
// Dies at once of a fault, as a crash would: the tests' way to crash the game on purpose.
void crashNow();
// The folder the player's settings are kept in: $XDG_CONFIG_HOME/grazewell (~/.config/grazewell
// when unset) on Linux, %APPDATA%\Grazewell on Windows; "" when the system names none.
std::string settingsFolder();
// Whether anything at all (a file, a folder, a FIFO, a dangling link) is named path.
bool pathExists(const std::string &path);
// Flushes file to the disk itself and closes it: false when anything written may not be there.
bool finishFile(FILE *file);
// Renames from to to only when nothing is named to: false, with errno EEXIST, when something is
// (or with the reason when it could not be renamed at all).
bool moveToNewName(const char *from, const char *to);
// Renames from over to in one step: to is then either its old self or from whole, never a mix;
// false (errno set) when it could not.
bool replaceFile(const char *from, const char *to);

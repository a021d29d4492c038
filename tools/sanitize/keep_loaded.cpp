// Linked into sanitizer builds only. The GL driver is a library that unloads itself at exit,
// before the leak check runs; what it keeps for the life of its context would then be reported
// as leaks of an unknown module, which no suppression can name. Keeping every library loaded
// lets the leak report name the driver, so suppressions can tell its memory from ours.
#include <dlfcn.h>

extern "C" int dlclose(void *) {
    return 0;
}

// Windows' swaps go through gdi32, which the test program cannot stand in front of.
#include "support/gl_env.h"

long swapsMade() {
    return -1;
}

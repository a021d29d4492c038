// Counts the buffer swaps that reach the window system: the test program's own glXSwapBuffers
// stands in front of libGL's for freeglut, and hands each one on.
#include "support/gl_env.h"

#include <GL/glx.h>
#include <dlfcn.h>

static long swaps = 0;

extern "C" void glXSwapBuffers(Display *display, GLXDrawable drawable) {
    using Swap = void (*)(Display *, GLXDrawable);
    static Swap realSwap = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    swaps++;
    realSwap(display, drawable);
}

long swapsMade() {
    return swaps;
}

// Counts a program's frames from outside it: preloaded into the game by the soak and the click
// tests, it wraps glXSwapBuffers and keeps the count in the file named by GRAZEWELL_FRAME_FILE,
// followed by the count of immediate-mode primitives (glBegin) begun after the first frame was
// swapped: the game sends its geometry from arrays and lists, since Mesa keeps memory for every
// immediate-mode vertex drawn in a selection pass.
#include <GL/glx.h>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

static unsigned long frames = 0;
static unsigned long begins = 0;

extern "C" void glBegin(GLenum mode) {
    using Begin = void (*)(GLenum);
    static Begin realBegin = reinterpret_cast<Begin>(dlsym(RTLD_NEXT, "glBegin"));
    if (frames > 0) begins++;
    realBegin(mode);
}

extern "C" void glXSwapBuffers(Display *display, GLXDrawable drawable) {
    using Swap = void (*)(Display *, GLXDrawable);
    static Swap realSwap = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    static int fd = -2;
    if (fd == -2) {
        const char *path = getenv("GRAZEWELL_FRAME_FILE");
        fd = path ? open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644) : -1;
    }
    realSwap(display, drawable);
    frames++;
    if (fd >= 0 && frames % 100 == 0) {
        char text[64];
        int length = snprintf(text, sizeof text, "%020lu %020lu\n", frames, begins);
        if (pwrite(fd, text, size_t(length), 0) != length) fd = -1;
    }
}

// Counts a program's frames from outside it: preloaded into the game by the soak test, it
// wraps glXSwapBuffers and keeps the count in the file named by GRAZEWELL_FRAME_FILE.
#include <GL/glx.h>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

extern "C" void glXSwapBuffers(Display *display, GLXDrawable drawable) {
    using Swap = void (*)(Display *, GLXDrawable);
    static Swap realSwap = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    static int fd = -2;
    static unsigned long frames = 0;
    if (fd == -2) {
        const char *path = getenv("GRAZEWELL_FRAME_FILE");
        fd = path ? open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644) : -1;
    }
    realSwap(display, drawable);
    frames++;
    if (fd >= 0 && frames % 100 == 0) {
        char text[32];
        int length = snprintf(text, sizeof text, "%020lu\n", frames);
        if (pwrite(fd, text, size_t(length), 0) != length) fd = -1;
    }
}

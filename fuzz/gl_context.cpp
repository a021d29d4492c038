#include "gl_context.h"

#include <GL/freeglut.h>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

void makeFuzzContext() {
    int argc = 1;
    char name[] = "grazewell_fuzz";
    char *argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(64, 64);
    glutCreateWindow("Grazewell fuzz");
    glutDisplayFunc([] {});
    glutHideWindow();
    glutMainLoopEvent();
}

const char *memoryFile(const unsigned char *data, unsigned long size) {
    static int fd = -1;
    static char path[64];
    if (fd < 0) {
        fd = memfd_create("fuzz-input", 0);
        if (fd < 0) {
            perror("memfd_create");
            abort();
        }
        snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
    }
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size)) abort();
    return path;
}

#include "capture/capture.h"

#include "app/app.h"

#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

bool recording = false;
int captureIndex = 0;

std::string captureFileName(int index) {
    char name[100];
    snprintf(name, sizeof name, CAPTURE_NAME_FORMAT, index);
    return name;
}

std::string ppmHeader(int width, int height) {
    char header[64];
    snprintf(header, sizeof header, "P6 %d %d %d", width, height, 255);
    return std::string(header) + '\r';
}

// A file that could not be written whole is no picture: it is removed and the console says so.
static int abandon(FILE *file, const char *path, const char *why) {
    if (file) fclose(file);
    remove(path);
    if (why) printf(why, path);
    return 1;
}

int writePPM(const char *path, int width, int height, RowReader readRow) {
    FILE *file = fopen(path, "wb");
    if (!file) {
        printf("Unable to open file '%s'\n", path);
        return 1;
    }
    printf("Saving image `%s`\n", path);
    std::string header = ppmHeader(width, height);
    bool written = fwrite(header.data(), 1, header.size(), file) == header.size();
    size_t rowBytes = width > 0 ? size_t(width) * 3 : 0;
    unsigned char *row = static_cast<unsigned char *>(malloc(rowBytes ? rowBytes : 1));
    if (!row) return abandon(file, path, nullptr);
    for (int y = height - 1; y >= 0 && written; y--) {
        readRow(y, width, row);
        written = fwrite(row, 1, rowBytes, file) == rowBytes;
    }
    free(row);
    // A full disk often shows only when the last bytes are flushed.
    written = fflush(file) == 0 && written;
    if (!written) return abandon(file, path, CAPTURE_WRITE_FAILED);
    return fclose(file) == 0 ? 0 : abandon(nullptr, path, CAPTURE_WRITE_FAILED);
}

void readFrameRow(int y, int width, unsigned char *row) {
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    // Rows of any width arrive tightly packed.
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, y, width, 1, GL_RGB, GL_UNSIGNED_BYTE, row);
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
}

int captureFrame() {
    glReadBuffer(GL_FRONT);
    int width = windowWidth, height = windowHeight;
    std::string name = captureFileName(captureIndex);
    // Made on first use; when it cannot be made the open below fails and says so.
    mkdir(CAPTURE_FOLDER, 0755);
    return writePPM(name.c_str(), width, height, readFrameRow);
}

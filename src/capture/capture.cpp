#include "capture/capture.h"

#include "game.h"
#include "platform/platform.h"

#include <GL/gl.h>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

// A file that could not be written whole is no picture: it is removed and the console says so,
// naming the capture it was for.
static int abandon(FILE *file, const char *path, const char *shown, const char *why) {
    if (file) fclose(file);
    remove(path);
    if (why) printf(why, shown);
    return 1;
}

void flipRows(unsigned char *pixels, size_t rowBytes, int height) {
    unsigned char *top = pixels, *bottom = pixels + rowBytes * size_t(height > 0 ? height - 1 : 0);
    // Rows are swapped a piece at a time through a small buffer: whole copies, not byte swaps.
    unsigned char piece[4096];
    for (; top < bottom; top += rowBytes, bottom -= rowBytes) {
        for (size_t at = 0; at < rowBytes; at += sizeof piece) {
            size_t count = std::min(sizeof piece, rowBytes - at);
            memcpy(piece, top + at, count);
            memcpy(top + at, bottom + at, count);
            memcpy(bottom + at, piece, count);
        }
    }
}

// Writes the header and the frame to a file just opened for it at path, for the capture shown
// (the name the console says); see writePPM.
static int writeOpenPPM(FILE *file, const char *path, const char *shown, int width, int height,
                        FrameReader readFrame) {
    printf("Saving image `%s`\n", shown);
    // The header and the pixels in one buffer, so that the file is one write: the frame is read
    // in behind the header and turned upside down there.
    std::string header = ppmHeader(width, height);
    size_t rowBytes = width > 0 ? size_t(width) * 3 : 0;
    size_t pixelBytes = height > 0 ? rowBytes * size_t(height) : 0;
    size_t fileBytes = header.size() + pixelBytes;
    unsigned char *bytes = static_cast<unsigned char *>(malloc(fileBytes));
    if (!bytes) return abandon(file, path, shown, nullptr);
    memcpy(bytes, header.data(), header.size());
    unsigned char *pixels = bytes + header.size();
    if (pixelBytes > 0) {
        readFrame(width, height, pixels);
        flipRows(pixels, rowBytes, height);
    }
    bool written = fwrite(bytes, 1, fileBytes, file) == fileBytes;
    free(bytes);
    // A full disk often shows only when the last bytes are flushed.
    written = fflush(file) == 0 && written;
    if (!written) return abandon(file, path, shown, CAPTURE_WRITE_FAILED);
    return fclose(file) == 0 ? 0 : abandon(nullptr, path, shown, CAPTURE_WRITE_FAILED);
}

// The file a capture is written into before it is renamed to its own name.
static std::string asideOf(const std::string &name) {
    return name + ".new";
}

int writePPM(const char *path, int width, int height, FrameReader readFrame) {
    std::string aside = asideOf(path);
    FILE *file = fopen(aside.c_str(), "wb");
    if (!file) {
        printf("Unable to open file '%s'\n", path);
        return 1;
    }
    if (writeOpenPPM(file, aside.c_str(), path, width, height, readFrame) != 0) return 1;
    if (replaceFile(aside.c_str(), path)) return 0;
    return abandon(nullptr, aside.c_str(), path, CAPTURE_WRITE_FAILED);
}

FILE *createNewCapture(int *index, std::string *name) {
    // The first number whose name is free: a capture the player already has is never replaced.
    for (*name = captureFileName(*index); pathExists(*name) && *index < INT_MAX;
         *name = captureFileName(*index))
        *index += 1;
    // Written aside and renamed once whole, so that nothing ever finds it half written. One left
    // by a game that ended while writing it is only a partial copy.
    std::string aside = asideOf(*name);
    remove(aside.c_str());
    return createNewFile(aside.c_str());
}

void readFrame(int width, int height, unsigned char *pixels) {
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    // Rows of any width arrive tightly packed.
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
}

int captureRequests = 0;
int drawableWidth = 0, drawableHeight = 0;

void resetCapture() {
    recording = false;
    captureIndex = 0;
    captureRequests = 0;
}

void requestCapture() {
    captureRequests += 1;
}

int captureFrame() {
    // The frame just drawn, before the swap: after it the front buffer may hold nothing (Mesa's
    // software rasteriser reads it as black) and is undefined wherever the window is covered.
    glReadBuffer(GL_BACK);
    int width = windowWidth, height = windowHeight;
    if (drawableWidth > 0 && drawableWidth < width) width = drawableWidth;
    if (drawableHeight > 0 && drawableHeight < height) height = drawableHeight;
    // Made on first use; when it cannot be made the open below fails and says so.
    makeFolder(CAPTURE_FOLDER);
    std::string name;
    FILE *file = createNewCapture(&captureIndex, &name);
    if (!file) {
        printf("Unable to open file '%s'\n", name.c_str());
        return 1;
    }
    std::string aside = asideOf(name);
    if (writeOpenPPM(file, aside.c_str(), name.c_str(), width, height, readFrame) != 0) return 1;
    // Into its name, never over a file that came there meanwhile: then the next free one.
    while (!moveToNewName(aside.c_str(), name.c_str())) {
        if (errno != EEXIST || captureIndex == INT_MAX)
            return abandon(nullptr, aside.c_str(), name.c_str(), CAPTURE_WRITE_FAILED);
        name = captureFileName(++captureIndex);
    }
    return 0;
}

void takeCaptures() {
    if (recording) requestCapture();
    for (; captureRequests > 0; captureRequests--) {
        captureFrame();
        captureIndex += 1;
    }
}

void dropCaptures() {
    captureRequests = 0;
}

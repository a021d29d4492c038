#include "app/recording.h"

#include "app/world_check.h"

#include <cstdio>

// The recording being written, when recording.
static DemoWriter writer;
static bool writing = false;
static std::string writingPath;
// Its header, written with the world's fingerprint before the first tick.
static DemoHeader writingHeader;
static bool headerWritten = false;

bool startRecording(const char *path, const DemoHeader &header, std::string *reason) {
    if (!createDemoFile(writer, path, reason)) return false;
    writing = true;
    writingPath = path;
    writingHeader = header;
    return true;
}

// Writes the recording's header, once the world it fingerprints is made, then TICK.
static bool writeTick(const DemoFrame &tick) {
    if (!headerWritten) {
        writingHeader.fingerprint = worldFingerprint();
        std::string reason;
        if (!writeDemoHeader(writer, writingHeader, &reason)) return false;
        headerWritten = true;
    }
    return writeDemoFrame(writer, tick);
}

void recordTick(const DemoFrame &tick) {
    if (!writing || writeTick(tick)) return;
    fprintf(stderr, "grazewell: %s: the recording could not be written on; it ends here\n",
            writingPath.c_str());
    closeDemoWriter(writer);
    writing = false;
}

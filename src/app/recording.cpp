#include "app/recording.h"

#include "app/world_check.h"

#include <cstdio>

// The recording being written, when recording.
static DemoWriter writer;
static bool writing = false;
static std::string writingPath;
// The world's fingerprint is in its header: written with the first tick.
static bool fingerprintWritten = false;

bool startRecording(const char *path, const DemoHeader &header, std::string *reason) {
    // The header is written at once, before the world it fingerprints is made: the fingerprint
    // follows with the first tick, and a file that never gets it says it has none.
    DemoHeader unprinted = header;
    unprinted.fingerprint = 0;
    if (!openDemoWriter(writer, path, unprinted, reason)) return false;
    writing = true;
    writingPath = path;
    return true;
}

void stopRecording() {
    if (writing) closeDemoWriter(writer);
    writing = false;
    fingerprintWritten = false;
}

// Writes TICK, after the world's fingerprint the first time.
static bool writeTick(const DemoFrame &tick) {
    if (!fingerprintWritten) {
        if (!setDemoFingerprint(writer, worldFingerprint())) return false;
        fingerprintWritten = true;
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

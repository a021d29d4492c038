// Placeholder until capture is built.
#include "capture/capture.h"

bool recording = false;
int captureIndex = 0;

int captureFrame() {
    return 1;
}
